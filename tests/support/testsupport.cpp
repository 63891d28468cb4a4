#include "testsupport.h"

#include "core/files/textfile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#ifdef _WIN32
#include <QDir>
#include <windows.h>
#else
#include <unistd.h>
#endif

TempHome::TempHome() {
    m_dir.setAutoRemove(true);
}

bool makeSymbolicLink(const QString &target, const QString &link) {
#ifdef _WIN32
    // Developer mode (or Wine) lets an ordinary user make one.
    const DWORD allowUnprivileged = 0x2;
    const std::wstring name = QDir::toNativeSeparators(link).toStdWString();
    if (!CreateSymbolicLinkW(name.c_str(), QDir::toNativeSeparators(target).toStdWString().c_str(),
                             allowUnprivileged))
        return false;
    // Wine 8 says yes but makes nothing that can be seen afterwards.
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
#else
    return QFile::link(target, link);
#endif
}

bool permissionsStopWrites() {
#ifdef _WIN32
    return false;
#else
    return ::geteuid() != 0;
#endif
}

QString TempHome::withSlash() const {
    return m_dir.path() + QStringLiteral("/");
}

QString TempHome::path(const QString &name) const {
    return withSlash() + name;
}

void TempHome::write(const QString &name, const QByteArray &bytes) const {
    QFile f(path(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write test file");
    f.write(bytes);
}

void TempHome::writeLines(const QString &name, const QStringList &lines) const {
    write(name, joinLinesCrLf(lines));
}

QByteArray TempHome::read(const QString &name) const {
    QFile f(path(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QStringList TempHome::readLines(const QString &name) const {
    return splitLines(decodeCp1252(read(name)));
}

bool TempHome::exists(const QString &name) const {
    return QFile::exists(path(name));
}

QStringList sampleControlLines() {
    return {QStringLiteral("Styrfil för Kvistel"),
            QStringLiteral("sv:/S/"),
            QStringLiteral("plantcost:/5.00/"),
            QStringLiteral("rant:/3/"),
            QStringLiteral("harvpr:/50/"),
            QStringLiteral("avvandel:/30/"),
            QStringLiteral("avvjust:/100/"),
            QStringLiteral("mt:/250/"),
            QStringLiteral("mg:/270/"),
            QStringLiteral("mb:/240/"),
            QStringLiteral("art:/t/"),
            QStringLiteral("bdm:/30/"),
            QStringLiteral("site:/24/"),
            QStringLiteral("plant:/y/"),
            QStringLiteral("ring5:/3/"),
            QStringLiteral("kronst:/60/"),
            QStringLiteral("hojdjust:/0/"),
            QStringLiteral("dkvot:/0.8/"),
            QStringLiteral("bkv:/1/"),
            QStringLiteral("akv:/2/"),
            QStringLiteral("tkv:/3/"),
            QStringLiteral("Slut")};
}

QByteArray samplePriceList() {
    QStringList lines{QStringLiteral("\"Jönköpings län\""), QStringLiteral("\"t\"")};
    auto table = [&](int base) {
        for (int q = 1; q <= 5; ++q) {
            QStringList row;
            for (int j = 1; j <= 10; ++j)
                row << QString::number(base + 30 * j - 60 * q);
            lines << row.join(u',');
        }
    };
    table(560);
    lines << QStringLiteral("\"g\"");
    table(540);
    lines << QString();
    return joinLinesCrLf(lines);
}

ModalHand::ModalHand() : m_timer(new QTimer) {
    m_timer->setInterval(5);
    QObject::connect(m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer->start();
}

ModalHand::~ModalHand() {
    delete m_timer;
}

void ModalHand::queueInput(const QString &text) {
    m_inputs.append(text);
}

void ModalHand::poll() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal->property("kvistelSeen").toBool())
        return;
    modal->setProperty("kvistelSeen", true);
    SeenBox seen;
    seen.className = QString::fromLatin1(modal->metaObject()->className());
    seen.title = modal->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        seen.text = box->text();
        seen.hasIcon = box->icon() != QMessageBox::NoIcon;
        for (QAbstractButton *b : box->buttons())
            seen.buttons << b->text();
        m_seen.append(seen);
        QMetaObject::invokeMethod(
            box, [box] { box->accept(); }, Qt::QueuedConnection);
        return;
    }
    if (auto *input = qobject_cast<QInputDialog *>(modal)) {
        seen.text = input->labelText();
        m_seen.append(seen);
        const QString answer = m_inputs.isEmpty() ? QString() : m_inputs.takeFirst();
        QMetaObject::invokeMethod(
            input,
            [input, answer] {
                if (answer.isNull()) {
                    input->reject();
                } else {
                    input->setTextValue(answer);
                    input->accept();
                }
            },
            Qt::QueuedConnection);
        return;
    }
    m_seen.append(seen);
}

void settle(int ms) {
    QTest::qWait(ms);
}

QString shownText(const QString &caption) {
    QString shown = caption;
    shown.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    shown.remove(QLatin1Char('&'));
    return shown.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}
