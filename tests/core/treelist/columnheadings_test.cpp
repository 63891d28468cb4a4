// A list's headings are read by what they mean, whoever wrote them: the control file's key, the
// window's heading, the form's caption or a spreadsheet's Swedish word; a heading that only looks
// like a tree value, a second column for one value, or a list without diameters is refused
// rather than valued as copies of the control file's tree.
#include "batch/batch.h"
#include "core/files/cp1252.h"
#include "core/treelist/columnheadings.h"
#include "core/treelist/treelistcsv.h"
#include "enginetestsupport.h"

#include <QBuffer>
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

QByteArray sixtyTrees() {
    QFile f(QStringLiteral(KVISTEL_SOURCE_DIR "/tests/core/treelist/data/bestand-60.csv"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Answer {
    int status = -1;
    QByteArray out, err;
};

Answer batch(const TempHome &home, const QString &list, const QStringList &more = {}) {
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Answer a;
    a.status = runBatch(
        QStringList{"kvistel", "--batch", home.path(list), "--home", home.withSlash()} + more, out,
        err);
    a.out = out.data();
    a.err = err.data();
    return a;
}

QByteArray withoutFirstLine(const QByteArray &bytes) {
    return bytes.mid(bytes.indexOf("\r\n") + 2);
}

// A stand headed as the window shows it is valued exactly as the same stand headed by the
// control file's keys, tree by tree and as a plan: no tree becomes the control file's tree.
TEST(StandList, UnderWindowHeadingsIsValuedAsUnderKeys) {
    const QByteArray windowHeaded = sixtyTrees();
    ASSERT_FALSE(windowHeaded.isEmpty());
    QByteArray keyHeaded = windowHeaded;
    keyHeaded.replace(0, keyHeaded.indexOf("\r\n"),
                      "id;art;bdm;hojdjust;ring5;dkvot;kronst;bkv;akv;tkv;anm");
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("fonster.csv", windowHeaded);
    home.write("nycklar.csv", keyHeaded);
    home.write("namngiven.csv", "Fastighet;Storskogen 1:4\r\nAvdelning;12\r\n" + windowHeaded);

    const Answer byWindow = batch(home, "fonster.csv");
    const Answer byKeys = batch(home, "nycklar.csv");
    EXPECT_EQ(byWindow.status, 1) << byWindow.err.toStdString(); // the oak cannot be valued
    EXPECT_EQ(withoutFirstLine(byWindow.out), withoutFirstLine(byKeys.out));
    // The lines naming the stand before the heading are not trees.
    EXPECT_EQ(batch(home, "namngiven.csv").out, byWindow.out);
    // Sixty trees, and more than a handful of different answers.
    const QList<QByteArray> lines = withoutFirstLine(byWindow.out).split('\n');
    QSet<QByteArray> summaries;
    for (const QByteArray &l : lines)
        summaries.insert(l.mid(l.lastIndexOf(';', l.lastIndexOf(';') - 1)));
    EXPECT_EQ(lines.size(), 61); // and the empty rest after the last CR LF
    EXPECT_GT(summaries.size(), 20);

    const Answer planByWindow = batch(home, "fonster.csv", {"--plan"});
    const Answer planByKeys = batch(home, "nycklar.csv", {"--plan"});
    EXPECT_EQ(planByWindow.out, planByKeys.out);
    const QString plan = decodeCp1252(planByWindow.out);
    // The oak is named where the totals stand and in the section of trees left out.
    EXPECT_TRUE(plan.contains(QStringLiteral("1 träd kunde inte värderas och ingår inte i "
                                             "summorna: 22.")))
        << plan.toStdString();
    EXPECT_TRUE(plan.contains(QStringLiteral("\r\nTräd som inte kunde värderas (1)\r\nid;fel\r\n"
                                             "22;\"art: Okänd trädart")))
        << plan.toStdString();
}

struct RefusedCase {
    const char *name;
    const char *list;
    const char *says; // in the message
};

class RefusedList : public ::testing::TestWithParam<RefusedCase> {};

// On the command line a list that cannot be read right is status 2 with its reason, before
// anything is written.
TEST_P(RefusedList, StopsTheCommandLineWithTheHeadingNamed) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv", encodeCp1252(QString::fromUtf8(GetParam().list)));
    const Answer a = batch(home, "lista.csv");
    EXPECT_EQ(a.status, 2);
    EXPECT_TRUE(a.out.isEmpty());
    const QString said = QString::fromLocal8Bit(a.err);
    EXPECT_TRUE(said.contains(QString::fromUtf8(GetParam().says))) << said.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Headings, RefusedList,
    ::testing::Values(
        RefusedCase{"NoDiameter", "Id;Art;Höjd avv;Kval 1\r\n1;t;0;2\r\n",
                    "ingen kolumn för trädens diameter, och utan den kan träden inte värderas. "
                    "Den första raden har rubrikerna \"Id\", \"Art\", \"Höjd avv\", \"Kval 1\". "
                    "Det behövs en kolumn \"Diam, cm\""},
        RefusedCase{"HeightItself", "Id;Diam, cm;Höjd, m\r\n1;30;22\r\n", "Kolumnen \"Höjd, m\""},
        RefusedCase{"TwoForTheDiameter", "Id;bdm;Diameter (cm)\r\n1;30;31\r\n",
                    "Kolumnerna \"bdm\" och \"Diameter (cm)\""},
        RefusedCase{"TwoRemarks", "Id;bdm;Anm;Kommentar\r\n1;30;a;b\r\n",
                    "gäller båda anmärkningen"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
