// The tree list window with 100 000 trees (the sample stand repeated), as a user works with it,
// against what the command line needs for the same file in this same program: "Öppna" against
// --batch's reading of the list, "Värdera" against --batch's valuation of its trees on every
// core. Beside it the longest the window stays unanswered while it values (the largest gap
// between two ticks of a 5 ms timer), how long "Avbryt" takes to stop the valuation, sorting by
// each column (CPU time of the window's thread), how long "Spara..." takes to open its dialog
// while the stand's what-if runs, and the window's peak memory. The comparisons are in CPU time
// of every core, which other work on a shared machine does not move; wall time beside them.
// Run on the offscreen platform: build-bench/bench/treelistwindow_bench --benchmark_repetitions=3
#include "core/treelist/chunkedrun.h"
#include "core/treelist/treelistcsv.h"
#include "gui/treelist/harvestplanview.h"
#include "gui/treelist/treelistmodel.h"
#include "gui/treelist/treelistwindow.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <memory>
#include <vector>

namespace {

constexpr int standTrees = 100000;
constexpr int openRounds = 9;
constexpr int valueRounds = 3;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

class NoHub : public WindowHub {
public:
    void open(Window) override {}
    void calculate() override {}
};

// The sample home directory with the sample stand repeated to 100 000 trees.
class RepeatedStand {
public:
    RepeatedStand() {
        for (const char *name : {"trad.sty", "priser_ac.txt"})
            if (!QFile::copy(QStringLiteral(KVISTEL_SAMPLE_DIR) + QLatin1String(name),
                             withSlash() + QLatin1String(name)))
                std::abort();
        QFile sample(QStringLiteral(KVISTEL_SAMPLE_DIR "bestand.csv"));
        if (!sample.open(QIODevice::ReadOnly))
            std::abort();
        QList<QByteArray> lines = sample.readAll().split('\n');
        QByteArray text = lines.takeFirst() + '\n';
        lines.removeIf([](const QByteArray &l) { return l.trimmed().isEmpty(); });
        for (int i = 0; i < standTrees; ++i)
            text += QByteArray::number(i / lines.size()) + '-' + lines[i % lines.size()] + '\n';
        QFile list(listPath());
        if (!list.open(QIODevice::WriteOnly) || list.write(text) != text.size())
            std::abort();
    }
    QString withSlash() const { return m_dir.path() + QStringLiteral("/"); }
    HomeDirectory directory() const { return HomeDirectory(m_dir.path()); }
    QString listPath() const { return withSlash() + QStringLiteral("bestand.csv"); }

private:
    QTemporaryDir m_dir;
};

double secondsOf(const QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e9;
}

// CPU seconds of the whole process (every core) or of this thread alone: figures a machine shared
// with other work does not move.
double cpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
double processCpu() {
    return cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
}
double threadCpu() {
    return cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

// The list read line by line into trees, as the window's valuation gets them.
std::vector<TreeRow> readAsBatch(const QString &path) {
    TreeListReader reader;
    if (!reader.open(path))
        std::abort();
    std::vector<TreeRow> trees;
    QList<TreeListLine> lines;
    for (bool more = true; more;) {
        more = reader.read(4096, lines);
        for (const TreeListLine &l : lines)
            trees.push_back(l.tree);
    }
    return trees;
}

// The command line's valuation of the list's trees on every core, read first: wall and CPU
// seconds of the valuation alone.
std::pair<double, double> batchValuation(const QString &path, const TreeListHome &home) {
    const std::vector<TreeRow> trees = readAsBatch(path);
    std::vector<TreeSummary> summaries(trees.size());
    QElapsedTimer t;
    t.start();
    const double cpu = processCpu();
    ChunkedRun::runAndWait(qsizetype(trees.size()), 256,
                           [&](qsizetype, qsizetype begin, qsizetype end) {
                               for (qsizetype i = begin; i < end; ++i)
                                   summaries[std::size_t(i)] =
                                       valueTreeRow(home.base, trees[std::size_t(i)], home.prices);
                           });
    return {secondsOf(t), processCpu() - cpu};
}

// How --batch itself reads: chunks of lines whose trees are seen in place, without a text of
// their own for each cell.
qsizetype readInChunks(const QString &path) {
    TreeListReader reader;
    reader.skipStamp();
    if (!reader.open(path))
        std::abort();
    ListChunk chunk;
    ChunkTree tree;
    qsizetype given = 0;
    while (reader.read(4096, chunk))
        for (qsizetype i = 0; i < chunk.size(); ++i) {
            reader.treeOf(chunk, i, tree);
            given += tree.texts.given[BreastDiameter] ? 1 : 0;
        }
    return given;
}

// The longest time between two ticks of a timer in the window's thread, and the most CPU time
// that thread spent between two ticks: the part of a gap that is the window's own work rather
// than other programs on the machine.
class GapMeter {
public:
    GapMeter() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_largest = std::max(m_largest, m_since.restart());
            const double cpu = threadCpu();
            m_largestCpu = std::max(m_largestCpu, cpu - m_cpu);
            m_cpu = cpu;
        });
        m_since.start();
        m_cpu = threadCpu();
        m_timer.start();
    }
    qint64 largestMs() const { return m_largest; }
    double largestCpuMs() const { return m_largestCpu * 1000; }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_largest = 0;
    double m_cpu = 0;
    double m_largestCpu = 0;
};

// The peak starts again from what the program holds now (Linux, glibc).
void forgetPeakMemory() {
    // What was freed goes back to the system first, so that the peak starts from what is held.
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

qint64 peakMemoryKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

void waitFor(QSignalSpy &spy) {
    if (spy.count() == 0 && !spy.wait(600000))
        std::abort();
}

void treeListWindowAt100000Trees(benchmark::State &state) {
    RepeatedStand stand;
    Expected<TreeListHome> homeRead = loadTreeListHome(stand.directory());
    if (!homeRead)
        std::abort();
    const TreeListHome home = homeRead ? std::move(homeRead).value() : TreeListHome();
    for (auto _ : state) {
        // The command line's reading into trees, in this process.
        QElapsedTimer t;
        t.start();
        double cpu = processCpu();
        benchmark::DoNotOptimize(readAsBatch(stand.listPath()));
        const double batchRead = secondsOf(t);
        const double batchReadCpu = processCpu() - cpu;
        forgetPeakMemory();

        // "Öppna" in a new window, in rounds each right after the command line's own reading of
        // the file, so that a moment the shared machine runs slower falls on both: the medians.
        NoHub hub;
        std::unique_ptr<TreeListWindow> window;
        std::vector<double> chunkReads, opens, openCpus, openRatios;
        for (int round = 0; round < openRounds; ++round) {
            window.reset();
            cpu = processCpu();
            benchmark::DoNotOptimize(readInChunks(stand.listPath()));
            chunkReads.push_back(processCpu() - cpu);
            window = std::make_unique<TreeListWindow>(hub, stand.directory());
            window->showWindow();
            QApplication::processEvents();
            t.restart();
            cpu = processCpu();
            if (!window->openList(stand.listPath()))
                std::abort();
            QApplication::processEvents();
            opens.push_back(secondsOf(t));
            openCpus.push_back(processCpu() - cpu);
            openRatios.push_back(openCpus.back() / chunkReads.back());
        }
        TreeListWindow &w = *window;
        const double chunkReadCpu = median(chunkReads);
        const double open = median(opens);
        const double openCpu = median(openCpus);

        // "Avbryt" a moment into a valuation.
        {
            QSignalSpy done(&w, &TreeListWindow::valuationDone);
            w.findChild<QPushButton *>("btnVardera")->click();
            QElapsedTimer stopped;
            QTimer::singleShot(300, &w, [&] {
                stopped.start();
                if (auto *progress = w.findChild<QProgressDialog *>("dlgVarderar"))
                    if (auto *avbryt = progress->findChild<QPushButton *>())
                        avbryt->click();
            });
            waitFor(done);
            state.counters["stop_ms"] = double(stopped.elapsed());
        }

        // "Värdera" to its end in rounds, each right after the command line's valuation of the
        // same trees in this process, so that a moment the shared machine runs slower falls on
        // both: the medians. Between rounds the stand's what-if of the round before is stopped,
        // as it would run on beside the next. How long the window went unanswered: the longest.
        std::vector<double> batchValues, batchValueCpus, values, valueCpus, valueRatios;
        qint64 largestGap = 0;
        double largestGapCpu = 0;
        for (int round = 0; round < valueRounds; ++round) {
            if (round > 0) {
                auto *plan = w.findChild<HarvestPlanView *>();
                QSignalSpy whatIfDone(plan, &HarvestPlanView::whatIfDone);
                if (auto *stop = w.findChild<QPushButton *>("btnAvbrytKanslighet");
                    stop && stop->isVisible()) {
                    stop->click();
                    waitFor(whatIfDone);
                }
            }
            const auto [batchValue, batchValueCpu] = batchValuation(stand.listPath(), home);
            batchValues.push_back(batchValue);
            batchValueCpus.push_back(batchValueCpu);
            // The window's peak memory from its last valuation on, without the command line's
            // trees of the rounds (freed, but counted in the peak).
            if (round == valueRounds - 1)
                forgetPeakMemory();
            QSignalSpy done(&w, &TreeListWindow::valuationDone);
            t.restart();
            cpu = processCpu();
            {
                GapMeter gaps;
                w.findChild<QPushButton *>("btnVardera")->click();
                waitFor(done);
                largestGap = std::max(largestGap, gaps.largestMs());
                largestGapCpu = std::max(largestGapCpu, gaps.largestCpuMs());
            }
            values.push_back(secondsOf(t));
            valueCpus.push_back(processCpu() - cpu);
            valueRatios.push_back(valueCpus.back() / batchValueCpus.back());
        }
        const double batchValue = median(batchValues);
        const double batchValueCpu = median(batchValueCpus);
        const double value = median(values);
        const double valueCpu = median(valueCpus);

        // "Spara..." while the stand's what-if runs: the time until its dialog is up.
        QElapsedTimer saveAsked;
        double saveDialog = -1;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                dialog && dialog->isVisible() && saveDialog < 0) {
                saveDialog = double(saveAsked.nsecsElapsed()) / 1e6;
                dialog->reject();
            }
        });
        poll.start();
        saveAsked.start();
        w.findChild<QPushButton *>("btnSpara")->click();
        poll.stop();

        // Sorting by every column, each way the user clicks it.
        double slowestSort = 0;
        int slowestColumn = -1;
        QTableView *view = w.view();
        for (int c = 0; c < view->model()->columnCount(); ++c) {
            const double sortCpu = threadCpu();
            view->sortByColumn(c, Qt::DescendingOrder);
            QApplication::processEvents();
            if (threadCpu() - sortCpu > slowestSort) {
                slowestSort = threadCpu() - sortCpu;
                slowestColumn = c;
            }
        }

        state.counters["batchRead_s"] = batchRead;
        state.counters["batchReadCpu_s"] = batchReadCpu;
        state.counters["open_s"] = open;
        state.counters["openCpu_s"] = openCpu;
        state.counters["openVsBatchCpu"] = openCpu / batchReadCpu;
        // Against the command line's own reading, which makes no TreeRow.
        state.counters["chunkReadCpu_s"] = chunkReadCpu;
        state.counters["openVsChunkReadCpu"] = median(openRatios);
        state.counters["batchValue_s"] = batchValue;
        state.counters["batchValueCpu_s"] = batchValueCpu;
        state.counters["value_s"] = value;
        state.counters["valueCpu_s"] = valueCpu;
        state.counters["valueVsBatchCpu"] = median(valueRatios);
        state.counters["largestGap_ms"] = double(largestGap);
        state.counters["largestGapCpu_ms"] = largestGapCpu;
        state.counters["saveDialog_ms"] = saveDialog;
        state.counters["slowestSortCpu_ms"] = slowestSort * 1000;
        state.counters["slowestSortColumn"] = slowestColumn;
        state.counters["peakMemory_MB"] = double(peakMemoryKiB()) / 1024;
    }
}
BENCHMARK(treeListWindowAt100000Trees)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KVISTEL_BENCH_SCREEN);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
