// The price list "priser_ac.txt": a missing or damaged file is never taken for a price list.
// The editor says what is wrong and goes back to the menu instead of offering half a table for
// saving; a calculation says what is wrong, shows no rows and keeps the earlier report.

#include "gui/app/mainmenu.h"
#include "faultsupport.h"
#include "gui/forms/treeform.h"
#include "gui/pricelist/pricelisteditor.h"
#include "gui/result/resultgrid.h"
#include "gui/result/resultwindow.h"

#include <QDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

struct PriceListCase {
    const char *name;
    std::function<void(const TempHome &)> damage;
    const char *says;
};

void fault(const TempHome &home, FileFault f) {
    applyFault(home, "priser_ac.txt", f);
}

const PriceListCase priceListCases[] = {
    {"Missing", [](const TempHome &h) { fault(h, FileFault::Missing); }, "finns inte"},
    {"Empty", [](const TempHome &h) { fault(h, FileFault::Empty); }, "slutar innan länstexten"},
    {"Truncated", [](const TempHome &h) { fault(h, FileFault::Truncated); },
     "slutar mitt i prisblocket"},
    {"Unreadable", [](const TempHome &h) { fault(h, FileFault::Unreadable); },
     "kunde inte öppnas för läsning"},
    {"Directory", [](const TempHome &h) { fault(h, FileFault::Directory); },
     "är en katalog och inte en fil"},
    {"WordForAPrice",
     [](const TempHome &h) {
         h.write("priser_ac.txt", h.read("priser_ac.txt").replace("\"t\"\r\n", "\"t\"\r\nfyra,"));
     },
     "står \"fyra\" där ett pris ska stå"},
    {"PineTaggedUpperCase",
     [](const TempHome &h) {
         h.write("priser_ac.txt", h.read("priser_ac.txt").replace("\"t\"\r\n", "\"T\"\r\n"));
     },
     "prisblocket för tall (\"t\") saknas"},
};

void PrintTo(const PriceListCase &c, std::ostream *os) {
    *os << c.name;
}

class FaultyPriceList : public ::testing::TestWithParam<PriceListCase> {
protected:
    void SetUp() override {
        if (QString(GetParam().name) == "Unreadable" && !permissionsHold())
            GTEST_SKIP() << "root reads every file; run through asuser.sh";
    }

    static void expectNamed(const SeenBox &box) {
        EXPECT_EQ(box.title, "Kvistel");
        EXPECT_TRUE(box.text.contains("priser_ac.txt")) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QString::fromUtf8(GetParam().says)))
            << box.text.toStdString();
    }

    static void expectNoRows(const Program &p) {
        ASSERT_NE(p.resultWindow(), nullptr);
        EXPECT_TRUE(p.resultWindow()->isVisible());
        for (int r = 1; r <= 12; ++r)
            for (int c = 1; c <= 17; ++c)
                EXPECT_EQ(p.resultWindow()->grid()->textAt(r, c).trimmed(), "")
                    << "row " << r << ", column " << c;
    }
};

TEST_P(FaultyPriceList, TheEditorSaysWhyOnceAndGoesBackToTheMenuLeavingTheFileAlone) {
    Program p;
    GetParam().damage(p.home);
    const auto before = snapshot(p.home);
    ModalHand hand;
    PriceListEditor &editor = p.priceEditor();
    settle();
    expectNamed(theOnlyMessage(hand));
    EXPECT_FALSE(editor.isVisible());
    EXPECT_TRUE(p.menu().isVisible());
    EXPECT_EQ(snapshot(p.home), before);
}

TEST_P(FaultyPriceList, ACalculationSaysWhyOnceShowsNoRowsAndKeepsTheEarlierReport) {
    Program p;
    TreeForm &tree = p.treeForm();
    Program::press(tree, "btnBerakna");
    ASSERT_NE(p.resultWindow(), nullptr);
    ASSERT_FALSE(p.resultWindow()->grid()->textAt(12, 3).isEmpty());
    const QByteArray earlierReport = p.home.read("resultat.txt");
    ASSERT_FALSE(earlierReport.isEmpty());

    GetParam().damage(p.home);
    Program::press(*p.resultWindow(), "btnAterga");
    ModalHand hand;
    Program::press(tree, "btnBerakna");
    settle();
    const SeenBox box = theOnlyMessage(hand);
    expectNamed(box);
    EXPECT_TRUE(box.text.contains("förra rapporten är oförändrad")) << box.text.toStdString();
    expectNoRows(p);
    EXPECT_EQ(p.home.read("resultat.txt"), earlierReport);
}

TEST_P(FaultyPriceList, AtTheFirstCalculationNothingIsCalculatedAndNoReportIsMade) {
    Program p;
    GetParam().damage(p.home);
    ModalHand hand;
    Program::press(p.treeForm(), "btnBerakna");
    settle();
    // One fault, one message, though the price list is read as the window opens and again for
    // the calculation.
    const SeenBox box = theOnlyMessage(hand);
    expectNamed(box);
    EXPECT_TRUE(box.text.contains("Beräkningen gjordes inte")) << box.text.toStdString();
    expectNoRows(p);
    EXPECT_FALSE(p.home.exists("resultat.txt"));
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultyPriceList, ::testing::ValuesIn(priceListCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
