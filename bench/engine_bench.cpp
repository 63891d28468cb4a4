// How long one valuation takes: the whole calculation with its files, and the twelve harvest
// years alone. Each figure is the median of several repetitions.
#include "engine.h"
#include "grid.h"
#include "numberformat.h"
#include "report.h"
#include "valuation.h"

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
                             sokvag() + QLatin1String(name)))
                std::abort();
    }
    QString sokvag() const { return m_dir.path() + QStringLiteral("/"); }

private:
    static QString benchBase() {
        const QString base = qEnvironmentVariable("KVISTEL_BENCH_DIR");
        return base.isEmpty() ? QDir::tempPath() : base;
    }
    QTemporaryDir m_dir;
};

// Reading the control file and the price list, twelve harvest years, and saving the report.
void wholeCalculation(benchmark::State &state) {
    SampleHome home;
    Engine engine(home.sokvag());
    MemoryGrid grid(13, 18);
    for (auto _ : state) {
        const QString message = engine.berakna(grid);
        if (!message.isEmpty())
            state.SkipWithError("the calculation stopped");
        benchmark::DoNotOptimize(grid.cell(12, 3));
    }
}
BENCHMARK(wholeCalculation)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly();

// The twelve harvest years with their report lines and grid rows, from inputs already loaded.
void twelvePasses(benchmark::State &state) {
    SampleHome home;
    Engine engine(home.sokvag());
    if (!engine.load_param().isEmpty() || !engine.read_pricelist().isEmpty())
        state.SkipWithError("the sample files cannot be read");
    const EngineState loaded = engine.state();
    const QChar separator = localeDecimalSeparator();
    MemoryGrid grid(13, 18);
    for (auto _ : state) {
        EngineState s = loaded;
        Report report(separator);
        Valuation(s, report, &grid, separator).run();
        benchmark::DoNotOptimize(report.size());
    }
}
BENCHMARK(twelvePasses)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
