#include "messages.h"

#include <QMessageBox>

void showMessage(QWidget *parent, const QString &title, const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    // Messages quote file names, ids and values: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void showKvistelMessage(QWidget *parent, const QString &text) {
    showMessage(parent, QStringLiteral("Kvistel"), text);
}
