// A stand's plan in a few harvest entries for a 100 000-tree inventory already valued: the
// trees gathered and the best set of at most four entry years found, the valuation aside.
#include "core/treelist/harvestentries.h"
#include "core/treelist/treelist.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <benchmark/benchmark.h>

namespace {

constexpr int inventoryTrees = 100000;

// Valued trees of many diameters, sites and qualities, repeated to the inventory's size.
QList<TreeYears> valuedInventory() {
    QTemporaryDir dir;
    for (const char *name : {"trad.sty", "priser_ac.txt"})
        if (!QFile::copy(QStringLiteral(KVISTEL_SAMPLE_DIR) + QLatin1String(name),
                         dir.path() + QStringLiteral("/") + QLatin1String(name)))
            std::abort();
    Expected<TreeListHome> homeRead = loadTreeListHome(HomeDirectory(dir.path()));
    if (!homeRead)
        std::abort();
    const TreeListHome home = homeRead ? std::move(homeRead).value() : TreeListHome();
    QList<TreeYears> distinct;
    for (int i = 0; i < 2000; ++i) {
        TreeRow t;
        const QString values[] = {QString(QChar(i % 2 ? u'g' : u't')),
                                  QString::number(14 + i % 40) + QStringLiteral(".5"),
                                  QString::number(18 + i % 12),
                                  QString::number(1 + i % 3),
                                  QString::number(1 + i % 4),
                                  QString::number(1 + i % 5)};
        const int keys[] = {TreeSpecies,    BreastDiameter,   Site,
                            ButtLogQuality, SecondLogQuality, ThirdLogQuality};
        for (std::size_t k = 0; k < std::size(keys); ++k) {
            t.values[std::size_t(keys[k])] = values[k];
            t.given[std::size_t(keys[k])] = true;
        }
        const TreeSummary s = valueTreeRow(home.base, t, home.prices);
        if (s.valued())
            distinct << s.years;
    }
    if (distinct.isEmpty())
        std::abort();
    QList<TreeYears> trees;
    for (int i = 0; i < inventoryTrees; ++i)
        trees << distinct[i % distinct.size()];
    return trees;
}

// At most four entries, 5 000 kr each, at least 20 m3 each: the 794 sets weighed.
void inventoryPlannedInFourEntries(benchmark::State &state) {
    const QList<TreeYears> trees = valuedInventory();
    EntrySettings settings;
    settings.maxEntries = 4;
    settings.costPerEntry = 5000;
    settings.minVolume = 20;
    settings.rate = 0.03;
    for (auto _ : state) {
        EntryPlanner planner;
        for (const TreeYears &t : trees)
            planner.add(t);
        const EntryPlan plan = planner.plan(settings);
        benchmark::DoNotOptimize(entryStatement(plan));
    }
    state.SetItemsProcessed(state.iterations() * inventoryTrees);
}
BENCHMARK(inventoryPlannedInFourEntries)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// A new plan for settings changed in the window: the trees already gathered.
void planForNewSettings(benchmark::State &state) {
    const QList<TreeYears> trees = valuedInventory();
    EntryPlanner planner;
    for (const TreeYears &t : trees)
        planner.add(t);
    EntrySettings settings;
    settings.costPerEntry = 5000;
    settings.minVolume = 20;
    settings.rate = 0.03;
    for (auto _ : state)
        benchmark::DoNotOptimize(planner.plan(settings));
}
BENCHMARK(planForNewSettings)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

// The CPU time of the child processes ended so far, s.
double childrenCpu() {
    rusage r{};
    getrusage(RUSAGE_CHILDREN, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// The command line as a user runs it on a 100 000-tree list: `kvistel --batch LIST --plan`
// with the arguments of the benchmark, in CPU time of all its cores. The plan tree by tree
// against the plan in at most four entries gives what the entries cost beyond the valuation.
void commandLinePlan(benchmark::State &state, QStringList more) {
    static QTemporaryDir dir;
    static const QString list = [] {
        for (const char *name : {"trad.sty", "priser_ac.txt"})
            QFile::copy(QStringLiteral(KVISTEL_SAMPLE_DIR) + QLatin1String(name),
                        dir.path() + QStringLiteral("/") + QLatin1String(name));
        QFile f(dir.path() + QStringLiteral("/lista.csv"));
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        QByteArray text = "id;art;bdm;site;bkv;akv;tkv\r\n";
        for (int i = 0; i < inventoryTrees; ++i)
            text += QStringLiteral("T%1;%2;%3,5;%4;%5;%6;%7\r\n")
                        .arg(i)
                        .arg(QChar(i % 2 ? u'g' : u't'))
                        .arg(14 + i % 40)
                        .arg(18 + i % 12)
                        .arg(1 + i % 3)
                        .arg(1 + i % 4)
                        .arg(1 + i % 5)
                        .toLatin1();
        f.write(text);
        return f.fileName();
    }();
    for (auto _ : state) {
        const double before = childrenCpu();
        QProcess kvistel;
        kvistel.setStandardOutputFile(QProcess::nullDevice());
        kvistel.start(QStringLiteral(KVISTEL_PROGRAM),
                      QStringList{"--batch", list, "--home", dir.path(), "--plan"} + more);
        if (!kvistel.waitForFinished(600000) || kvistel.exitCode() != 0)
            state.SkipWithError("kvistel --batch failed");
        state.SetIterationTime(childrenCpu() - before);
    }
}
BENCHMARK_CAPTURE(commandLinePlan, treeByTree, QStringList{})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(commandLinePlan, fourEntries,
                  QStringList{"--entries", "4", "--entry-cost", "5000", "--min-volume", "20"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
