// A stand list on the command line: headed as the window shows it, it is valued as under the
// control file's keys; a list whose headings cannot be read right is refused before anything is
// written.
#include "batch/batch.h"
#include "core/files/cp1252.h"
#include "enginetestsupport.h"

#include <QBuffer>
#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

namespace {

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
