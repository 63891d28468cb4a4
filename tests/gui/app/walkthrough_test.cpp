// The whole program once through on whatever platform Qt runs on (offscreen in the suite, the
// real windows of Windows under Wine): every window of the main menu opened, both parameter
// forms and the price list saved, and what reached the disk read back.
#include "gui/app/mainmenu.h"
#include "gui/app/windowfactory.h"
#include "samplehome.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void click(QWidget *owner, const char *button) {
    auto *b = owner->findChild<QPushButton *>(QLatin1String(button));
    ASSERT_TRUE(b) << button;
    QTest::mouseClick(b, Qt::LeftButton);
}

void type(QWidget *owner, const char *field, const QString &text) {
    auto *edit = owner->findChild<QLineEdit *>(QLatin1String(field));
    ASSERT_TRUE(edit) << field;
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

} // namespace

TEST(Walkthrough, EveryWindowOpensAndTheFormsAndThePriceListAreSaved) {
    TempHome home;
    copySampleFiles(home);
    ModalHand hand;
    MainMenu menu(home.directory(), makeWindow);
    menu.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    using Window = WindowHub::Window;
    auto shown = [&](Window which) {
        WorkWindow *w = menu.existingWindow(which);
        EXPECT_TRUE(w && QTest::qWaitForWindowExposed(w));
        return w;
    };

    // The stand's parameters: a new required rate saved with OK.
    click(&menu, "btnParam1");
    WorkWindow *stand = shown(Window::StandParameters);
    ASSERT_TRUE(stand);
    type(stand, "txtRant", QStringLiteral("2,5"));
    click(stand, "btnOK");
    EXPECT_TRUE(home.readLines("trad.sty").filter(QStringLiteral("rant:/2.5/")).size() == 1);

    // The tree's parameters: a new diameter, saved by the calculation, then the result.
    click(&menu, "btnParam2");
    WorkWindow *tree = shown(Window::TreeParameters);
    ASSERT_TRUE(tree);
    type(tree, "txtBdm", QStringLiteral("41"));
    click(tree, "btnBerakna");
    WorkWindow *result = shown(Window::Result);
    ASSERT_TRUE(result);
    EXPECT_TRUE(
        home.readLines("trad.sty").contains(QStringLiteral("bdm:/41/ brösthöjdsdiameter, cm")));
    EXPECT_TRUE(home.exists("resultat.txt"));
    click(result, "btnAterga");
    click(tree, "btnAvsluta");

    // The price list: the first pine price typed anew and saved.
    click(&menu, "btnPrislista");
    WorkWindow *prices = shown(Window::PriceList);
    ASSERT_TRUE(prices);
    auto *price = prices->findChild<QLineEdit *>(QStringLiteral("txtEdit"));
    ASSERT_TRUE(price);
    price->setFocus(Qt::OtherFocusReason);
    price->selectAll();
    QTest::keyClicks(price, QStringLiteral("777"));
    click(prices, "btnSpara");
    EXPECT_TRUE(home.read("priser_ac.txt").contains("777"));
    EXPECT_TRUE(home.read("priser_ac.txt").startsWith("\"J\xf6nk\xf6pings l\xe4n\"\r\n"));
    click(prices, "btnAvsluta");

    // The list of trees, opened and left.
    click(&menu, "btnTradlista");
    WorkWindow *list = shown(Window::TreeList);
    ASSERT_TRUE(list);
    click(list, "btnAvbryt");
    EXPECT_TRUE(menu.isVisible());

    // The only box on the way: the price list's "saved".
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].title, "Spara prislistan");
    // Every file written as the program writes them: Windows-1252 with CR LF.
    EXPECT_TRUE(home.read("trad.sty").contains("\r\n"));
    EXPECT_FALSE(home.read("trad.sty").contains("\xc3"));
}
