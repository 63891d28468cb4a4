#include "messages.h"

#include <QMessageBox>

void showMessage(QWidget *parent, const QString &title, const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void showKvistelMessage(QWidget *parent, const QString &text) {
    showMessage(parent, QStringLiteral("Kvistel"), text);
}
