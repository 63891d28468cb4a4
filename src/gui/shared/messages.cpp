#include "gui/shared/messages.h"

#include <QMessageBox>
#include <QPushButton>

void showMessage(QWidget *parent, const QString &title, const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    // Messages quote file names, ids and values: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void showKvistelMessage(QWidget *parent, const QString &text) {
    showMessage(parent, QStringLiteral("Kvistel"), text);
}

QMessageBox::StandardButton askToSaveChanges(QWidget *parent, const QString &question,
                                             const char *objectName) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kvistel"), question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    if (objectName)
        box.setObjectName(QLatin1String(objectName));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nej"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("&Avbryt"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    const auto *clicked = box.clickedButton();
    if (clicked == box.button(QMessageBox::Yes))
        return QMessageBox::Yes;
    if (clicked == box.button(QMessageBox::No))
        return QMessageBox::No;
    return QMessageBox::Cancel;
}
