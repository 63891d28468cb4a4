// How long a marking list takes to print as PDF, as "Spara PDF..." makes it: 1 000 and 100 000
// valued trees with remarks, the tables drawn page by page.
#include "gui/treelist/markinglist.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

MarkingList markingListOf(int trees) {
    MarkingList list;
    list.sheet.date = QStringLiteral("2026-12-08");
    list.sheet.county = QStringLiteral("Jönköpings län");
    list.sheet.stand = {QStringLiteral("Storskogen 1:4"), QStringLiteral("12"),
                        QStringLiteral("Anna Berg")};
    for (int i = 0; i < trees; ++i) {
        TreeRow tree;
        tree.id = QString::number(i + 1);
        tree.values[TreeSpecies] = i % 2 ? QStringLiteral("g") : QStringLiteral("t");
        tree.values[BreastDiameter] = QString::number(16 + i % 32);
        TreeSummary s;
        s.decision.bestRow = i % 7;
        s.decision.valueNow = 300 + i % 500;
        s.volumeNow = s.volumeBest = 0.4 + (i % 30) * 0.05;
        s.netBest = 400 + i % 700;
        list.sheet.trees << tree;
        list.sheet.remarks << (i % 20 == 0 ? QStringLiteral("Misstänkt rotröta") : QString());
        list.sheet.summaries << s;
        list.sheet.plan.add(tree.id, s);
    }
    return list;
}

void markingListPdf(benchmark::State &state) {
    const MarkingList list = markingListOf(int(state.range(0)));
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = list.pdf().size();
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(markingListPdf)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
