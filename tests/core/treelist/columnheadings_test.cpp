// A list's headings are read by what they mean, whoever wrote them: the control file's key, the
// window's heading, the form's caption or a spreadsheet's Swedish word; a heading that only looks
// like a tree value, a second column for one value, or a list without diameters is refused
// rather than valued as copies of the control file's tree.
#include "core/files/cp1252.h"
#include "core/treelist/columnheadings.h"
#include "core/treelist/treelistcsv.h"
#include "enginetestsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

struct HeadingCase {
    const char *heading;
    int column;
};

class Heading : public ::testing::TestWithParam<HeadingCase> {};

TEST_P(Heading, NamesTheValueItMeans) {
    EXPECT_EQ(columnNamed(QString::fromUtf8(GetParam().heading)), GetParam().column)
        << GetParam().heading;
}

INSTANTIATE_TEST_SUITE_P(
    KeysHeadingsCaptionsSynonyms, Heading,
    ::testing::Values(
        HeadingCase{"bdm", BreastDiameter}, HeadingCase{"BDM:", BreastDiameter},
        HeadingCase{"Diam, cm", BreastDiameter}, HeadingCase{"diam,cm", BreastDiameter},
        HeadingCase{"DIAM (cm)", BreastDiameter}, HeadingCase{"Diameter", BreastDiameter},
        HeadingCase{"Diameter (mm)", BreastDiameter},
        HeadingCase{"Brösthöjdsdiameter:", BreastDiameter},
        HeadingCase{" brösthöjdsdiameter. ", BreastDiameter}, HeadingCase{"Id", idColumn},
        HeadingCase{"Trädnr", idColumn}, HeadingCase{"Art", TreeSpecies},
        HeadingCase{"Trädslag", TreeSpecies}, HeadingCase{"Trädart:", TreeSpecies},
        HeadingCase{"Höjdavv, m", HeightDeviation}, HeadingCase{"Höjd avv", HeightDeviation},
        HeadingCase{"Bonitet, m", Site},
        HeadingCase{"Ståndortsindex vid 100 års ålder .......", Site},
        HeadingCase{"Plantering", Plant},
        HeadingCase{"Plantering efter avverkning av trädet?", Plant},
        HeadingCase{"Årsring, mm", RingWidth}, HeadingCase{"ring5", RingWidth},
        HeadingCase{"Årsring efter 5 år ......", RingWidth}, HeadingCase{"Dkvot", DiameterQuotient},
        HeadingCase{"Diameterkvot", DiameterQuotient}, HeadingCase{"Krona, %", CrownShare},
        HeadingCase{"kronst", CrownShare}, HeadingCase{"Kval 1", ButtLogQuality},
        HeadingCase{"kval1", ButtLogQuality}, HeadingCase{"Förstastocken", ButtLogQuality},
        HeadingCase{"Kval 2", SecondLogQuality}, HeadingCase{"akv", SecondLogQuality},
        HeadingCase{"Kval 3", ThirdLogQuality}, HeadingCase{"Tredjestocken", ThirdLogQuality},
        HeadingCase{"Anmärkning", remarkColumn}, HeadingCase{"Anm.", remarkColumn},
        HeadingCase{"anm", remarkColumn}, HeadingCase{"Kommentar", remarkColumn},
        // Other columns of the owner's: carried along.
        HeadingCase{"Plats, avd", otherColumn}, HeadingCase{"X-koordinat", otherColumn},
        HeadingCase{"", otherColumn}, HeadingCase{"beslut", otherColumn},
        HeadingCase{"bästa år", otherColumn},
        // Tree values the program cannot place: refused.
        HeadingCase{"Höjd, m", unknownTreeValue}, HeadingCase{"Kvalitet", unknownTreeValue},
        HeadingCase{"Diam 2", unknownTreeValue}, HeadingCase{"Årsringar", unknownTreeValue},
        HeadingCase{"Kronhöjd", unknownTreeValue}, HeadingCase{"Trädslag 2", unknownTreeValue}));

// The window's own headings name the keys they show.
TEST(Heading, EveryWindowHeadingNamesItsKey) {
    for (int k = 0; k < treeKeyCount; ++k) {
        EXPECT_EQ(columnNamed(QString::fromUtf16(treeKeyInfo(k).title)), k);
        EXPECT_EQ(columnNamed(treeKeyInfo(k).name), k);
    }
}

// The guide's table of headings holds exactly the program's names, each in the row of its value.
TEST(Heading, TheGuideListsTheProgramsNames) {
    QFile guide(QStringLiteral(KVISTEL_SOURCE_DIR "/src/gui/shared/help/hjalp.html"));
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(guide.readAll());
    const qsizetype from = html.indexOf(QStringLiteral("id=\"tblRubriker\""));
    ASSERT_GE(from, 0);
    const QString table = html.mid(from, html.indexOf(QStringLiteral("</table>"), from) - from);
    QSet<QString> inGuide;
    static const QRegularExpression row(QStringLiteral("<tr><td>.*?</td><td>(.*?)</td></tr>"));
    static const QRegularExpression code(QStringLiteral("<code>(.*?)</code>"));
    for (const auto &r : row.globalMatch(table)) {
        int column = otherColumn;
        for (const auto &c : code.globalMatch(r.captured(1))) {
            const QString name =
                c.captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            inGuide.insert(name);
            const int named = columnNamed(name);
            if (column == otherColumn)
                column = named;
            EXPECT_EQ(named, column) << name.toStdString() << " stands in another value's row";
        }
    }
    QSet<QString> inProgram;
    for (const HeadingName &n : headingNames())
        inProgram.insert(n.name.toString());
    EXPECT_EQ(inGuide, inProgram);
}

} // namespace
