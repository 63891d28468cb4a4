#include "gui/result/reportviewer.h"

#include "core/files/textfile.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

Expected<QString> readReport(const QString &path) {
    if (!QFileInfo::exists(path))
        return Outcome::failure(
            QStringLiteral("Rapporten \"%1\" finns inte. Den skrivs vid varje beräkning: "
                           "beräkna trädet och försök igen.")
                .arg(path));
    const Expected<QByteArray> bytes = readWholeFile(path);
    if (!bytes)
        return Outcome::failure(
            bytes.message() +
            QStringLiteral(" Kontrollera att filen går att läsa och försök igen."));
    return decodeCp1252(*bytes);
}

ReportViewer::ReportViewer(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgRapport"));
    setWindowTitle(QStringLiteral("Kvistel"));
    txtRapport = new QPlainTextEdit(this);
    txtRapport->setObjectName(QStringLiteral("txtRapport"));
    txtRapport->setReadOnly(true);
    txtRapport->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtRapport->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto *close = new QPushButton(QStringLiteral("&Stäng"), this);
    close->setObjectName(QStringLiteral("btnStang"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtRapport, 1);
    layout->addLayout(buttons);

    // Wide enough for the report's longest lines, high enough for one harvest year.
    const QFontMetrics fm(txtRapport->font());
    QSize size(fm.horizontalAdvance(QLatin1Char('0')) * 96, fm.lineSpacing() * 36);
    if (const QScreen *s = screen())
        size = size.boundedTo(s->availableSize() * 0.9);
    resize(size);
}

Outcome ReportViewer::load(const QString &path) {
    const Expected<QString> text = readReport(path);
    if (!text)
        return text.outcome();
    txtRapport->setPlainText(*text);
    return {};
}

QString ReportViewer::text() const {
    return txtRapport->toPlainText();
}
