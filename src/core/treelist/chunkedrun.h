#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QThread;

// Work over the items 0..count-1 on threads of its own, a chunk of items at a time, so that it
// can be stopped between any two chunks. Never Qt's global thread pool: the window's painting
// waits on that one. Progress is counted and reported from a timer in the owner's thread, not per
// item, and finished() comes once, in the owner's thread, after every thread has left the work.
// The work must touch only what it owns (captured by value) or what nobody changes until then.
class ChunkedRun : public QObject {
    Q_OBJECT
public:
    enum class Priority {
        Foreground, // the user waits for it: every core, just below the window's own thread
        Background, // nobody waits for it: one core less, at a lower priority
    };
    // The items [begin, end), chunk number `chunk` of the run.
    using Work = std::function<void(qsizetype chunk, qsizetype begin, qsizetype end)>;

    explicit ChunkedRun(Priority priority, QObject *parent = nullptr);
    // Stops the work and waits for its threads.
    ~ChunkedRun() override;

    static qsizetype chunkCount(qsizetype count, qsizetype chunkSize);

    // Starts `work` over `count` items. A run still going is stopped and forgotten: its threads
    // end on their own and it reports nothing more.
    void start(qsizetype count, qsizetype chunkSize, Work work);
    // Asks the work to stop after the chunks it is in; finished() follows.
    void stop();
    bool isRunning() const { return m_state != nullptr; }
    // Whether the run that finished last was stopped before its end.
    bool wasStopped() const { return m_stopped; }
    qsizetype count() const;
    qsizetype itemsDone() const;

    // The whole work on every core, returning when it is done (for the command line and tests).
    static void runAndWait(qsizetype count, qsizetype chunkSize, const Work &work);

signals:
    void progress(qsizetype done, qsizetype count);
    void finished();

private:
    struct State;
    void threadEnded(QThread *thread);
    void lastThreadLeft(const std::shared_ptr<State> &state);

    Priority m_priority;
    std::shared_ptr<State> m_state;   // the run going on, none between runs
    std::vector<QThread *> m_threads; // also those of stopped, forgotten runs
    QTimer m_progressTimer;
    bool m_stopped = false;
};
