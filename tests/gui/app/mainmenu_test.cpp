#include "gui/app/mainmenu.h"
#include "namedtexts.h"
#include "testsupport.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
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
    // The title names the home directory in use.
    EXPECT_EQ(m.menu.windowTitle(),
              "Kvistel – " + QDir::toNativeSeparators(QDir::cleanPath(m.home.withSlash())));
    expectNamedTexts(m.menu, MainMenu::texts());
    EXPECT_TRUE(m.menu.findChild<QLabel *>("lblRubrik1")->font().bold());
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

TEST(MainMenu, NothingButTheMenuIsMadeBeforeItIsFirstPaintedAndTheResultWindowRightAfter) {
    Menu m;
    QSignalSpy painted(&m.menu, &MainMenu::firstPainted);
    m.menu.showWindow();
    EXPECT_TRUE(m.made.isEmpty());
    ASSERT_TRUE(painted.count() > 0 || painted.wait(5000));
    EXPECT_TRUE(m.made.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return m.made.contains(WindowHub::Window::Result); }));
    TestWindow *result = m.made.value(WindowHub::Window::Result);
    EXPECT_EQ(result->loads, 1);
    EXPECT_FALSE(result->isVisible());
    EXPECT_EQ(m.made.size(), 1);
    m.menu.update();
    QTest::qWait(20);
    EXPECT_EQ(painted.count(), 1);
}

TEST(MainMenu, AvslutaAndTheCloseBoxEndTheProgram) {
    Menu m;
    m.menu.showWindow();
    QSignalSpy spy(&m.menu, &MainMenu::quitRequested);
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
    QSignalSpy spy(&m.menu, &MainMenu::quitRequested);
    QTest::mouseClick(m.button("btnAvsluta"), Qt::LeftButton);
    m.menu.close();
    EXPECT_EQ(spy.count(), 0);
    list->mayEnd = true;
    QTest::mouseClick(m.button("btnAvsluta"), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
}

TEST(MainMenu, BytHemkatalogMovesEveryWindowToTheChosenHomeAndRemembersIt) {
    QStandardPaths::setTestModeEnabled(true);
    QSettings().clear();
    Menu m;
    TempHome other;
    other.write("trad.sty", "");
    m.menu.showWindow();
    QPushButton *change = m.button("btnHemkatalog");
    ASSERT_TRUE(change);
    EXPECT_FALSE(change->toolTip().isEmpty());
    QTest::mouseClick(m.button("btnParam1"), Qt::LeftButton);
    QPointer<TestWindow> before = m.made.value(WindowHub::Window::StandParameters);
    ASSERT_TRUE(before);
    m.menu.showWindow();

    struct Case {
        QString answer; // a null one is "Avbryt"
        bool unsaved;
        bool moves;
    };
    const Case cases[] = {{QString(), false, false},
                          {other.withSlash(), true, false}, // the user keeps the unsaved work
                          {other.withSlash(), false, true}};
    for (const Case &c : cases) {
        before->mayEnd = !c.unsaved;
        ModalHand hand;
        hand.queueInput(c.answer);
        change->click();
        EXPECT_EQ(hand.count(), 1);
        EXPECT_EQ(m.menu.home() == other.directory(), c.moves) << c.answer.toStdString();
    }
    QTest::qWait(20); // the windows of the old home are gone
    EXPECT_TRUE(before.isNull());
    EXPECT_TRUE(m.menu.windowTitle().endsWith(
        QDir::toNativeSeparators(QDir::cleanPath(other.withSlash()))));
    QTest::mouseClick(m.button("btnParam1"), Qt::LeftButton);
    ASSERT_TRUE(m.made.value(WindowHub::Window::StandParameters));
    EXPECT_EQ(m.made.value(WindowHub::Window::StandParameters)->home, other.directory());
    EXPECT_EQ(QSettings().value("hemkatalog").toString(), other.directory().path());
    QSettings().clear();
    QStandardPaths::setTestModeEnabled(false);
}
