// Work in chunks on threads of its own: every item done exactly once, the sums of each chunk its
// own, a stop felt between chunks, and a run replaced by a newer one never heard from again.
#include "core/treelist/chunkedrun.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

namespace {

struct Items {
    explicit Items(qsizetype count, qsizetype chunkSize)
        : visits(std::size_t(count)), sums(std::size_t(ChunkedRun::chunkCount(count, chunkSize))) {}
    std::vector<int> visits; // each written by the one thread that has its chunk
    std::vector<qsizetype> sums;
};

ChunkedRun::Work countInto(const std::shared_ptr<Items> &items) {
    return [items](qsizetype chunk, qsizetype begin, qsizetype end) {
        qsizetype sum = 0;
        for (qsizetype i = begin; i < end; ++i) {
            ++items->visits[std::size_t(i)];
            sum += i;
        }
        items->sums[std::size_t(chunk)] = sum;
    };
}

TEST(ChunkedRun, DoesEveryItemOnceInChunksOfItsOwn) {
    struct Case {
        qsizetype count, chunkSize;
    };
    for (const Case c :
         {Case{0, 8}, Case{1, 8}, Case{8, 8}, Case{9, 8}, Case{10007, 64}, Case{5, 0}}) {
        auto items = std::make_shared<Items>(c.count, c.chunkSize);
        ChunkedRun run(ChunkedRun::Priority::Foreground);
        QSignalSpy finished(&run, &ChunkedRun::finished);
        run.start(c.count, c.chunkSize, countInto(items));
        EXPECT_TRUE(run.isRunning());
        ASSERT_TRUE(finished.wait(60000)) << c.count;
        EXPECT_FALSE(run.isRunning());
        EXPECT_FALSE(run.wasStopped());
        EXPECT_EQ(finished.count(), 1);
        EXPECT_TRUE(std::all_of(items->visits.begin(), items->visits.end(), [](int v) {
            return v == 1;
        })) << c.count;
        EXPECT_EQ(std::accumulate(items->sums.begin(), items->sums.end(), qsizetype(0)),
                  c.count * (c.count - 1) / 2)
            << c.count;

        auto waited = std::make_shared<Items>(c.count, c.chunkSize);
        ChunkedRun::runAndWait(c.count, c.chunkSize, countInto(waited));
        EXPECT_EQ(waited->visits, items->visits) << c.count;
        EXPECT_EQ(waited->sums, items->sums) << c.count;
    }
}

// Stopped, a run ends after the chunks its threads are in, says it was stopped, and reports
// progress short of the whole.
TEST(ChunkedRun, StopsBetweenChunks) {
    constexpr qsizetype count = 1000000;
    auto started = std::make_shared<std::atomic<int>>(0);
    auto chunksDone = std::make_shared<std::atomic<qsizetype>>(0);
    ChunkedRun run(ChunkedRun::Priority::Background);
    QSignalSpy finished(&run, &ChunkedRun::finished);
    QSignalSpy progress(&run, &ChunkedRun::progress);
    run.start(count, 10, [started, chunksDone](qsizetype, qsizetype, qsizetype) {
        ++*started;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++*chunksDone;
    });
    while (*started == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    run.stop();
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_TRUE(run.wasStopped());
    EXPECT_LT(chunksDone->load(), count / 10);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().at(0).value<qsizetype>(), chunksDone->load() * 10);
    EXPECT_EQ(progress.last().at(1).value<qsizetype>(), count);
}

// A run started while another goes on replaces it: the old one stops and only the new one
// finishes, with all its items done.
TEST(ChunkedRun, ANewRunReplacesOneStillGoing) {
    auto slow = std::make_shared<std::atomic<qsizetype>>(0);
    auto items = std::make_shared<Items>(5000, 50);
    ChunkedRun run(ChunkedRun::Priority::Foreground);
    QSignalSpy finished(&run, &ChunkedRun::finished);
    run.start(1000000, 1, [slow](qsizetype, qsizetype, qsizetype) {
        ++*slow;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    run.start(5000, 50, countInto(items));
    ASSERT_TRUE(finished.wait(60000));
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(run.wasStopped());
    EXPECT_LT(slow->load(), 1000000);
    EXPECT_TRUE(
        std::all_of(items->visits.begin(), items->visits.end(), [](int v) { return v == 1; }));
}

} // namespace
