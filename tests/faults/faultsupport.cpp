#include "faultsupport.h"

#include "core/results/resultmodel.h"

#include "gui/app/mainmenu.h"
#include "gui/app/windowfactory.h"
#include "core/files/textfile.h"
#include "gui/forms/standform.h"
#include "gui/forms/treeform.h"
#include "gui/pricelist/pricelisteditor.h"
#include "gui/result/resultwindow.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <cerrno>

#include <gtest/gtest.h>
#include <unistd.h>

void applyFault(const TempHome &home, const QString &name, FileFault fault) {
    const QString path = home.path(name);
    switch (fault) {
    case FileFault::Missing:
        QFile::remove(path);
        break;
    case FileFault::Empty:
        home.write(name, QByteArray());
        break;
    case FileFault::Truncated: {
        const QByteArray whole = home.read(name);
        home.write(name, whole.left(whole.size() * 3 / 5));
        break;
    }
    case FileFault::Unreadable:
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        break;
    case FileFault::Directory:
        QFile::remove(path);
        QDir().mkdir(path);
        break;
    }
}

bool permissionsHold() {
    return ::geteuid() != 0;
}

QMap<QString, QByteArray> snapshot(const TempHome &home) {
    QMap<QString, QByteArray> entries;
    QDirIterator it(home.withSlash(),
                    QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QByteArray content;
        if (info.isSymLink())
            content = "<länk till " + info.symLinkTarget().toUtf8() + ">";
        else if (info.isDir())
            content = "<katalog>";
        else if (!info.isFile()) // a named pipe: reading it would wait for a writer forever
            content = "<ingen vanlig fil>";
        else if (!info.isReadable())
            content = "<oläsbar, " + QByteArray::number(info.size()) + " byte>";
        else
            content = home.read(info.fileName());
        entries.insert(info.fileName(), content);
    }
    return entries;
}

QMap<QString, QByteArray> withoutTemporaries(QMap<QString, QByteArray> entries) {
    for (auto it = entries.begin(); it != entries.end();)
        if (it.key() == u"tmp.sty" || it.key().endsWith(u".tmp"))
            it = entries.erase(it);
        else
            ++it;
    return entries;
}

ReadOnlyHome::ReadOnlyHome(const TempHome &home) : m_path(home.withSlash()) {
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
}

ReadOnlyHome::~ReadOnlyHome() {
    QFile::setPermissions(m_path,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

FullDisk::FullDisk() {
    simulateWriteFailure(ENOSPC);
}

FullDisk::~FullDisk() {
    simulateWriteFailure(0);
}

Program::Program() {
    home.writeLines(QStringLiteral("trad.sty"), sampleControlLines());
    home.write(QStringLiteral("priser_ac.txt"), samplePriceList());
    // The windows as the program makes them.
    m_menu = std::make_unique<MainMenu>(home.directory(), makeWindow);
    m_menu->showWindow();
}

Program::~Program() = default;

StandForm &Program::standForm() {
    m_menu->open(WindowHub::Window::StandParameters);
    return *static_cast<StandForm *>(m_menu->existingWindow(WindowHub::Window::StandParameters));
}

TreeForm &Program::treeForm() {
    m_menu->open(WindowHub::Window::TreeParameters);
    return *static_cast<TreeForm *>(m_menu->existingWindow(WindowHub::Window::TreeParameters));
}

PriceListEditor &Program::priceEditor() {
    m_menu->open(WindowHub::Window::PriceList);
    return *static_cast<PriceListEditor *>(m_menu->existingWindow(WindowHub::Window::PriceList));
}

ResultWindow *Program::resultWindow() const {
    return static_cast<ResultWindow *>(m_menu->existingWindow(WindowHub::Window::Result));
}

bool Program::calculationShown() const {
    const ResultWindow *result = resultWindow();
    return result && (result->isVisible() || result->model()->valuation().yearsValued > 0);
}

void Program::press(QWidget &window, const char *buttonName) {
    auto *button = window.findChild<QPushButton *>(QLatin1String(buttonName));
    ASSERT_TRUE(button) << "no button " << buttonName;
    ASSERT_TRUE(button->isEnabled()) << buttonName << " is disabled";
    button->click();
}

QLineEdit &Program::field(QWidget &window, const char *name) {
    auto *box = window.findChild<QLineEdit *>(QLatin1String(name));
    if (!box) {
        ADD_FAILURE() << "no text box " << name;
        static QLineEdit none;
        return none;
    }
    return *box;
}

bool Program::somethingShown() const {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && qobject_cast<WorkWindow *>(w))
            return true;
    return false;
}

SeenBox theOnlyMessage(const ModalHand &hand) {
    EXPECT_EQ(hand.count(), 1) << "message boxes seen: " << hand.count();
    if (hand.count() == 0)
        return {};
    for (const SeenBox &box : hand.seen())
        EXPECT_EQ(box.title, "Kvistel") << box.text.toStdString();
    return hand.seen().constFirst();
}
