#pragma once

#include "core/files/homedirectory.h"
#include "core/files/outcome.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <ostream>

class QWidget;

// A home directory as a failed comparison shows it.
inline void PrintTo(const HomeDirectory &home, std::ostream *os) {
    *os << home.path().toStdString();
}

// A home directory of the test's own, removed afterwards.
class TempHome {
public:
    TempHome();
    // The directory's path ending with "/", to build paths and arguments from.
    QString withSlash() const;
    // The directory as the program holds it.
    HomeDirectory directory() const { return HomeDirectory(withSlash()); }
    QString path(const QString &name) const;

    void write(const QString &name, const QByteArray &bytes) const;
    // Writes lines in Windows-1252, each ended by CR LF.
    void writeLines(const QString &name, const QStringList &lines) const;
    QByteArray read(const QString &name) const;
    QStringList readLines(const QString &name) const;
    bool exists(const QString &name) const;

private:
    QTemporaryDir m_dir;
};

// A symbolic link at `link` to `target` (which need not exist).
bool makeSymbolicLink(const QString &target, const QString &link);

// Whether taking away a directory's write permission stops this test from writing in it: not for
// root, and not on Windows, where the read-only attribute of a directory means nothing.
bool permissionsStopWrites();

// A control file with all twenty keys and realistic values, laid out as the program expects.
QStringList sampleControlLines();

// Puts what `read` yields into `into` when it succeeded; its message (empty on success).
template <class T> QString take(Expected<T> read, T &into) {
    if (read)
        into = std::move(read).value();
    return read.message();
}
// A price list in the exact layout the editor writes.
QByteArray samplePriceList();

// Sets the default locale for the lifetime of the object, then restores the C locale.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale &locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(QLocale::c()); }
};

// A modal box seen by ModalHand.
struct SeenBox {
    QString className; // "QMessageBox", "QInputDialog", ...
    QString title;
    QString text;
    bool hasIcon = false;
    QStringList buttons;
};

// Answers the modal boxes the program opens while a test drives it. Each box that appears is
// recorded and then answered by the next answer in the queue (for an input box: the text to type,
// or no answer to cancel it); when the queue is empty a message box is confirmed with OK and an
// input box is cancelled.
class ModalHand {
public:
    ModalHand();
    ~ModalHand();
    // For an input dialog: the text typed before OK. A null QString cancels.
    void queueInput(const QString &text);
    const QList<SeenBox> &seen() const { return m_seen; }
    int count() const { return int(m_seen.size()); }

private:
    void poll();
    QList<QString> m_inputs;
    QList<SeenBox> m_seen;
    class QTimer *m_timer;
};

// A caption as the user reads it: without the "&" that marks its mnemonic (the underlined
// letter).
QString shownText(const QString &caption);

// Lets queued events run (focus changes, timers) for a short while.
void settle(int ms = 20);
