// The report "resultat.txt" cannot always be written: a directory of that name, a home
// directory that turned read-only, a full disk. The calculation itself is sound then, so its
// rows are shown; the user is told in one box that the report was not saved, and the earlier
// report stays whole rather than half overwritten.

#include "faultsupport.h"
#include "gui/forms/treeform.h"
#include "gui/result/resultgrid.h"
#include "gui/result/resultwindow.h"

#include <QRegularExpression>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

struct ReportCase {
    const char *name;
    // Makes the report unwritable for as long as the returned object lives.
    std::function<std::shared_ptr<void>(const TempHome &)> block;
    const char *says;
    bool needsPermissions = false;
};

const ReportCase reportCases[] = {
    {"ReportIsADirectory",
     [](const TempHome &h) {
         applyFault(h, "resultat.txt", FileFault::Directory);
         return std::shared_ptr<void>();
     },
     "är en katalog och inte en fil"},
    {"HomeTurnedReadOnly",
     [](const TempHome &h) {
         return std::static_pointer_cast<void>(std::make_shared<ReadOnlyHome>(h));
     },
     "kunde inte sparas, eftersom katalogen .* är skrivskyddad", true},
    {"DiskFull",
     [](const TempHome &) { return std::static_pointer_cast<void>(std::make_shared<FullDisk>()); },
     "kunde inte sparas, eftersom disken är full"},
};

void PrintTo(const ReportCase &c, std::ostream *os) {
    *os << c.name;
}

class UnwritableReport : public ::testing::TestWithParam<ReportCase> {
protected:
    void SetUp() override {
        if (GetParam().needsPermissions && !permissionsHold())
            GTEST_SKIP() << "root writes into read-only directories; run through asuser.sh";
    }
};

TEST_P(UnwritableReport, TheRowsAreShownTheUserIsToldAndTheEarlierReportStaysWhole) {
    Program p;
    TreeForm &tree = p.treeForm();
    Program::press(tree, "btnBerakna");
    ASSERT_NE(p.resultWindow(), nullptr);
    ResultWindow &result = *p.resultWindow();
    const QByteArray earlierReport = p.home.read("resultat.txt");
    // A second calculation on the same files, its control file saved while the home was still
    // writable: the result window calculates as the tree form's Beräkna makes it do.
    const auto before = snapshot(p.home);
    {
        const auto blocked = GetParam().block(p.home);
        const auto blockedState = snapshot(p.home);
        ModalHand hand;
        result.calculateAndSave();
        settle();
        const SeenBox box = theOnlyMessage(hand);
        EXPECT_TRUE(box.text.startsWith("Rapporten kunde inte sparas.")) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains("resultat.txt")) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QRegularExpression(QString::fromUtf8(GetParam().says))))
            << box.text.toStdString();
        EXPECT_TRUE(result.isVisible());
        static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
        for (int r = 1; r <= 12; ++r)
            EXPECT_TRUE(number.match(result.grid()->textAt(r, 3)).hasMatch()) << "row " << r;
        // The link to the full disk was the save's temporary file: the failed save removed it.
        EXPECT_EQ(snapshot(p.home), withoutTemporaries(blockedState));
    }
    if (QString(GetParam().name) != "ReportIsADirectory") {
        EXPECT_EQ(p.home.read("resultat.txt"), earlierReport);
    }
    EXPECT_EQ(snapshot(p.home).keys(), before.keys());
}

INSTANTIATE_TEST_SUITE_P(Faults, UnwritableReport, ::testing::ValuesIn(reportCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(UnwritableReport, TheNextCalculationWritesTheReportAgainOnceTheHomeIsWritable) {
    if (!permissionsHold())
        GTEST_SKIP() << "root writes into read-only directories; run through asuser.sh";
    Program p;
    Program::press(p.treeForm(), "btnBerakna");
    ASSERT_NE(p.resultWindow(), nullptr);
    QFile::remove(p.home.path("resultat.txt"));
    {
        ReadOnlyHome readOnly(p.home);
        ModalHand hand;
        p.resultWindow()->calculateAndSave();
        settle();
        EXPECT_EQ(hand.count(), 1);
    }
    EXPECT_FALSE(p.home.exists("resultat.txt"));
    ModalHand hand;
    p.resultWindow()->calculateAndSave();
    settle();
    EXPECT_EQ(hand.count(), 0);
    EXPECT_TRUE(p.home.read("resultat.txt").contains("AVVERKNING OM 110 "));
}

} // namespace
