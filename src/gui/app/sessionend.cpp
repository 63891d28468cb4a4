#include "gui/app/sessionend.h"

#include "core/files/textfile.h"
#include "gui/app/mainmenu.h"
#include "gui/shared/messages.h"
#include "gui/treelist/treelistmodel.h"
#include "gui/treelist/treelistwindow.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

#include <utility>

namespace {

TreeListWindow *treeList(const MainMenu &menu) {
    return qobject_cast<TreeListWindow *>(menu.existingWindow(WindowHub::Window::TreeList));
}

const QString homeKey = QStringLiteral("hemkatalog");
const QString listKey = QStringLiteral("lista");

} // namespace

SessionEnd::SessionEnd(MainMenu &menu, QString recoveryDirectory)
    : m_menu(menu), m_directory(std::move(recoveryDirectory)) {
    QObject::connect(&menu, &MainMenu::quitRequested, &menu, [this] {
        if (std::exchange(m_keptThisRun, false)) {
            QFile::remove(keptList());
            QFile::remove(keptFacts());
        }
    });
}

QString SessionEnd::defaultRecoveryDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString SessionEnd::keptList() const {
    return m_directory + QStringLiteral("/osparad-tradlista.csv");
}

// The home directory and the list file the kept edits belong to.
QString SessionEnd::keptFacts() const {
    return m_directory + QStringLiteral("/osparad-tradlista.ini");
}

bool SessionEnd::end(bool mayAsk) {
    if (!mayAsk)
        return keepEdits();
    for (const auto which : {WindowHub::Window::TreeList, WindowHub::Window::StandParameters,
                             WindowHub::Window::TreeParameters, WindowHub::Window::PriceList,
                             WindowHub::Window::Result})
        if (WorkWindow *w = m_menu.existingWindow(which); w && !w->mayClose())
            return false;
    return true;
}

bool SessionEnd::keepEdits() {
    TreeListWindow *list = treeList(m_menu);
    if (!list || !list->model()->isModified())
        return true;
    // Nothing may stop the session here: a list that cannot be kept is let go, but a kept list
    // is never half written (the file is replaced whole or not at all).
    if (!QDir().mkpath(m_directory) ||
        !replaceFileSafely(keptList(), list->model()->document().listBytes()).ok())
        return true;
    QSettings facts(keptFacts(), QSettings::IniFormat);
    facts.setValue(homeKey, m_menu.home().path());
    facts.setValue(listKey, list->listPath());
    facts.sync();
    m_keptThisRun = true;
    return true;
}

bool SessionEnd::hasKeptEdits() const {
    if (!QFile::exists(keptList()) || !QFile::exists(keptFacts()))
        return false;
    const QSettings facts(keptFacts(), QSettings::IniFormat);
    return QDir(facts.value(homeKey).toString()) == QDir(m_menu.home().path());
}

void SessionEnd::offerKeptEdits() {
    if (!hasKeptEdits())
        return;
    const QString path = QSettings(keptFacts(), QSettings::IniFormat).value(listKey).toString();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kvistel"),
                    QStringLiteral("Återställ osparade ändringar i trädlistan?"),
                    QMessageBox::Yes | QMessageBox::No, &m_menu);
    box.setObjectName(QStringLiteral("msgAterstall"));
    box.setInformativeText(
        path.isEmpty()
            ? QStringLiteral("Kvistel avslutades när Windows eller skrivbordet stängdes, med en "
                             "ny trädlista som inte var sparad.")
            : QStringLiteral("Kvistel avslutades när Windows eller skrivbordet stängdes, med "
                             "ändringar i %1 som inte var sparade.")
                  .arg(QDir::toNativeSeparators(path)));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nej"));
    box.setDefaultButton(QMessageBox::Yes);
    box.exec();
    if (box.clickedButton() == box.button(QMessageBox::Yes)) {
        m_menu.hide();
        m_menu.open(WindowHub::Window::TreeList);
        TreeListWindow *list = treeList(m_menu);
        // A kept list that cannot be read (the user was told why) stays for the next start.
        if (!list || !list->restoreUnsavedList(keptList(), path))
            return;
    }
    QFile::remove(keptList());
    QFile::remove(keptFacts());
}
