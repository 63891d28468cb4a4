#include "gui/shared/changedfile.h"

#include "gui/shared/messages.h"

#include <QMessageBox>
#include <QPushButton>

ChangedFileChoice askAboutChangedFile(QWidget *parent, const QString &message) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kvistel"),
                    message + QStringLiteral("\n\nVill du skriva över de ändringarna med det som "
                                             "står i fönstret, läsa om filen (det du har ändrat "
                                             "i fönstret försvinner) eller avbryta?"),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("msgAndradFil"));
    box.setTextFormat(Qt::PlainText);
    QPushButton *overwrite =
        box.addButton(QStringLiteral("&Skriv över"), QMessageBox::DestructiveRole);
    overwrite->setObjectName(QStringLiteral("btnSkrivOver"));
    QPushButton *reload = box.addButton(QStringLiteral("&Läs om"), QMessageBox::ResetRole);
    reload->setObjectName(QStringLiteral("btnLasOm"));
    QPushButton *cancel = box.addButton(QStringLiteral("&Avbryt"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnAvbryt"));
    // Nothing is lost by the default: neither the other change nor the window's edits.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == overwrite)
        return ChangedFileChoice::Overwrite;
    if (box.clickedButton() == reload)
        return ChangedFileChoice::Reload;
    return ChangedFileChoice::Cancel;
}

bool saveAskingIfChanged(QWidget *parent,
                         const std::function<SaveOutcome(IfChangedSinceRead)> &save,
                         const std::function<void()> &reload) {
    SaveOutcome saved = save(IfChangedSinceRead::Stop);
    if (saved.changedOnDisk()) {
        switch (askAboutChangedFile(parent, saved.message())) {
        case ChangedFileChoice::Overwrite:
            saved = save(IfChangedSinceRead::Overwrite);
            break;
        case ChangedFileChoice::Reload:
            reload();
            return false;
        case ChangedFileChoice::Cancel:
            return false;
        }
    }
    if (!saved)
        showKvistelMessage(parent, saved.message());
    return saved.ok();
}
