// The program used from the keyboard and with a screen reader: Return confirms, Escape leaves,
// every button and field caption has a mnemonic of its own, captions name their fields, a form
// opens with the focus in its first field, Tab follows the rows, F1 opens the guide at the
// window's own section.
#include "gui/app/mainmenu.h"
#include "gui/app/windowfactory.h"
#include "core/parameters/parameters.h"
#include "samplehome.h"
#include "gui/shared/helpwindow.h"
#include "gui/shared/keyboardaccess.h"
#include "gui/shared/parameterfields.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

using Window = WindowHub::Window;

struct Session {
    TempHome home;
    std::unique_ptr<MainMenu> menu;

    Session() {
        copySampleFiles(home);
        menu = std::make_unique<MainMenu>(home.directory(), makeWindow);
        menu->showWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(menu.get()));
    }
    WorkWindow *open(Window which) {
        if (which == Window::MainMenu) {
            menu->showWindow();
        } else {
            menu->hide();
            if (which == Window::Result)
                menu->calculate();
            else
                menu->open(which);
        }
        WorkWindow *w = which == Window::MainMenu ? menu.get() : menu->existingWindow(which);
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        settle();
        return w;
    }
    WorkWindow *visibleWindow() const {
        if (menu->isVisible())
            return menu.get();
        for (Window w :
             {Window::StandParameters, Window::TreeParameters, Window::PriceList, Window::Result})
            if (WorkWindow *found = menu->existingWindow(w); found && found->isVisible())
                return found;
        return nullptr;
    }
    QString line(const char *key) const {
        for (const QString &l : home.readLines(QStringLiteral("trad.sty")))
            if (l.startsWith(QLatin1String(key)))
                return l;
        return {};
    }
};

// Types into the field that has the focus, as a user does.
void typeInto(QWidget *window, const char *field, const QString &text) {
    auto *f = window->findChild<QLineEdit *>(QLatin1String(field));
    ASSERT_TRUE(f) << field;
    f->setFocus(Qt::TabFocusReason);
    f->selectAll();
    QTest::keyClicks(f, text);
}

void press(QWidget *window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    // Keys reach the active window only (a message box that was just closed had the keyboard).
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    QWidget *target = QApplication::focusWidget();
    if (!target || target->window() != window)
        target = window;
    QTest::keyClick(target, Qt::Key(key), modifiers);
    settle();
}

const Window everyWindow[] = {Window::MainMenu, Window::StandParameters, Window::TreeParameters,
                              Window::PriceList, Window::Result};

QChar mnemonicOf(const QString &caption) {
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toLower();
        ++i;
    }
    return {};
}

} // namespace

TEST(Keyboard, ReturnConfirmsAFormAndEscapeLeavesItWithoutSaving) {
    // For each form: the key, the field typed into, what Return leads to and what is saved.
    struct Case {
        Window form;
        const char *field;
        const char *key;
        int confirmKey;
        Qt::KeyboardModifiers modifiers;
        Window afterReturn;
        const char *dropped, *saved; // typed before Escape, before Return (within bounds)
    };
    const Case cases[] = {
        {Window::StandParameters, "txtRant", "rant:", Qt::Key_Return, Qt::NoModifier,
         Window::MainMenu, "4", "5"},
        {Window::StandParameters, "txtHarvpr", "harvpr:", Qt::Key_Enter, Qt::KeypadModifier,
         Window::MainMenu, "27", "28"},
        {Window::TreeParameters, "txtBdm", "bdm:", Qt::Key_Return, Qt::NoModifier, Window::Result,
         "27", "28"},
        {Window::TreeParameters, "txtSite", "site:", Qt::Key_Enter, Qt::KeypadModifier,
         Window::Result, "27", "28"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.field);
        Session s;
        ModalHand hand;
        WorkWindow *form = s.open(c.form);
        const QString before = s.line(c.key);

        // Escape: back to the menu as the return button goes, nothing saved.
        typeInto(form, c.field, QString::fromLatin1(c.dropped));
        press(form, Qt::Key_Escape);
        EXPECT_EQ(s.visibleWindow(), s.menu.get());
        EXPECT_EQ(s.line(c.key), before);
        form = s.open(c.form);

        // Return (or the keypad's Enter) in a field: saved, and on to the next window.
        typeInto(form, c.field, QString::fromLatin1(c.saved));
        press(form, c.confirmKey, c.modifiers);
        EXPECT_FALSE(form->isVisible());
        WorkWindow *next = s.visibleWindow();
        ASSERT_TRUE(next);
        EXPECT_EQ(next, c.afterReturn == Window::MainMenu ? s.menu.get()
                                                          : s.menu->existingWindow(c.afterReturn));
        EXPECT_TRUE(s.line(c.key).startsWith(QLatin1String(c.key) + u'/' +
                                             QString::fromLatin1(c.saved) + u'/'))
            << s.line(c.key).toStdString();
        EXPECT_EQ(hand.count(), 0);
    }
}

TEST(Keyboard, ADecimalCommaConfirmedWithReturnIsSavedWithAPoint) {
    Session s;
    ModalHand hand;
    WorkWindow *form = s.open(Window::StandParameters);
    typeInto(form, "txtRant", QStringLiteral("2,5"));
    press(form, Qt::Key_Return);
    EXPECT_TRUE(s.line("rant:").startsWith(QStringLiteral("rant:/2.5/")));
}

TEST(Keyboard, ResultAndPriceListAnswerReturnAndEscape) {
    Session s;
    ModalHand hand;
    // The result window: Return back to the tree for the next tree, Escape to the menu.
    WorkWindow *result = s.open(Window::Result);
    ASSERT_TRUE(result->isVisible());
    press(result, Qt::Key_Return);
    EXPECT_EQ(s.visibleWindow(), s.menu->existingWindow(Window::TreeParameters));
    result = s.open(Window::Result);
    press(result, Qt::Key_Escape);
    EXPECT_EQ(s.visibleWindow(), s.menu.get());

    // The price list: Return in a price moves on and in the species box chooses the species,
    // neither saves; Return on Spara saves; Escape leaves.
    WorkWindow *prices = s.open(Window::PriceList);
    auto *species = prices->findChild<QComboBox *>(QStringLiteral("cmbArt"));
    species->setFocus(Qt::TabFocusReason);
    species->lineEdit()->selectAll();
    QTest::keyClicks(species->lineEdit(), QStringLiteral("Gran"));
    press(prices, Qt::Key_Return);
    EXPECT_EQ(species->currentIndex(), 1);
    EXPECT_EQ(hand.count(), 0);
    prices->findChild<QPushButton *>(QStringLiteral("btnSpara"))->setFocus(Qt::TabFocusReason);
    press(prices, Qt::Key_Return);
    ASSERT_EQ(hand.count(), 1);
    EXPECT_EQ(hand.seen()[0].title, "Spara prislistan");
    press(prices, Qt::Key_Escape);
    EXPECT_EQ(s.visibleWindow(), s.menu.get());

    // The menu: Escape ends the program as "Avsluta" does.
    QSignalSpy ending(s.menu.get(), &MainMenu::quitRequested);
    press(s.menu.get(), Qt::Key_Escape);
    EXPECT_EQ(ending.count(), 1);
}

TEST(Keyboard, EveryWindowOpensWithTheFocusOnItsFirstField) {
    const std::pair<Window, const char *> cases[] = {
        {Window::MainMenu, "btnParam1"},
        {Window::StandParameters, "txtPlantcost"}, // not the region's option buttons
        {Window::TreeParameters, "cmbArt"},
        {Window::PriceList, "txtEdit"},
        {Window::Result, "btnAterga"},
    };
    Session s;
    ModalHand hand;
    for (const auto &[which, name] : cases) {
        // Twice: also when the window is opened again after the focus was elsewhere.
        for (int visit = 0; visit < 2; ++visit) {
            WorkWindow *w = s.open(which);
            QWidget *focus = QApplication::focusWidget();
            ASSERT_TRUE(focus) << name;
            while (focus && focus->objectName().isEmpty())
                focus = focus->parentWidget(); // the line edit inside a combo box
            EXPECT_EQ(focus ? focus->objectName() : QString(), name) << "visit " << visit;
            if (QWidget *last = w->findChild<QPushButton *>(QStringLiteral("btnHjalp")))
                last->setFocus(Qt::TabFocusReason);
        }
    }
}

TEST(Keyboard, EveryButtonAndFieldCaptionHasAMnemonicOfItsOwn) {
    Session s;
    ModalHand hand;
    for (Window which : everyWindow) {
        WorkWindow *w = s.open(which);
        SCOPED_TRACE(w->objectName().toStdString());
        QHash<QChar, QString> taken;
        auto take = [&](const QString &caption) {
            const QChar m = mnemonicOf(caption);
            EXPECT_FALSE(m.isNull()) << "no mnemonic in " << caption.toStdString();
            if (m.isNull())
                return;
            EXPECT_FALSE(taken.contains(m))
                << caption.toStdString() << " and " << taken.value(m).toStdString();
            taken.insert(m, caption);
        };
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>())
            if (b->isVisibleTo(w) && !b->text().isEmpty())
                take(b->text());
        for (QLabel *l : w->findChildren<QLabel *>())
            if (l->isVisibleTo(w) && l->buddy() && l->buddy()->focusPolicy() != Qt::NoFocus)
                take(l->text());
    }
}

TEST(Keyboard, EveryFieldIsNamedByItsCaption) {
    // A screen reader reads a field's name from the label whose buddy it is.
    Session s;
    ModalHand hand;
    for (Window which : everyWindow) {
        WorkWindow *w = s.open(which);
        QList<QWidget *> fields;
        for (QLineEdit *e : w->findChildren<QLineEdit *>())
            if (e->isVisibleTo(w) && !e->isReadOnly() && !qobject_cast<QComboBox *>(e->parent()) &&
                e->objectName() != QLatin1String("txtEdit")) // the price cell's own box
                fields << e;
        for (QComboBox *c : w->findChildren<QComboBox *>())
            fields << c;
        for (QRadioButton *r : w->findChildren<QRadioButton *>())
            if (r->text().isEmpty())
                fields << r;
        for (QWidget *field : fields) {
            QLabel *caption = nullptr;
            for (QLabel *l : w->findChildren<QLabel *>())
                if (l->buddy() == field)
                    caption = l;
            ASSERT_TRUE(caption) << field->objectName().toStdString() << " has no caption";
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(field);
            ASSERT_TRUE(a);
            // The reader finds the caption through the "labelled by" relation ...
            bool labelled = false;
            for (const auto &[other, relation] : a->relations(QAccessible::Label))
                labelled = labelled || other->object() == caption;
            EXPECT_TRUE(labelled) << field->objectName().toStdString();
            // ... and a field that is not a list says it as its name (a list's name on Linux is
            // its chosen entry).
            if (!qobject_cast<QComboBox *>(field)) {
                EXPECT_EQ(a->text(QAccessible::Name), KeyboardAccess::spokenName(caption->text()))
                    << field->objectName().toStdString();
            }
            EXPECT_FALSE(KeyboardAccess::spokenName(caption->text()).isEmpty());
        }
    }
}

TEST(Keyboard, TabFollowsTheRowsOfEachForm) {
    const std::pair<Window, QStringList> cases[] = {
        {Window::MainMenu,
         {"btnParam1", "btnParam2", "btnPrislista", "btnTradlista", "btnAvsluta", "btnHemkatalog",
          "btnHjalp"}},
        {Window::StandParameters,
         {"optSvN", "optSvS", "txtPlantcost", "txtRant", "txtHarvpr", "txtAvvandel", "txtAvvjust",
          "txtTallpris", "txtGranpris", "txtBjorkpris", "btnOK", "btnAvbryt", "btnHjalp"}},
        {Window::TreeParameters,
         {"cmbArt", "txtBdm", "txtHojdjust", "txtSite", "optYes", "optNo", "txtRing5", "txtDkvot",
          "txtKronst", "cmbBkv", "cmbAkv", "cmbTkv", "btnBerakna", "btnAvsluta", "btnHjalp"}},
    };
    Session s;
    ModalHand hand;
    for (const auto &[which, expected] : cases) {
        WorkWindow *w = s.open(which);
        QStringList order;
        for (QWidget *c = w->nextInFocusChain(); c != w; c = c->nextInFocusChain())
            if ((c->focusPolicy() & Qt::TabFocus) && c->isVisibleTo(w) &&
                !c->objectName().isEmpty() && !qobject_cast<QComboBox *>(c->parent()))
                order << c->objectName();
        EXPECT_EQ(order, expected) << w->objectName().toStdString();
    }
}

TEST(Keyboard, TheChoicesOfTheMenuSayWhatTheyOpen) {
    Session s;
    QSet<QString> names;
    for (const char *b : {"btnParam1", "btnParam2", "btnPrislista", "btnTradlista"}) {
        auto *button = s.menu->findChild<QPushButton *>(QLatin1String(b));
        ASSERT_TRUE(button);
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(button);
        const QString name = a->text(QAccessible::Name);
        EXPECT_NE(shownText(name), "Välj") << b;
        EXPECT_TRUE(name.startsWith(QStringLiteral("Välj"))) << name.toStdString();
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 4);
}

TEST(Keyboard, F1AndHjalpOpenTheGuideAtTheWindowsOwnSection) {
    Session s;
    ModalHand hand;
    for (Window which : everyWindow) {
        WorkWindow *w = s.open(which);
        const QString section = w->helpSection();
        for (bool byButton : {false, true}) {
            if (HelpWindow *open = HelpWindow::instance())
                open->close();
            settle();
            if (byButton)
                QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btnHjalp")),
                                  Qt::LeftButton);
            else
                press(w, Qt::Key_F1);
            HelpWindow *help = HelpWindow::instance();
            ASSERT_TRUE(help && help->isVisible()) << section.toStdString();
            EXPECT_EQ(help->browser()->source().fragment(), section);
            // The section exists in the guide, under its own heading.
            EXPECT_TRUE(
                help->browser()->toHtml().contains(QStringLiteral("name=\"%1\"").arg(section)))
                << section.toStdString();
        }
        HelpWindow::instance()->close();
        settle();
        EXPECT_TRUE(w->isVisible()) << "the guide leaves the window where it was";
    }
}

TEST(Keyboard, EveryParameterFieldExplainsItselfUnderThePointer) {
    // Under Swedish regional settings the bounds carry the decimal comma the fields show.
    LocaleScope swedish(QLocale(QLocale::Swedish, QLocale::Sweden));
    Session s;
    ModalHand hand;
    for (Window which : {Window::StandParameters, Window::TreeParameters}) {
        WorkWindow *w = s.open(which);
        const auto form =
            which == Window::StandParameters ? Parameter::Form::Stand : Parameter::Form::Tree;
        for (const Parameter *p : parametersOf(form)) {
            const QString control = fieldsOf(*p).control.toString();
            auto *field = w->findChild<QWidget *>(control);
            ASSERT_TRUE(field) << control.toStdString();
            const QString tip = field->toolTip();
            EXPECT_TRUE(tip.contains(p->meaning.toString())) << control.toStdString();
            if (!p->unit.isEmpty()) {
                EXPECT_TRUE(tip.contains(p->unit.trimmed().toString())) << tip.toStdString();
            }
            if (p->isNumber()) {
                EXPECT_TRUE(tip.contains(QStringLiteral(" till "))) << tip.toStdString();
                EXPECT_FALSE(tip.section(u'\n', 1).contains(QRegularExpression("\\d\\.\\d")))
                    << tip.toStdString();
            }
            // The caption explains as much as its field.
            EXPECT_EQ(w->findChild<QWidget *>(fieldsOf(*p).caption.toString())->toolTip(), tip);
        }
    }
}
