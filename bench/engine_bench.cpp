// How long one valuation takes: the whole calculation with its files, the valuation of one tree
// as numbers, and the same with the report's text. Each figure is the median of several
// repetitions.
#include "core/engine/report.h"
#include "core/engine/treevaluation.h"
#include "core/files/numberformat.h"
#include "core/parameters/treeinputs.h"
#include "core/results/treecalculation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// A home directory with the sample control file and price list, under the directory named by
// KVISTEL_BENCH_DIR (for instance /dev/shm, to leave the disk's flush time out of the figures),
// or else under the system's temporary directory.
class SampleHome {
public:
    SampleHome() : m_dir(benchBase() + QStringLiteral("/kvistel-bench-XXXXXX")) {
        for (const char *name : {"trad.sty", "priser_ac.txt"})
            if (!QFile::copy(QStringLiteral(KVISTEL_SAMPLE_DIR) + QLatin1String(name),
                             withSlash() + QLatin1String(name)))
                std::abort();
    }
    QString withSlash() const { return m_dir.path() + QStringLiteral("/"); }
    HomeDirectory directory() const { return HomeDirectory(m_dir.path()); }

private:
    static QString benchBase() {
        const QString base = qEnvironmentVariable("KVISTEL_BENCH_DIR");
        return base.isEmpty() ? QDir::tempPath() : base;
    }
    QTemporaryDir m_dir;
};

// The sample tree's inputs and prices, read once.
struct SampleTree {
    SampleTree() {
        Expected<TreeInputs> readInputs = loadTreeInputs(home.directory());
        Expected<PriceTables> readPrices = loadPriceTables(home.directory());
        if (!readInputs || !readPrices)
            std::abort();
        inputs = std::move(readInputs).value();
        prices = std::move(readPrices).value();
    }
    SampleHome home;
    TreeInputs inputs;
    PriceTables prices;
};

// Reading the control file and the price list, twelve harvest years, and saving the report.
void wholeCalculation(benchmark::State &state) {
    SampleHome home;
    TreeCalculation engine(home.directory());
    TreeValuation result;
    for (auto _ : state) {
        const QString message = engine.calculateAndSave(result).message();
        if (!message.isEmpty())
            state.SkipWithError("the calculation stopped");
        benchmark::DoNotOptimize(result.rows[11].values[NetValue]);
    }
}
BENCHMARK(wholeCalculation)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly();

// The pure valuation of one tree: twelve harvest years as numbers, nothing formatted.
void BM_ValueOneTree(benchmark::State &state) {
    const SampleTree tree;
    for (auto _ : state) {
        const TreeValuation result = valueTree(tree.inputs, tree.prices);
        benchmark::DoNotOptimize(result.rows[11].values[NetValue]);
    }
}
BENCHMARK(BM_ValueOneTree)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly();

// The same valuation with the text of its report, as a calculation in the window writes it.
void BM_ValueOneTreeWithReport(benchmark::State &state) {
    const SampleTree tree;
    const QChar separator = localeDecimalSeparator();
    for (auto _ : state) {
        Report report(separator);
        const TreeValuation result = valueTree(tree.inputs, tree.prices, &report);
        benchmark::DoNotOptimize(result.rows[11].values[NetValue]);
        benchmark::DoNotOptimize(report.size());
    }
}
BENCHMARK(BM_ValueOneTreeWithReport)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
