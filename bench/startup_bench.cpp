// How long the user waits for the program: from the start of the process until the main menu is
// painted and the program has ended again, against the same menu window in a plain Qt program
// (plainmenu). Both run on the offscreen platform's laptop screen, each as its own process, the
// two in turn in every iteration, so that whatever else the machine does weighs on both alike.
// The program is started as a user starts it again on a home directory of theirs (a copy of the
// sample, given with --home, its settings kept from one start to the next) and ends after the
// menu's first paint through KVISTEL_END_AFTER_MENU.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

// A home directory copied from the sample, and the settings and runtime directories of the
// programs started on it.
class StartingPlace {
public:
    StartingPlace() {
        if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath(QStringLiteral("home")) ||
            !QDir(m_dir.path()).mkpath(QStringLiteral("config")) ||
            !QDir(m_dir.path()).mkpath(QStringLiteral("runtime")) ||
            !QFile::setPermissions(m_dir.path() + QStringLiteral("/runtime"),
                                   QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            std::abort();
        const QDir sample(QStringLiteral(KVISTEL_SAMPLE_DIR));
        for (const QString &name : sample.entryList(QDir::Files))
            if (!QFile::copy(sample.filePath(name), home() + u'/' + name))
                std::abort();
        for (const QByteArray &variable : environmentOf(m_dir.path()))
            m_environment.push_back(variable);
    }

    QString home() const { return m_dir.path() + QStringLiteral("/home"); }

    // Starts `argv` and waits for it to end; its wall time in seconds.
    double run(std::vector<QByteArray> args) const {
        std::vector<char *> argv;
        for (QByteArray &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<char *> envp;
        for (const QByteArray &v : m_environment)
            envp.push_back(const_cast<char *>(v.constData()));
        envp.push_back(nullptr);

        // What the offscreen platform says about itself is of no interest here.
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), envp.data()) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            std::abort();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        posix_spawn_file_actions_destroy(&quiet);
        return took.count();
    }

    // KVISTEL_BENCH_PROGRAM names another build of the program, to compare a change with the
    // program before it in the same run of the machine.
    double runKvistel() const {
        const QByteArray other = qgetenv("KVISTEL_BENCH_PROGRAM");
        return run({other.isEmpty() ? QByteArray(KVISTEL_PROGRAM) : other, "--home",
                    QFile::encodeName(home())});
    }
    double runPlainMenu() const { return run({PLAIN_MENU_PROGRAM}); }

private:
    static std::vector<QByteArray> environmentOf(const QString &dir) {
        std::vector<QByteArray> variables;
        for (char **e = environ; *e; ++e) {
            const QByteArray v(*e);
            if (!v.startsWith("QT_QPA_PLATFORM=") && !v.startsWith("XDG_CONFIG_HOME=") &&
                !v.startsWith("XDG_RUNTIME_DIR="))
                variables.push_back(v);
        }
        variables.push_back("QT_QPA_PLATFORM=offscreen:configfile=" KVISTEL_BENCH_SCREEN);
        variables.push_back("XDG_CONFIG_HOME=" + QFile::encodeName(dir) + "/config");
        variables.push_back("XDG_RUNTIME_DIR=" + QFile::encodeName(dir) + "/runtime");
        variables.push_back("KVISTEL_END_AFTER_MENU=1");
        return variables;
    }

    QTemporaryDir m_dir;
    std::vector<QByteArray> m_environment;
};

// Every figure in milliseconds, from 15 runs of eight starts each, as their median and their
// least.
void repeated(benchmark::internal::Benchmark *b) {
    b->Unit(benchmark::kMillisecond)
        ->Iterations(8)
        ->Repetitions(15)
        ->ComputeStatistics(
            "min",
            [](const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); })
        ->ReportAggregatesOnly();
}

// The time is kvistel's; the counters give both programs' times and their ratio.
void startUpToMenuPainted(benchmark::State &state) {
    static const StartingPlace place;
    // A user's second start: the home directory and the menu's place already remembered, the
    // program and Qt's libraries read from the disk before.
    static const bool startedBefore = (place.runKvistel(), place.runPlainMenu(), true);
    benchmark::DoNotOptimize(startedBefore);
    double kvistel = 0;
    double plain = 0;
    bool kvistelFirst = true;
    for (auto _ : state) {
        double k = 0;
        if (kvistelFirst)
            k = place.runKvistel();
        plain += place.runPlainMenu();
        if (!kvistelFirst)
            k = place.runKvistel();
        kvistel += k;
        kvistelFirst = !kvistelFirst;
        state.SetIterationTime(k);
    }
    const double n = double(state.iterations());
    state.counters["kvistel_ms"] = 1000 * kvistel / n;
    state.counters["plainqt_ms"] = 1000 * plain / n;
    state.counters["ratio"] = kvistel / plain;
}
BENCHMARK(startUpToMenuPainted)->UseManualTime()->Apply(repeated);

} // namespace

BENCHMARK_MAIN();
