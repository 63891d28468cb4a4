// The shared pieces that make every window a desktop window: where a window goes on a screen,
// which letter becomes a caption's mnemonic, what a parameter field explains.
#include "core/parameters/parameters.h"
#include "gui/shared/fieldtips.h"
#include "gui/shared/keyboardaccess.h"
#include "gui/shared/messages.h"
#include "gui/shared/screenfit.h"

#include <QApplication>
#include <QMessageBox>
#include <QRect>
#include <QTimer>

#include <gtest/gtest.h>

TEST(ScreenFit, AWindowEndsUpWhollyInsideTheFreeArea) {
    // A laptop's free area below a 32-pixel top panel, and a second screen to its right.
    const QRect laptop(0, 32, 1366, 736);
    const QRect second(1366, 0, 1920, 1080);
    const struct {
        QRect wanted, area, placed;
        const char *what;
    } cases[] = {
        {{100, 100, 800, 500}, laptop, {100, 100, 800, 500}, "fits: stays"},
        {{900, 100, 800, 500}, laptop, {566, 100, 800, 500}, "off the right edge: moved in"},
        {{-300, -50, 800, 500}, laptop, {0, 32, 800, 500}, "off the top left: under the panel"},
        {{100, 600, 800, 500}, laptop, {100, 268, 800, 500}, "off the bottom: moved up"},
        {{50, 40, 1700, 900}, laptop, {0, 32, 1366, 736}, "larger than the area: shrunk"},
        {{3000, 500, 600, 400}, second, {2686, 500, 600, 400}, "on the second screen"},
        {{0, 0, 1366, 736}, laptop, {0, 32, 1366, 736}, "exactly the area's size"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ScreenFit::fitIntoArea(c.wanted, c.area), c.placed) << c.what;
}

TEST(KeyboardAccess, EachCaptionTakesAFreeLetterWordInitialsFirst) {
    const struct {
        QStringList captions;
        QStringList marked;
    } cases[] = {
        {{"OK", "Avbryt", "Hjälp"}, {"&OK", "&Avbryt", "&Hjälp"}},
        {{"Avbryt", "Avsluta"}, {"&Avbryt", "A&vsluta"}},
        {{"Välj", "Välj", "Välj", "Välj", "Välj"}, {"&Välj", "V&älj", "Vä&lj", "Väl&j", "Välj"}},
        {{"Spara", "Sätt parametrar i fält"}, {"&Spara", "Sätt &parametrar i fält"}},
        {{"Andel avverkad volym ", "Aktuell avverkningskostnad"},
         {"&Andel avverkad volym ", "A&ktuell avverkningskostnad"}},
        {{"Ståndortsindex vid 100 års ålder", "Årsring efter 5 år"},
         {"&Ståndortsindex vid 100 års ålder", "&Årsring efter 5 år"}},
        // A mnemonic already chosen is kept, and reserved; "&&" is a plain ampersand.
        {{"Sk&ördare", "Skotare"}, {"Sk&ördare", "&Skotare"}},
        {{"A && B", "Avverkning"}, {"&A && B", "A&vverkning"}},
        {{"", "100"}, {"", "100"}},
    };
    for (const auto &c : cases) {
        QSet<QChar> used;
        QStringList marked;
        for (const QString &caption : c.captions)
            marked << KeyboardAccess::withMnemonic(caption, used);
        EXPECT_EQ(marked, c.marked) << c.captions.join(u'|').toStdString();
    }
}

TEST(FieldTips, EveryParameterFieldExplainsMeaningUnitAndBounds) {
    const struct {
        const char *key;
        QChar separator;
        const char *facts; // the line after the meaning, or "" for none
    } cases[] = {
        {"rant:", u'.', "Enhet: %. Tillåtet: 0 till 10."},
        {"plantcost:", u'.', "Enhet: Kr. Tillåtet: 1 till 10."},
        {"avvjust:", u'.', "Enhet: % av normal (skördare+skotare). Tillåtet: 0 till 1000."},
        {"hojdjust:", u'.', "Enhet: m. Tillåtet: -8 till 8."},
        {"ring5:", u',', "Enhet: mm. Tillåtet: 0,1 till 20."},
        {"dkvot:", u'.', "Tillåtet: 0.2 till 1."},
        {"bkv:", u'.', "Klass 1 till 5."},
        {"art:", u'.', ""},
        {"sv:", u'.', ""},
    };
    for (const auto &c : cases) {
        const Parameter *p = findParameter(QString::fromLatin1(c.key));
        ASSERT_TRUE(p) << c.key;
        const QString tip = FieldTips::tipFor(*p, c.separator);
        EXPECT_TRUE(tip.startsWith(p->meaning.toString())) << c.key;
        EXPECT_FALSE(p->meaning.isEmpty()) << c.key;
        const QString facts = tip.section(u'\n', 1);
        EXPECT_EQ(facts, QString::fromUtf8(c.facts)) << c.key;
    }
}

// A message quoting a file's text (an id, a price list token) shows it as text: markup there
// could load a file, hang the program or make a box shout.
TEST(Messages, TextThatLooksLikeMarkupIsShownAsText) {
    Qt::TextFormat format = Qt::RichText;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            format = box->textFormat();
            box->accept();
        }
    });
    poll.start(10);
    showKvistelMessage(nullptr, QStringLiteral("<img src=\"/dev/zero\"><h1>Avverka ALLT</h1>"));
    EXPECT_EQ(format, Qt::PlainText);
}
