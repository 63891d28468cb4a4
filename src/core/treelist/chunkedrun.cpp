#include "core/treelist/chunkedrun.h"

#include <QThread>

#include <algorithm>
#include <atomic>

struct ChunkedRun::State {
    State(qsizetype count, qsizetype chunkSize, Work work)
        : count(count), chunkSize(std::max<qsizetype>(1, chunkSize)), work(std::move(work)) {}

    // Takes chunks until none is left or the run is stopped.
    void workOnChunks() {
        for (;;) {
            if (stopped.load(std::memory_order_relaxed))
                return;
            const qsizetype chunk = nextChunk.fetch_add(1, std::memory_order_relaxed);
            const qsizetype begin = chunk * chunkSize;
            if (begin >= count)
                return;
            const qsizetype end = std::min(count, begin + chunkSize);
            work(chunk, begin, end);
            done.fetch_add(end - begin, std::memory_order_relaxed);
        }
    }

    const qsizetype count;
    const qsizetype chunkSize;
    const Work work;
    std::atomic<qsizetype> nextChunk{0};
    std::atomic<qsizetype> done{0};
    std::atomic<bool> stopped{false};
    // Threads still in the work. The last one out releases what all have written; the owner
    // acquires it before it reads a single result.
    std::atomic<int> working{0};
};

namespace {

// Work nobody waits for leaves one core to the user's next action. It is not given the idle
// priority: on a computer kept busy by other programs that would starve it for good.
int threadsFor(qsizetype chunks, ChunkedRun::Priority priority) {
    const int cores = std::max(1, QThread::idealThreadCount());
    const int most = priority == ChunkedRun::Priority::Background ? std::max(1, cores - 1) : cores;
    return int(std::clamp<qsizetype>(chunks, 1, most));
}

} // namespace

ChunkedRun::ChunkedRun(Priority priority, QObject *parent) : QObject(parent), m_priority(priority) {
    // Ten times a second is as often as a progress bar is worth redrawing.
    m_progressTimer.setInterval(100);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] {
        if (m_state)
            emit progress(itemsDone(), count());
    });
}

ChunkedRun::~ChunkedRun() {
    if (m_state)
        m_state->stopped = true;
    m_state.reset();
    for (QThread *thread : m_threads) {
        thread->wait();
        delete thread;
    }
}

qsizetype ChunkedRun::chunkCount(qsizetype count, qsizetype chunkSize) {
    chunkSize = std::max<qsizetype>(1, chunkSize);
    return (std::max<qsizetype>(0, count) + chunkSize - 1) / chunkSize;
}

qsizetype ChunkedRun::count() const {
    return m_state ? m_state->count : 0;
}

qsizetype ChunkedRun::itemsDone() const {
    return m_state ? m_state->done.load(std::memory_order_relaxed) : 0;
}

void ChunkedRun::start(qsizetype count, qsizetype chunkSize, Work work) {
    if (m_state)
        m_state->stopped = true;
    auto state = std::make_shared<State>(count, chunkSize, std::move(work));
    m_state = state;
    m_stopped = false;
    const int threads = threadsFor(chunkCount(count, chunkSize), m_priority);
    state->working = threads;
    for (int t = 0; t < threads; ++t) {
        QThread *thread = QThread::create([this, state] {
            state->workOnChunks();
            if (state->working.fetch_sub(1, std::memory_order_acq_rel) == 1)
                QMetaObject::invokeMethod(
                    this, [this, state] { lastThreadLeft(state); }, Qt::QueuedConnection);
        });
        thread->setObjectName(QStringLiteral("Kvistel chunked run"));
        connect(thread, &QThread::finished, this, [this, thread] { threadEnded(thread); });
        m_threads.push_back(thread);
        thread->start(m_priority == Priority::Background ? QThread::LowestPriority
                                                         : QThread::LowPriority);
    }
    m_progressTimer.start();
}

void ChunkedRun::stop() {
    if (m_state)
        m_state->stopped = true;
}

void ChunkedRun::threadEnded(QThread *thread) {
    const auto at = std::find(m_threads.begin(), m_threads.end(), thread);
    if (at == m_threads.end())
        return;
    m_threads.erase(at);
    thread->wait();
    thread->deleteLater();
}

void ChunkedRun::lastThreadLeft(const std::shared_ptr<State> &state) {
    if (state != m_state)
        return; // a run stopped and forgotten by a newer one
    // Pairs with the workers' release: what they wrote is now seen here.
    if (state->working.load(std::memory_order_acquire) != 0)
        return;
    m_progressTimer.stop();
    m_stopped = state->stopped.load() && state->done.load() < state->count;
    emit progress(state->done.load(), state->count);
    m_state.reset();
    emit finished();
}

void ChunkedRun::runAndWait(qsizetype count, qsizetype chunkSize, const Work &work) {
    State state(count, chunkSize, work);
    const int threads = threadsFor(chunkCount(count, chunkSize), Priority::Foreground);
    state.working = threads;
    std::vector<std::unique_ptr<QThread>> started;
    for (int t = 1; t < threads; ++t) {
        started.emplace_back(QThread::create([&state] {
            state.workOnChunks();
            state.working.fetch_sub(1, std::memory_order_acq_rel);
        }));
        started.back()->start();
    }
    state.workOnChunks();
    state.working.fetch_sub(1, std::memory_order_acq_rel);
    for (auto &thread : started)
        thread->wait();
    while (state.working.load(std::memory_order_acquire) != 0)
        QThread::yieldCurrentThread();
}
