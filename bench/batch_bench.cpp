// The command line as users run it: the real `kvistel --batch` (and `--batch --plan`) process on
// 100 000 trees of two kinds, the sample stand (sample/bestand.csv) repeated and varied trees,
// in CPU seconds of all its cores (the child's rusage) and wall seconds, beside the same work in
// this process and the valuation of one tree (valueTree), all in the same run. The ratio
// counter is the process's CPU time per tree over valueTree's for the same trees. Also the
// process's peak memory for 1 000 000 trees.
#include "core/engine/treevaluation.h"
#include "core/treelist/treelist.h"
#include "core/treelist/treelistbatch.h"
#include "core/treelist/treelistcsv.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

constexpr int listTrees = 100000;

enum ListKind { SampleStand, VariedTrees };

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The sample home directory and its tree lists.
class ListHome {
public:
    ListHome() {
        for (const char *name : {"trad.sty", "priser_ac.txt"})
            if (!QFile::copy(QStringLiteral(KVISTEL_SAMPLE_DIR) + QLatin1String(name),
                             withSlash() + QLatin1String(name)))
                std::abort();
        Expected<TreeListHome> read = loadTreeListHome(HomeDirectory(m_dir.path()));
        if (!read)
            std::abort();
        home = std::move(read).value();
    }
    QString withSlash() const { return m_dir.path() + QStringLiteral("/"); }

    // The list of `trees` trees of the kind, written once.
    QString list(ListKind kind, int trees) {
        const QString path = withSlash() + QStringLiteral("%1-%2.csv").arg(int(kind)).arg(trees);
        if (QFile::exists(path))
            return path;
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly))
            std::abort();
        if (kind == SampleStand) {
            QFile stand(QStringLiteral(KVISTEL_SAMPLE_DIR "bestand.csv"));
            if (!stand.open(QIODevice::ReadOnly))
                std::abort();
            QList<QByteArray> lines = stand.readAll().split('\n');
            out.write(lines.takeFirst() + '\n');
            while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
                lines.removeLast();
            for (int i = 0; i < trees; ++i)
                out.write(lines[i % lines.size()] + '\n');
            return path;
        }
        out.write("id;art;bdm;hojdjust;site;plant;ring5;dkvot;kronst;bkv;akv;tkv\r\n");
        for (int i = 0; i < trees; ++i)
            out.write(QStringLiteral("T%1;%2;%3,%4;%5;%6;%7;%8,%9;0,%10;%11;%12;%13;%14\r\n")
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
                          .toLatin1());
        return path;
    }

    // valueTree's CPU time per tree, in seconds, on one core: over all the list's trees, each
    // valued once as the process values it (`allTrees`), or the best of five rounds over its
    // first 2 000 trees. Reading the trees is not timed.
    double valueTreeSeconds(ListKind kind, bool allTrees) {
        TreeListReader reader;
        if (!reader.open(list(kind, listTrees)))
            std::abort();
        QList<TreeListLine> lines;
        std::vector<TreeInputs> inputs;
        auto readSome = [&] {
            inputs.clear();
            if (!reader.read(2000, lines))
                return false;
            for (const TreeListLine &line : lines) {
                TreeInputs t = home.base;
                if (overlayTree(t, line.tree))
                    inputs.push_back(t);
            }
            return true;
        };
        auto valueAll = [&] {
            const double start = threadCpuSeconds();
            for (const TreeInputs &t : inputs)
                benchmark::DoNotOptimize(valueTree(t, home.prices).rows[11].values[NetValue]);
            return threadCpuSeconds() - start;
        };
        if (allTrees) {
            double cpu = 0;
            std::size_t trees = 0;
            while (readSome()) {
                cpu += valueAll();
                trees += inputs.size();
            }
            return cpu / double(trees);
        }
        readSome();
        double best = 1e9;
        for (int round = 0; round < 5; ++round)
            best = std::min(best, valueAll() / double(inputs.size()));
        return best;
    }

    TreeListHome home;

private:
    QTemporaryDir m_dir;
};

ListHome &listHome() {
    static ListHome home;
    return home;
}

struct ProcessRun {
    double cpuSeconds = 0;  // user and system time of all its threads
    double wallSeconds = 0; // from the start until it has ended
    double peakMegabytes = 0;
};

// Starts the program on the list, as a user would, with its output to a file, and waits for it.
// KVISTEL_BENCH_PROGRAM names another build of the program, to compare with it in the same run.
ProcessRun runBatch(const QString &list, bool plan) {
    const QByteArray other = qgetenv("KVISTEL_BENCH_PROGRAM");
    std::vector<QByteArray> args{other.isEmpty() ? QByteArray(KVISTEL_PROGRAM) : other,
                                 "--batch",
                                 QFile::encodeName(list),
                                 "--home",
                                 QFile::encodeName(listHome().withSlash()),
                                 "-o",
                                 QFile::encodeName(listHome().withSlash() + "ut.csv")};
    if (plan)
        args.push_back("--plan");
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    if (posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ) != 0 ||
        wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        std::abort();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&quiet);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime), took.count(),
            double(usage.ru_maxrss) / 1024};
}

// The time is the process's CPU time of all cores; the counters give its wall time, its CPU time
// per tree and that over valueTree's in this process for the same trees.
void batchProcess(benchmark::State &state) {
    const auto kind = ListKind(state.range(0));
    const bool plan = state.range(1) != 0;
    const QString list = listHome().list(kind, listTrees);
    // valueTree is timed after each run of the process, so that both see the same load on a
    // shared machine, on the same trees and in the same way: each of the list's trees once, the
    // mean of the runs. Its best round over 2 000 trees, as the figure was once taken, is
    // given beside it: a best time against the process's mean favours the loop.
    double cpu = 0, wall = 0, peak = 0, valueTreeCpu = 0;
    double best = 1e9;
    for (auto _ : state) {
        const ProcessRun run = runBatch(list, plan);
        state.SetIterationTime(run.cpuSeconds);
        cpu += run.cpuSeconds;
        wall += run.wallSeconds;
        peak = std::max(peak, run.peakMegabytes);
        state.PauseTiming();
        valueTreeCpu += listHome().valueTreeSeconds(kind, true);
        best = std::min(best, listHome().valueTreeSeconds(kind, false));
        state.ResumeTiming();
    }
    const double n = double(state.iterations());
    const double perTree = valueTreeCpu / n;
    state.counters["wall_s"] = wall / n;
    state.counters["cpu_s"] = cpu / n;
    state.counters["cpu_us_per_tree"] = cpu / n / listTrees * 1e6;
    state.counters["valueTree_us"] = perTree * 1e6;
    state.counters["ratio"] = cpu / n / listTrees / perTree;
    state.counters["valueTree_best_us"] = best * 1e6;
    state.counters["ratio_to_best"] = cpu / n / listTrees / best;
    state.counters["peak_MB"] = peak;
}
BENCHMARK(batchProcess)
    ->ArgNames({"list", "plan"})
    ->Args({SampleStand, 0})
    ->Args({SampleStand, 1})
    ->Args({VariedTrees, 0})
    ->Args({VariedTrees, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

// The same work in this process: the list read, valued on every core and written.
void batchInProcess(benchmark::State &state) {
    const auto kind = ListKind(state.range(0));
    const QString list = listHome().list(kind, listTrees);
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        QFile out(listHome().withSlash() + QStringLiteral("ut.csv"));
        out.open(QIODevice::WriteOnly);
        TreeListBatch batch;
        batch.input = list;
        batch.plan = state.range(1) != 0;
        if (!valueTreeListFile(batch, listHome().home, out))
            state.SkipWithError("the list could not be valued");
    }
    const double cpu = processCpuSeconds() - cpuBefore;
    state.counters["cpu_s"] = cpu / double(state.iterations());
    state.counters["cpu_us_per_tree"] = cpu / double(state.iterations()) / listTrees * 1e6;
}
BENCHMARK(batchInProcess)
    ->ArgNames({"list", "plan"})
    ->Args({SampleStand, 0})
    ->Args({SampleStand, 1})
    ->Args({VariedTrees, 0})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime() // all cores together
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly();

// One tree in this process, the sample tree of trad.sty, on the path valueTree takes here.
void valueTreeSample(benchmark::State &state) {
    const TreeListHome &home = listHome().home;
    for (auto _ : state)
        benchmark::DoNotOptimize(valueTree(home.base, home.prices).rows[11].values[NetValue]);
}
BENCHMARK(valueTreeSample)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// The program's peak memory for 1 000 000 sample-stand trees: a list is read, valued and written
// a chunk at a time, so it stays that of 100 000 trees.
void batchProcessMillionTrees(benchmark::State &state) {
    const QString list = listHome().list(SampleStand, 1000000);
    double peak = 0, wall = 0;
    for (auto _ : state) {
        const ProcessRun run = runBatch(list, false);
        state.SetIterationTime(run.cpuSeconds);
        peak = std::max(peak, run.peakMegabytes);
        wall += run.wallSeconds;
    }
    state.counters["peak_MB"] = peak;
    state.counters["wall_s"] = wall / double(state.iterations());
}
BENCHMARK(batchProcessMillionTrees)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
