// How long the user waits for the result window: from the calculation's start until the window
// with its twelve harvest years is painted, against what Qt itself needs to put a plain table
// window of the same size and headings on screen; and what the whole calculation costs with the
// chart and the what-if table that follow. Run on the offscreen platform.
#include "core/results/resultmodel.h"
#include "gui/result/resultgrid.h"
#include "gui/result/resultwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

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
    // Another tree: the sample tree's diameter at breast height set to `cm`.
    void measureTree(int cm) {
        QFile file(withSlash() + QLatin1String("trad.sty"));
        if (!file.open(QIODevice::ReadWrite))
            std::abort();
        QByteArray bytes = file.readAll();
        const qsizetype at = bytes.indexOf("bdm:/") + 5;
        bytes.replace(at, bytes.indexOf('/', at) - at, QByteArray::number(cm));
        file.resize(0);
        file.write(bytes);
    }

private:
    static QString benchBase() {
        const QString base = qEnvironmentVariable("KVISTEL_BENCH_DIR");
        return base.isEmpty() ? QDir::tempPath() : base;
    }
    QTemporaryDir m_dir;
};

// The result window has nowhere to go from here.
class NoHub : public WindowHub {
public:
    void open(Window) override {}
    void calculate() override {}
};

// The texts a plain table shows: those of the sample tree's calculation.
QStandardItemModel *plainModel(QObject *parent) {
    static const TreeValuation sample = [] {
        SampleHome home;
        TreeInputs inputs;
        PriceTables prices;
        Expected<TreeInputs> readInputs = loadTreeInputs(home.directory());
        Expected<PriceTables> readPrices = loadPriceTables(home.directory());
        if (!readInputs || !readPrices)
            std::abort();
        inputs = std::move(readInputs).value();
        prices = std::move(readPrices).value();
        return valueTree(inputs, prices);
    }();
    ResultModel texts;
    texts.setValuation(sample);
    auto *model = new QStandardItemModel(harvestYearCount, resultColumnCount, parent);
    for (int c = 0; c < resultColumnCount; ++c)
        model->setHorizontalHeaderItem(c, new QStandardItem(ResultModel::columnHeading(c)));
    for (int r = 0; r < harvestYearCount; ++r) {
        model->setVerticalHeaderItem(r, new QStandardItem(QString::number(10 * r)));
        for (int c = 0; c < resultColumnCount; ++c)
            model->setItem(r, c, new QStandardItem(texts.text(r, c)));
    }
    return model;
}

// Every figure in milliseconds, from 15 runs, as their median and their least.
void repeated(benchmark::internal::Benchmark *b) {
    b->Unit(benchmark::kMillisecond)
        ->Repetitions(15)
        ->ComputeStatistics(
            "min",
            [](const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); })
        ->ReportAggregatesOnly();
}

// Qt alone: a window with a table of 13 by 18 cells, the result grid's headings wrapped, shown
// and painted.
void plainTableWindow(benchmark::State &state) {
    for (auto _ : state) {
        QWidget window;
        auto *view = new QTableView(&window);
        view->setWordWrap(true);
        view->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter |
                                                      Qt::Alignment(Qt::TextWordWrap));
        view->setModel(plainModel(view));
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(view);
        window.resize(1300, 600);
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(view->horizontalHeader()->height());
    }
}
BENCHMARK(plainTableWindow)->Apply(repeated);

// CPU time of this thread, as the other figures are: wall time on a shared machine says more
// about the other programs than about this one.
double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Notes when the window is on screen with its grid: the grid is painted, and the window's next
// queued call (the chart and the what-if table that follow) only comes once that painting is
// done and on screen.
class GridShown : public QObject {
public:
    GridShown(QWidget *window, QWidget *gridViewport) : m_window(window) {
        window->installEventFilter(this);
        gridViewport->installEventFilter(this);
    }
    bool painted = false;
    double at = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched != m_window && event->type() == QEvent::Paint)
            painted = true;
        else if (watched == m_window && painted && at == 0 && event->type() == QEvent::MetaCall)
            at = threadSeconds();
        return false;
    }

private:
    QWidget *m_window;
};

// Beräkna pressed until the window with the new rows in its grid is painted: what the user
// waits for. The next tree is another tree than the one before it. The window was made while
// the program was idle, as the main menu does once it is on screen. The chart and the what-if table
// that follow are not counted here.
void calculateUntilGridPainted(benchmark::State &state, bool firstTime) {
    SampleHome home;
    NoHub hub;
    for (auto _ : state) {
        auto window = std::make_unique<ResultWindow>(hub, home.directory());
        window->prepare();
        QApplication::processEvents(); // the idle time in which the menu prepares it
        if (!firstTime) {
            home.measureTree(32);
            window->calculateAndSave();
            // The chart and the what-if table follow while the user reads the result.
            const auto *chart = window->findChild<QWidget *>(QStringLiteral("chtResultat"));
            while (!chart->updatesEnabled())
                QApplication::processEvents();
            QApplication::processEvents();
            window->hide();
            // The user looks at the result and measures the next tree: what the window had
            // left to do is done meanwhile.
            for (int i = 0; i < 3; ++i) {
                QCoreApplication::sendPostedEvents();
                QApplication::processEvents();
            }
            home.measureTree(41); // the next tree, whose every figure and verdict differ
        }
        GridShown shown(window.get(), window->grid()->viewport());
        const double start = threadSeconds();
        window->calculateAndSave();
        // Should the chart follow before the grid is painted (the machine too busy to paint
        // within the window's wait), the grid's painting is the end.
        const auto *chart = window->findChild<QWidget *>(QStringLiteral("chtResultat"));
        while (shown.at == 0 && !(shown.painted && chart->updatesEnabled()))
            QApplication::processEvents();
        if (shown.at == 0)
            shown.at = threadSeconds();
        state.SetIterationTime(shown.at - start);
        benchmark::DoNotOptimize(window->grid()->textAt(12, 3));
        QApplication::processEvents();
    }
}

void userWaitFirstCalculation(benchmark::State &state) {
    calculateUntilGridPainted(state, true);
}
BENCHMARK(userWaitFirstCalculation)->UseManualTime()->Apply(repeated);

void userWaitNextTree(benchmark::State &state) {
    calculateUntilGridPainted(state, false);
}
BENCHMARK(userWaitNextTree)->UseManualTime()->Apply(repeated);

// Everything a calculation costs, the window made for the first time: built, loaded, valued,
// shown, and the chart and the what-if table that follow the grid drawn too.
void calculateAndShowFirstTime(benchmark::State &state) {
    SampleHome home;
    NoHub hub;
    for (auto _ : state) {
        ResultWindow window(hub, home.directory());
        window.calculateAndSave();
        QApplication::processEvents();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.grid()->textAt(12, 3));
    }
}
BENCHMARK(calculateAndShowFirstTime)->Apply(repeated);

// The same for the next tree: the window was made before and is only shown again.
void calculateAndShowAgain(benchmark::State &state) {
    SampleHome home;
    NoHub hub;
    ResultWindow window(hub, home.directory());
    for (auto _ : state) {
        window.calculateAndSave();
        QApplication::processEvents();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.grid()->textAt(12, 3));
        window.hide();
        QApplication::processEvents();
    }
}
BENCHMARK(calculateAndShowAgain)->Apply(repeated);

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KVISTEL_BENCH_SCREEN);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
