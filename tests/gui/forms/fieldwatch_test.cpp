#include "formtesting.h"
#include "gui/forms/standform.h"
#include "gui/forms/treeform.h"
#include "testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

// Leaving a numeric field of either form runs the field check: one message per leaving, in a
// box titled "Error" with an OK button and no icon, the focus back in the field and its text
// as the user typed it.

namespace {

template <class Form> struct ActiveForm {
    TempHome home;
    RecordingHub hub;
    std::unique_ptr<Form> form;

    ActiveForm() {
        home.writeLines("trad.sty", sampleControlLines());
        form = std::make_unique<Form>(hub, home.directory());
        showActive(*form);
    }
    QLineEdit *field(const char *name) const { return child<QLineEdit>(*form, name); }
    // Types `text` into the field (replacing what it held) and leaves it with Tab.
    void typeAndTab(const char *name, const QString &text) const {
        QLineEdit *f = field(name);
        f->setFocus(Qt::OtherFocusReason);
        f->setText(text);
        QTest::keyClick(f, Qt::Key_Tab);
        settle(60);
    }
};

const QString empty = "Fältet får ej lämnas tomt";
const QString numeric = "Värdet måste vara numeriskt";

} // namespace

TEST(FieldCheckOnLeaving, EachFaultGivesItsMessageAndTheFocusComesBackToTheUntouchedText) {
    const struct {
        const char *field, *text;
        QString message;
    } cases[] = {
        {"txtBdm", "", empty},
        {"txtBdm", "12 cm", numeric},
        {"txtBdm", "301", "Värdet måste ligga mellan 0 och 300"},
        {"txtBdm", "-1", "Värdet måste ligga mellan 0 och 300"},
        {"txtHojdjust", "9", "Värdet måste ligga mellan -8 och 8"},
        {"txtHojdjust", "8.5", "Värdet måste ligga mellan -8 och 8"},
        {"txtHojdjust", "-8.5", "Värdet måste ligga mellan -8 och 8"},
        {"txtSite", "9.9", "Värdet måste ligga mellan 10 och 36"},
        {"txtRing5", "0", "Värdet måste ligga mellan 0.1 och 20"},
        {"txtDkvot", "1.01", "Värdet måste ligga mellan 0.2 och 1"},
        {"txtKronst", "abc", numeric},
        {"txtKronst", " ", numeric},
    };
    ActiveForm<TreeForm> f;
    for (const auto &c : cases) {
        const QString loaded = f.field(c.field)->text();
        ModalHand hand;
        f.typeAndTab(c.field, QString::fromUtf8(c.text));
        ASSERT_EQ(hand.count(), 1) << c.field << " " << c.text;
        const SeenBox &box = hand.seen()[0];
        EXPECT_EQ(box.className, "QMessageBox");
        EXPECT_EQ(box.title, "Error");
        EXPECT_EQ(box.text, c.message) << c.field << " " << c.text;
        EXPECT_FALSE(box.hasIcon);
        EXPECT_EQ(box.buttons.size(), 1);
        EXPECT_EQ(box.buttons.value(0).remove(u'&'), "OK");
        EXPECT_EQ(f.form->focusWidget(), f.field(c.field)) << c.field;
        EXPECT_EQ(f.field(c.field)->text(), QString::fromUtf8(c.text));
        f.field(c.field)->setText(loaded); // the next case starts from a passing field
    }
}

TEST(FieldCheckOnLeaving, StandFormFieldsCheckTheirOwnBounds) {
    const struct {
        const char *field, *text;
        QString message;
    } cases[] = {
        {"txtPlantcost", "0.5", "Värdet måste ligga mellan 1 och 10"},
        {"txtRant", "10.5", "Värdet måste ligga mellan 0 och 10"},
        {"txtHarvpr", "101", "Värdet måste ligga mellan 0 och 100"},
        {"txtAvvandel", "-5", "Värdet måste ligga mellan 0 och 100"},
        {"txtAvvjust", "1001", "Värdet måste ligga mellan 0 och 1000"},
        {"txtTallpris", "1001", "Värdet måste ligga mellan 0 och 1000"},
        {"txtGranpris", "", empty},
        {"txtBjorkpris", "2 kr", numeric},
    };
    ActiveForm<StandForm> f;
    for (const auto &c : cases) {
        const QString loaded = f.field(c.field)->text();
        ModalHand hand;
        f.typeAndTab(c.field, QString::fromUtf8(c.text));
        ASSERT_EQ(hand.count(), 1) << c.field;
        EXPECT_EQ(hand.seen()[0].text, c.message) << c.field;
        EXPECT_EQ(f.form->focusWidget(), f.field(c.field)) << c.field;
        f.field(c.field)->setText(loaded);
    }
}

TEST(FieldCheckOnLeaving, ValuesAtTheBoundsAndBlanksAroundANumberPassSilently) {
    const struct {
        const char *field, *text;
    } cases[] = {
        {"txtHojdjust", "-8"}, {"txtHojdjust", "8"}, {"txtBdm", "0"},    {"txtBdm", "300"},
        {"txtBdm", " 32 "},    {"txtRing5", "0.1"},  {"txtRing5", "20"}, {"txtDkvot", "0.2"},
        {"txtDkvot", "1"},     {"txtSite", "10"},    {"txtSite", "36"},  {"txtKronst", "1e2"},
    };
    ActiveForm<TreeForm> f;
    ModalHand hand;
    for (const auto &c : cases) {
        f.typeAndTab(c.field, QString::fromUtf8(c.text));
        EXPECT_EQ(hand.count(), 0) << c.field << " " << c.text;
        EXPECT_NE(f.form->focusWidget(), f.field(c.field)) << c.field;
    }
    ActiveForm<StandForm> stand;
    stand.typeAndTab("txtAvvjust", "1000");
    stand.typeAndTab("txtPlantcost", "1");
    EXPECT_EQ(hand.count(), 0);
}

TEST(FieldCheckOnLeaving, OneLeavingGivesOneMessageEvenWhenTheNextFieldIsFaultyToo) {
    ActiveForm<TreeForm> f;
    f.field("txtHojdjust")->setText(""); // the field Tab moves to, faulty as well
    ModalHand hand;
    f.typeAndTab("txtBdm", "abc");
    settle(200); // neither the box nor the focus coming back may start another check
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].text, numeric);
    EXPECT_EQ(f.form->focusWidget(), f.field("txtBdm"));
    EXPECT_EQ(f.field("txtHojdjust")->text(), "");

    // Every further leaving is one further message, never a loop.
    QTest::keyClick(f.field("txtBdm"), Qt::Key_Tab);
    settle(200);
    EXPECT_EQ(hand.count(), 2);
    EXPECT_EQ(f.form->focusWidget(), f.field("txtBdm"));
}

TEST(FieldCheckOnLeaving, TheFocusComingBackToAnActiveFormRaisesNoSecondMessage) {
    ActiveForm<TreeForm> f;
    f.field("txtHojdjust")->setText("");
    // A window manager gives the form the keyboard back as soon as the box closes, so giving
    // the focus back to the faulty field is a real focus change out of the next field.
    int boxes = 0;
    QTimer windowManager;
    windowManager.setInterval(5);
    QObject::connect(&windowManager, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        ++boxes;
        box->accept();
        f.form->activateWindow();
        QCoreApplication::processEvents();
    });
    windowManager.start();
    f.typeAndTab("txtBdm", "abc");
    settle(200);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(f.form->focusWidget(), f.field("txtBdm"));
    EXPECT_TRUE(f.field("txtBdm")->hasFocus());
}

TEST(FieldCheckOnLeaving, ClickingIntoAnotherFieldChecksTheFieldThatWasLeft) {
    ActiveForm<TreeForm> f;
    ModalHand hand;
    f.field("txtSite")->setFocus(Qt::OtherFocusReason);
    f.field("txtSite")->setText("40");
    QTest::mouseClick(f.field("txtRing5"), Qt::LeftButton);
    settle(200);
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].text, "Värdet måste ligga mellan 10 och 36");
    EXPECT_EQ(f.form->focusWidget(), f.field("txtSite"));
}

TEST(FieldCheckOnLeaving, PressingAButtonFromAFaultyFieldShowsOneMessageAndDoesNotSave) {
    ActiveForm<StandForm> f;
    const QByteArray before = f.home.read("trad.sty");
    ModalHand hand;
    f.field("txtRant")->setFocus(Qt::OtherFocusReason);
    f.field("txtRant")->setText("abc");
    auto *ok = child<QPushButton>(*f.form, "btnOK");
    // A hand on the mouse: the press moves the focus, the message comes before the release.
    QTest::mousePress(ok, Qt::LeftButton);
    settle(200);
    QTest::mouseRelease(ok, Qt::LeftButton);
    settle(50);
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].text, numeric);
    EXPECT_FALSE(ok->isDown());
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_TRUE(f.hub.opened.isEmpty());
    EXPECT_EQ(f.home.read("trad.sty"), before);
    EXPECT_EQ(f.form->focusWidget(), f.field("txtRant"));
}

TEST(FieldCheckOnLeaving, HidingTheFormFromAFaultyFieldRaisesNoMessage) {
    ActiveForm<TreeForm> f;
    ModalHand hand;
    f.field("txtBdm")->setFocus(Qt::OtherFocusReason);
    f.field("txtBdm")->setText("");
    f.form->close(); // the close box: what "Avsluta" does
    settle(200);
    EXPECT_EQ(hand.count(), 0);
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(f.hub.opened, QList<WindowHub::Window>{WindowHub::Window::MainMenu});
}

TEST(FieldCheckOnLeaving, ADecimalCommaIsReadAsOneAndATypedPointShownAsAComma) {
    LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    ActiveForm<TreeForm> f;
    ModalHand hand;
    f.typeAndTab("txtRing5", "2,5");
    EXPECT_EQ(f.field("txtRing5")->text(), "2,5");
    f.typeAndTab("txtRing5", "2.5");
    EXPECT_EQ(f.field("txtRing5")->text(), "2,5");
    EXPECT_EQ(hand.count(), 0);

    // Out of range after the change: the message prints the bounds the Swedish way.
    f.typeAndTab("txtRing5", "25.5");
    EXPECT_EQ(f.field("txtRing5")->text(), "25,5");
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].text, "Värdet måste ligga mellan 0,1 och 20");

    // Straight from the field to "Beräkna": the value saved is 2.5, not 2,5 (read as 2).
    f.field("txtRing5")->setText("2,5");
    f.field("txtDkvot")->setFocus(Qt::OtherFocusReason);
    f.field("txtDkvot")->setText("0,75");
    QTest::mouseClick(child<QPushButton>(*f.form, "btnBerakna"), Qt::LeftButton);
    settle(60);
    EXPECT_EQ(f.hub.calculations, 1);
    const QStringList lines = f.home.readLines("trad.sty");
    EXPECT_TRUE(lines.contains("dkvot:/0.75/"));
    EXPECT_EQ(hand.count(), 1);
}
