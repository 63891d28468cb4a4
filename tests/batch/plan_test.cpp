// A stand's harvest plan on the command line: the sums of each tree's figures in its own best
// year, the owner's marks kept, and the settings it cannot use refused before anything is
// written.
#include "batch/batch.h"
#include "core/files/cp1252.h"
#include "core/files/textfile.h"
#include "core/treelist/harvestplan.h"
#include "core/treelist/treelistcsv.h"
#include "enginetestsupport.h"

#include <QBuffer>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>

namespace {

struct BatchRun {
    int status = 0;
    QStringList lines;
};

BatchRun batch(const TempHome &home, const QStringList &switches) {
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    BatchRun r;
    r.status = runBatch(
        QStringList{"kvistel", "--batch", home.path("lista.csv"), "--home", home.withSlash()} +
            switches,
        out, err);
    r.lines = splitLines(decodeCp1252(out.data()));
    while (!r.lines.isEmpty() && r.lines.last().isEmpty())
        r.lines.removeLast();
    return r;
}

double number(const QString &cell) {
    return QString(cell).replace(u',', u'.').toDouble();
}

// Trees whose best years differ (now, later, much later) and a birch, which has no height model.
TEST(HarvestPlan, SumsEachTreesFiguresInItsBestYearAsTheListGivesThem) {
    TempHome home;
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv",
               encodeCp1252(u"id;art;bdm;site\r\n1;t;8;24\r\n2;t;32;24\r\n3;g;40;26\r\n"
                            "4;t;45;24\r\nB;b;30;24\r\n6;g;22;28\r\n7;t;46;24\r\n"));
    const BatchRun plain = batch(home, {});
    const BatchRun full = batch(home, {"--full"});
    const BatchRun plan = batch(home, {"--plan"});
    EXPECT_EQ(plan.status, 1); // the birch
    ASSERT_EQ(plain.lines.size(), 8);

    // By hand: each tree's best year from the list, its figures that year from --full.
    const qsizetype bestColumn =
        splitCsvLine(plain.lines[0], u';').indexOf(QStringLiteral("bästa år"));
    std::map<int, std::array<double, 4>> expected; // year: trees, volume, net, present value
    std::array<double, 4> total{};
    for (const QString &line : plain.lines.mid(1)) {
        const QStringList cells = splitCsvLine(line, u';');
        if (cells[bestColumn].isEmpty())
            continue;
        for (const QString &row : full.lines) {
            const QStringList f = splitCsvLine(row, u';');
            if (f[0] != cells[0] || f[1] != cells[bestColumn])
                continue;
            const int year = f[1].toInt();
            const std::array<double, 4> tree{1, number(f[2 + MerchVolume]), number(f[2 + NetValue]),
                                             year == 0 ? number(f[2 + NetValue])
                                                       : number(f[2 + PresentValue])};
            for (std::size_t i = 0; i < 4; ++i) {
                expected[year][i] += tree[i];
                total[i] += tree[i];
            }
        }
    }
    EXPECT_GE(expected.size(), 3u);
    EXPECT_EQ(total[0], 6);

    // The years, "totalt", the comparison, the birch counted and named, then its own section.
    ASSERT_EQ(plan.lines.size(), qsizetype(expected.size()) + 8);
    EXPECT_EQ(plan.lines[0], QStringLiteral("år;träd;volym m3;netto kr;nuvärde kr"));
    auto expectRow = [](const QString &line, const QString &first,
                        const std::array<double, 4> &sums) {
        const QStringList cells = splitCsvLine(line, u';');
        ASSERT_EQ(cells.size(), 5) << line;
        EXPECT_EQ(cells[0], first);
        EXPECT_EQ(cells[1].toInt(), int(sums[0])) << line;
        // The list rounds each tree's figures; the plan sums the exact ones.
        EXPECT_NEAR(number(cells[2]), sums[1], 0.005 * sums[0] + 0.005) << line;
        EXPECT_NEAR(number(cells[3]), sums[2], 0.5 * sums[0] + 0.5) << line;
        EXPECT_NEAR(number(cells[4]), sums[3], 0.5 * sums[0] + 0.5) << line;
    };
    qsizetype at = 1;
    for (const auto &[year, sums] : expected)
        expectRow(plan.lines[at++], QString::number(year), sums);
    expectRow(plan.lines[at++], QStringLiteral("totalt"), total);
    EXPECT_TRUE(plan.lines[at].startsWith(QStringLiteral("Hela beståndet: nuvärde ")))
        << plan.lines[at];
    EXPECT_EQ(
        plan.lines.mid(at + 1, 4),
        (QStringList{QStringLiteral("1 träd kunde inte värderas och ingår inte i summorna: B."), "",
                     QStringLiteral("Träd som inte kunde värderas (1)"), "id;fel"}));
    EXPECT_TRUE(plan.lines.last().startsWith("B;")) << plan.lines.last();
}

} // namespace

namespace {

struct BatchAnswer {
    int status = -1;
    QStringList lines;
    QString errors;
};

BatchAnswer planBatch(const TempHome &home, const QStringList &switches) {
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    BatchAnswer a;
    a.status = runBatch(
        QStringList{"kvistel", "--batch", home.path("lista.csv"), "--home", home.withSlash()} +
            switches,
        out, err);
    a.lines = splitLines(decodeCp1252(out.data()));
    while (!a.lines.isEmpty() && a.lines.last().isEmpty())
        a.lines.removeLast();
    a.errors = QString::fromLocal8Bit(err.data());
    return a;
}

void writeStand(const TempHome &home) {
    home.writeLines("trad.sty", controlWith({}));
    home.write("priser_ac.txt", samplePriceList());
    home.write("lista.csv",
               encodeCp1252(u"id;bdm;site;åtgärd;Anm\r\n1;8;24;;\r\n2;32;24;lämnas;fröträd\r\n"
                            "3;40;26;;\r\n4;45;24;Avverkas;rotröta\r\n5;22;28;;\r\n6;46;24;;\r\n"
                            "7;30;24; ;\r\n"));
}

} // namespace

// A setting the plan cannot use is refused before anything is written, naming the option and
// what to write.
TEST(HarvestEntries, CommandLineRefusesSettingsItCannotUse) {
    TempHome home;
    writeStand(home);
    const QList<std::pair<QStringList, QString>> cases{
        {{"--plan", "--entries", "5"}, "--entries: Antalet avverkningstillfällen"},
        {{"--plan", "--entries", "0"}, "--entries:"},
        {{"--plan", "--entries", "2,5"}, "--entries:"},
        {{"--plan", "--entries", "två"}, "--entries:"},
        {{"--plan", "--entry-years", "0,35"}, "--entry-years: Avverkningsåren"},
        {{"--plan", "--entry-years", "30,30"}, "--entry-years:"},
        {{"--plan", "--entry-years", "120"}, "--entry-years:"},
        {{"--plan", "--entry-years", ""}, "--entry-years:"},
        {{"--plan", "--entry-cost", "-1"}, "--entry-cost: Kostnaden per avverkningstillfälle"},
        {{"--plan", "--entry-cost", "nan"}, "--entry-cost:"},
        {{"--plan", "--entry-cost", "1e5"}, "--entry-cost:"},
        {{"--plan", "--min-volume", "2000000"}, "--min-volume: Minsta volym per tillfälle"},
        {{"--plan", "--entries", "2", "--entry-years", "0,30"}, "antingen --entries"},
        {{"--plan", "--entries", "2", "--entries", "3"}, "mer än en gång"},
        {{"--entries", "2"}, "lägg till --plan"},
        {{"--full", "--entry-cost", "100"}, "lägg till --plan"},
    };
    for (const auto &[switches, message] : cases) {
        const BatchAnswer a = planBatch(home, switches);
        EXPECT_EQ(a.status, 2) << switches.join(u' ');
        EXPECT_TRUE(a.errors.contains(message)) << a.errors;
        EXPECT_TRUE(a.lines.isEmpty()) << switches.join(u' ');
    }
    // A decimal comma or point is a number in any locale.
    for (const char *cost : {"2500,5", "2500.5"})
        EXPECT_EQ(planBatch(home, {"--plan", "--entry-cost", cost}).status, 0) << cost;
}

// The owner's column "åtgärd" counts in the plan: the tree left stands, the tree to cut goes
// now; the sentence gives the table's figures; an unknown mark leaves the tree out.
TEST(HarvestEntries, CommandLinePlanKeepsTheOwnersMarks) {
    TempHome home;
    writeStand(home);
    const BatchAnswer a = planBatch(home, {"--plan", "--entries", "2", "--entry-cost", "1000,5"});
    ASSERT_EQ(a.status, 0) << a.errors;
    ASSERT_GE(a.lines.size(), 5);
    EXPECT_EQ(a.lines[0], "år;träd;volym m3;netto kr;kostnad kr;nuvärde kr");
    const qsizetype total = a.lines.indexOf(QRegularExpression("^totalt;.*"));
    ASSERT_GT(total, 1);
    EXPECT_TRUE(a.lines[1].startsWith("0;")); // the tree marked "avverkas"
    const QStringList totals = a.lines[total].split(u';');
    EXPECT_EQ(totals[1], "6"); // every tree but the one left
    EXPECT_EQ(totals[4], "2001");
    // Below the total, the marked trees counted apart: the one cut (its share of the first
    // entry) and the one left, with what they hold now; then the settings and the statement.
    EXPECT_TRUE(a.lines[total + 1].startsWith("varav märkta;1;")) << a.lines[total + 1];
    EXPECT_TRUE(a.lines[total + 2].startsWith("märkta lämnas;1;")) << a.lines[total + 2];
    EXPECT_TRUE(a.lines[total + 2].endsWith(";;")) << a.lines[total + 2];
    const QString statement = a.lines[total + 4];
    EXPECT_TRUE(statement.contains(
        QStringLiteral("ger nuvärdet %1 kr").arg(groupedKronor(totals[5].toDouble()))))
        << statement;
    EXPECT_TRUE(statement.contains("1 träd lämnas och 1 träd avverkas nu")) << statement;

    // Without entry settings the marks still count, every other tree in its own best year.
    const BatchAnswer marked = planBatch(home, {"--plan"});
    ASSERT_EQ(marked.status, 0);
    EXPECT_EQ(marked.lines[0], a.lines[0]);

    home.write("lista.csv", encodeCp1252(u"id;bdm;åtgärd\r\n1;30;fälls\r\n2;30;\r\n"));
    const BatchAnswer wrong = planBatch(home, {"--plan"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_TRUE(wrong.lines.join(u'\n').contains(
        QStringLiteral("Åtgärden \"\"fälls\"\" på rad 2 är okänd")))
        << wrong.lines.join(u'\n').toStdString();
}
