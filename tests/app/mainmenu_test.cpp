#include "app/mainmenu.h"
#include "testsupport.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A work window with a return button, standing in for the real ones.
class TestWindow : public WorkWindow {
public:
    TestWindow(WindowHub &hub, HomeDirectory home) : home(std::move(home)), m_hub(hub) {}
    int loads = 0;
    HomeDirectory home;
    bool mayEnd = true; // false: unsaved work the user keeps
    bool mayClose() override { return mayEnd; }

protected:
    void formLoad() override { ++loads; }
    void closeBox() override {
        hide();
        m_hub.open(WindowHub::Window::MainMenu);
    }

private:
    WindowHub &m_hub;
};

struct Menu {
    TempHome home;
    QHash<WindowHub::Window, TestWindow *> made;
    MainMenu menu{home.directory(),
                  [this](WindowHub::Window w, WindowHub &hub, const HomeDirectory &s) {
                      auto *t = new TestWindow(hub, s);
                      made.insert(w, t);
                      return t;
                  }};
    QPushButton *button(const char *name) {
        return menu.findChild<QPushButton *>(QLatin1String(name));
    }
};

} // namespace

TEST(MainMenu, CarriesEveryCaptionOfTheMenu) {
    Menu m;
    EXPECT_EQ(m.menu.windowTitle(), "Kvistel");
    EXPECT_EQ(m.menu.findChild<QGroupBox *>("frmKvistel")->title(), "Huvudmeny");
    auto label = [&](const char *n) { return m.menu.findChild<QLabel *>(n)->text(); };
    EXPECT_EQ(label("lblRubrik1"), "RÄNTABILITET HOS TRÄD");
    EXPECT_TRUE(m.menu.findChild<QLabel *>("lblRubrik1")->font().bold());
    EXPECT_EQ(label("lblRubrik2"), "Värdering av enskilda träd i naturkultur");
    EXPECT_EQ(label("lblVal1"), "Sätt parametrar före besöket i fält");
    EXPECT_EQ(label("lblVal2"), "Sätt parametrar i fält");
    EXPECT_EQ(label("lblVal3"), "Ändra i prislista");
    EXPECT_EQ(label("lblVal4"), "Värdera en lista av träd");
    for (const char *b : {"btnParam1", "btnParam2", "btnPrislista", "btnTradlista"})
        EXPECT_EQ(m.button(b)->text(), "Välj");
    EXPECT_EQ(m.button("btnAvsluta")->text(), "Avsluta");
    EXPECT_EQ(m.menu.findChild<QLineEdit *>("txtPath")->text(), "n:\\arb/cprog/kvistel/swe");
}

TEST(MainMenu, EachChoiceHidesTheMenuAndShowsItsWindowMadeOnce) {
    Menu m;
    m.menu.showWindow();
    const QList<QPair<const char *, WindowHub::Window>> choices = {
        {"btnParam1", WindowHub::Window::StandParameters},
        {"btnParam2", WindowHub::Window::TreeParameters},
        {"btnPrislista", WindowHub::Window::PriceList},
        {"btnTradlista", WindowHub::Window::TreeList}};
    for (int round = 0; round < 2; ++round)
        for (const auto &[name, which] : choices) {
            QTest::mouseClick(m.button(name), Qt::LeftButton);
            TestWindow *w = m.made.value(which);
            ASSERT_TRUE(w);
            EXPECT_TRUE(w->isVisible());
            EXPECT_FALSE(m.menu.isVisible());
            EXPECT_EQ(w->windowTitle(), "Kvistel");
            EXPECT_EQ(w->home, m.home.directory());
            EXPECT_EQ(w->loads, 1);
            EXPECT_FALSE(w->isModal());
            w->close(); // the close box returns to the menu
            EXPECT_FALSE(w->isVisible());
            EXPECT_TRUE(m.menu.isVisible());
        }
    EXPECT_EQ(m.made.size(), 4);
}

TEST(MainMenu, AvslutaAndTheCloseBoxEndTheProgram) {
    Menu m;
    m.menu.showWindow();
    QSignalSpy spy(&m.menu, &MainMenu::avsluta);
    QTest::mouseClick(m.button("btnAvsluta"), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
    m.menu.close();
    EXPECT_EQ(spy.count(), 2);
}

TEST(MainMenu, AWindowWithUnsavedWorkTheUserKeepsHoldsTheProgramOpen) {
    Menu m;
    m.menu.showWindow();
    QTest::mouseClick(m.button("btnTradlista"), Qt::LeftButton);
    TestWindow *list = m.made.value(WindowHub::Window::TreeList);
    ASSERT_TRUE(list);
    list->close();
    list->mayEnd = false;
    QSignalSpy spy(&m.menu, &MainMenu::avsluta);
    QTest::mouseClick(m.button("btnAvsluta"), Qt::LeftButton);
    m.menu.close();
    EXPECT_EQ(spy.count(), 0);
    list->mayEnd = true;
    QTest::mouseClick(m.button("btnAvsluta"), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
}
