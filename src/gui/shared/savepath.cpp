#include "gui/shared/savepath.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

QString chooseSavePath(QWidget *parent, const QString &title, const QString &suggested,
                       const QString &filter, const QString &extension) {
    QFileDialog dialog(parent, title, QFileInfo(suggested).absolutePath(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds the ending itself before it asks about replacing a file.
    dialog.setDefaultSuffix(extension);
    dialog.selectFile(QFileInfo(suggested).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return withEndingConfirmed(parent, dialog.selectedFiles().constFirst(), extension);
}

QString withEndingConfirmed(QWidget *parent, const QString &path, const QString &extension) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    const QString withEnding = path + u'.' + extension;
    if (!QFileInfo::exists(withEnding) && !QFileInfo(withEnding).isSymLink())
        return withEnding;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kvistel"),
                    QStringLiteral("Filen \"%1\" finns redan. Vill du ersätta den?")
                        .arg(QFileInfo(withEnding).fileName()),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("msgErsattFil"));
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Nej"));
    // Nothing is lost by the default.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes) ? withEnding : QString();
}
