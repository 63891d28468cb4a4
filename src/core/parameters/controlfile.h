#pragma once

#include "core/files/homedirectory.h"
#include "core/files/outcome.h"
#include "core/files/textfile.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// The control file "trad.sty": one parameter a line, a key such as "rant:" at the start of the
// line and the value between the line's first and second slash. Lines without a known key are
// carried through every save byte for byte.

// True when the line has the two slashes that enclose a value.
bool hasValueField(QStringView record);

// The value of a parameter line: the text between its first and second slash. A line without
// two slashes has no value and gives the empty text.
QString valueOfLine(const QString &record);

// The line with the text between its first and second slash replaced by `str`, everything else
// kept. A line without two slashes is returned unchanged.
QString withValue(const QString &record, const QString &str);

// A line carries key K when it begins with exactly K's characters (case-sensitive).
bool carriesKey(QStringView line, QStringView key);

class ControlFile {
public:
    // Which lines a reader examines. The first and the last line hold no parameter; the stand
    // and economy form skips the first, the other readers skip the last.
    enum class Lines { AllButLast, AllButFirst };

    using KeyAction = std::function<void(const QString &key, const QString &value)>;

    explicit ControlFile(HomeDirectory home);

    QString path() const;

    // Reads the file and calls `action` for every examined line that carries one of `keys` and
    // has a value field, in file order (so of duplicate lines the last one wins). A line with
    // fewer than two slashes is skipped. Fails with a Swedish message when the file cannot be
    // read; then no action has run.
    Outcome read(const QStringList &keys, Lines lines, const KeyAction &action) const;

    // Rewrites the file (replaceFileSafely): every line that carries a key of `newValues` gets
    // that value; all other lines, and every line end, are written as CR LF
    // lines otherwise unchanged. A key that no line between the first and the last carries
    // gets a line of its own just before the last line, where every reader finds it (in the
    // order of the parameter table). A value the file cannot hold (a character outside
    // Windows-1252, a slash, a line end) is refused before anything is written. The file is
    // replaced atomically; on any failure it stays as it was.
    Outcome save(const QHash<QString, QString> &newValues) const;

    // The same for a form: with IfChangedSinceRead::Stop, when the values of the keys of this
    // object's last read are no longer those it read (another copy of the program or an editor
    // changed them), nothing is written and the outcome says changedOnDisk.
    SaveOutcome save(const QHash<QString, QString> &newValues, IfChangedSinceRead ifChanged) const;

private:
    Expected<QStringList> readLines() const;
    // Gives the lines the new values, adding the lines of missing keys.
    Outcome editLines(QStringList &lines, const QHash<QString, QString> &newValues) const;
    // What the last read saw of its keys, to compare at the next save.
    FileStamp stampOf(const QStringList &lines) const;

    HomeDirectory m_home;
    // A read records what it read, so that a save can tell what changed since; a read is still a
    // read, hence mutable.
    mutable QStringList m_readKeys;
    mutable Lines m_readWhich = Lines::AllButLast;
    mutable FileStamp m_readStamp;
};
