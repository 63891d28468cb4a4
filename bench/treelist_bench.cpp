// How long a whole inventory takes on the command line: 100 000 trees read from a list file,
// each valued, and written back with its decision. Also the list file alone, read and written
// without a valuation, and the valuation of one tree of a list.
#include "core/treelist/harvestplan.h"
#include "core/treelist/standwhatif.h"
#include "core/treelist/treelistbatch.h"
#include "core/treelist/treelistcsv.h"

#include <QtConcurrent/QtConcurrentMap>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int inventoryTrees = 100000;

// The sample home directory and a list of `trees` varied trees (species, diameter, site,
// qualities), all of which the valuation can value.
class Inventory {
public:
    explicit Inventory(int trees) {
        for (const char *name : {"trad.sty", "priser_ac.txt"})
            if (!QFile::copy(QStringLiteral(KVISTEL_SAMPLE_DIR) + QLatin1String(name),
                             withSlash() + QLatin1String(name)))
                std::abort();
        QFile list(listPath());
        if (!list.open(QIODevice::WriteOnly))
            std::abort();
        QByteArray text = "id;art;bdm;hojdjust;site;plant;ring5;dkvot;kronst;bkv;akv;tkv\r\n";
        for (int i = 0; i < trees; ++i) {
            text += QStringLiteral("T%1;%2;%3,%4;%5;%6;%7;%8,%9;0,%10;%11;%12;%13;%14\r\n")
                        .arg(i)
                        .arg(QChar(i % 2 ? u'g' : u't'))
                        .arg(14 + i % 40)
                        .arg(i % 10)
                        .arg(i % 5 - 2)
                        .arg(18 + i % 12)
                        .arg(QChar(i % 3 ? u'n' : u'y'))
                        .arg(1 + i % 3)
                        .arg(i % 10)
                        .arg(5 + i % 5)
                        .arg(50 + i % 50)
                        .arg(1 + i % 3)
                        .arg(1 + i % 4)
                        .arg(1 + i % 5)
                        .toLatin1();
        }
        list.write(text);
    }
    QString withSlash() const { return m_dir.path() + QStringLiteral("/"); }
    HomeDirectory directory() const { return HomeDirectory(m_dir.path()); }
    QString listPath() const { return withSlash() + QStringLiteral("trad.csv"); }

private:
    QTemporaryDir m_dir;
};

// The command line's work: read, value every tree on every core, write the results.
void inventoryValued(benchmark::State &state) {
    Inventory inventory(inventoryTrees);
    Expected<TreeListHome> homeRead = loadTreeListHome(inventory.directory());
    if (!homeRead)
        state.SkipWithError("the sample home cannot be read");
    const TreeListHome home = homeRead ? std::move(homeRead).value() : TreeListHome();
    for (auto _ : state) {
        QFile out(inventory.withSlash() + QStringLiteral("ut.csv"));
        out.open(QIODevice::WriteOnly);
        TreeListBatch batch;
        batch.input = inventory.listPath();
        if (!valueTreeListFile(batch, home, out) || batch.faulty != 0)
            state.SkipWithError("the list could not be valued");
        benchmark::DoNotOptimize(batch.trees);
    }
    state.SetItemsProcessed(state.iterations() * inventoryTrees);
}
BENCHMARK(inventoryValued)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime() // the CPU column: all cores together
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The list file alone: every line read, split and written back.
void inventoryReadAndWritten(benchmark::State &state) {
    Inventory inventory(inventoryTrees);
    for (auto _ : state) {
        TreeListReader reader;
        if (!reader.open(inventory.listPath()))
            state.SkipWithError("the list cannot be read");
        QFile out(inventory.withSlash() + QStringLiteral("ut.csv"));
        out.open(QIODevice::WriteOnly);
        QList<TreeListLine> lines;
        reader.read(4096, lines);
        CsvWriter writer(out, reader.dialect());
        writer.writeLine(reader.headings());
        do {
            for (const TreeListLine &l : lines)
                writer.writeLine(l.cells);
        } while (reader.read(4096, lines));
        writer.flush();
    }
    state.SetItemsProcessed(state.iterations() * inventoryTrees);
}
BENCHMARK(inventoryReadAndWritten)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// A stand's harvest plan as the tree list window makes it for an inventory already valued: the
// plan summed, and the stand's what-if (four more valuations of every tree).
void inventoryPlanned(benchmark::State &state) {
    Inventory inventory(inventoryTrees);
    Expected<TreeListHome> homeRead = loadTreeListHome(inventory.directory());
    if (!homeRead)
        state.SkipWithError("the sample home cannot be read");
    const TreeListHome home = homeRead ? std::move(homeRead).value() : TreeListHome();
    TreeListReader reader;
    if (!reader.open(inventory.listPath()))
        state.SkipWithError("the list cannot be read");
    QList<TreeRow> trees;
    QList<TreeListLine> lines;
    for (bool more = true; more;) {
        more = reader.read(4096, lines);
        for (const TreeListLine &l : lines)
            trees.append(l.tree);
    }
    const QList<TreeSummary> summaries = QtConcurrent::blockingMapped(
        trees, [&](const TreeRow &t) { return valueTreeRow(home.base, t, home.prices); });
    for (auto _ : state) {
        HarvestPlan plan;
        for (qsizetype i = 0; i < trees.size(); ++i)
            plan.add(trees[i].id, summaries[i]);
        const QList<StandWhatIf> whatIfs = StandWhatIfs(home, u',').valueAll(trees, summaries);
        benchmark::DoNotOptimize(planStatement(plan, u','));
        benchmark::DoNotOptimize(whatIfs);
    }
    state.SetItemsProcessed(state.iterations() * inventoryTrees);
}
BENCHMARK(inventoryPlanned)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly();

// One tree of a list, from its texts to its decision.
void oneTreeOfAList(benchmark::State &state) {
    Inventory inventory(1);
    Expected<TreeListHome> homeRead = loadTreeListHome(inventory.directory());
    if (!homeRead)
        state.SkipWithError("the sample home cannot be read");
    const TreeListHome home = homeRead ? std::move(homeRead).value() : TreeListHome();
    TreeRow tree;
    const char16_t *values[treeKeyCount] = {u"t",   u"32,5", u"0", u"24", u"n", u"1,5",
                                            u"0,6", u"70",   u"1", u"2",  u"3"};
    for (int k = 0; k < treeKeyCount; ++k) {
        tree.values[std::size_t(k)] = QString::fromUtf16(values[k]);
        tree.given[std::size_t(k)] = true;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(valueTreeRow(home.base, tree, home.prices));
}
BENCHMARK(oneTreeOfAList)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
