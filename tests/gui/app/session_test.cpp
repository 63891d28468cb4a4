#include "gui/app/mainmenu.h"
#include "gui/app/windowfactory.h"
#include "samplehome.h"
#include "testsupport.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <QTableView>

#include <gtest/gtest.h>

namespace {

// The program as a user meets it: the main menu with the real windows on a copy of sample/.
struct Session {
    TempHome home;
    std::unique_ptr<MainMenu> menu;

    Session() {
        copySampleFiles(home);
        menu = std::make_unique<MainMenu>(home.directory(), makeWindow);
        menu->showWindow();
    }
    WorkWindow *window(WindowHub::Window w) const { return menu->existingWindow(w); }
    void click(QWidget *owner, const char *button) {
        auto *b = owner->findChild<QPushButton *>(QLatin1String(button));
        ASSERT_TRUE(b) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }
};

} // namespace

TEST(Session, FromTheMenuThroughACalculationAndBackForTheNextTree) {
    Session s;
    ModalHand hand;
    s.click(s.menu.get(), "btnParam2");
    WorkWindow *tree = s.window(WindowHub::Window::TreeParameters);
    ASSERT_TRUE(tree && tree->isVisible());
    EXPECT_EQ(tree->objectName(), "forParam2");
    EXPECT_FALSE(s.menu->isVisible());

    tree->findChild<QLineEdit *>("txtBdm")->setText("40");
    s.click(tree, "btnBerakna");
    WorkWindow *result = s.window(WindowHub::Window::Result);
    ASSERT_TRUE(result && result->isVisible());
    EXPECT_FALSE(tree->isVisible());
    auto *grid = result->findChild<QTableView *>("flgResult");
    ASSERT_TRUE(grid);
    const QAbstractItemModel *shown = grid->model();
    EXPECT_EQ(shown->index(0, 6).data().toString(), "40");            // the diameter now
    EXPECT_EQ(shown->headerData(11, Qt::Vertical).toString(), "110"); // the last harvest year
    EXPECT_FALSE(shown->index(11, 2).data().toString().isEmpty());
    EXPECT_TRUE(s.home.readLines("trad.sty").contains("bdm:/40/ brösthöjdsdiameter, cm"));
    EXPECT_TRUE(s.home.exists("resultat.txt"));
    EXPECT_EQ(hand.count(), 0);

    s.click(result, "btnAterga");
    EXPECT_TRUE(tree->isVisible());
    EXPECT_FALSE(result->isVisible());
    s.click(tree, "btnAvsluta");
    EXPECT_TRUE(s.menu->isVisible());
    EXPECT_FALSE(tree->isVisible());
}

TEST(Session, EveryWorkWindowLeadsBackToTheMenuByItsButtonAndItsCloseBox) {
    Session s;
    const QList<std::tuple<const char *, WindowHub::Window, const char *>> ways = {
        {"btnParam1", WindowHub::Window::StandParameters, "btnAvbryt"},
        {"btnParam2", WindowHub::Window::TreeParameters, "btnAvsluta"},
        {"btnPrislista", WindowHub::Window::PriceList, "btnAvsluta"},
        {"btnTradlista", WindowHub::Window::TreeList, "btnAvbryt"}};
    for (const auto &[choice, which, back] : ways) {
        s.click(s.menu.get(), choice);
        WorkWindow *w = s.window(which);
        ASSERT_TRUE(w && w->isVisible()) << choice;
        s.click(w, back);
        EXPECT_TRUE(s.menu->isVisible()) << back;
        s.click(s.menu.get(), choice);
        EXPECT_EQ(s.window(which), w); // made once, shown again
        w->close();
        EXPECT_TRUE(s.menu->isVisible()) << "close box of " << choice;
        EXPECT_FALSE(w->isVisible());
    }
}

TEST(Session, TheResultWindowsAvbrytAndCloseBoxLeadToTheMenu) {
    Session s;
    s.click(s.menu.get(), "btnParam2");
    WorkWindow *tree = s.window(WindowHub::Window::TreeParameters);
    s.click(tree, "btnBerakna");
    WorkWindow *result = s.window(WindowHub::Window::Result);
    ASSERT_TRUE(result && result->isVisible());
    s.click(result, "btnAvbryt");
    EXPECT_TRUE(s.menu->isVisible());
    s.click(s.menu.get(), "btnParam2");
    s.click(tree, "btnBerakna");
    result->close();
    EXPECT_TRUE(s.menu->isVisible());
    EXPECT_FALSE(result->isVisible());
}
