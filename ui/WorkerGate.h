#pragma once
// Keeps track of the window's workers and lets the window end them at once: after shutDown()
// every wait returns early and every call into the window is refused, so each worker runs to
// its end without touching the window again.

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <unordered_set>

class QThread;

namespace pestrel {

class WorkerGate : public QObject {
    Q_OBJECT
public:
    explicit WorkerGate(QObject* parent = nullptr);
    ~WorkerGate() override;

    bool closing() const { return closing_.load(); }
    // Sleeps `milliseconds`; answers false, at once, when the gate closes meanwhile.
    bool wait(unsigned milliseconds);

    // UI thread only. Starts the worker and deletes it once its thread has finished. When the
    // system cannot start the thread, the worker is deleted at once and the answer is false.
    bool start(QThread* worker);
    // The stack size every worker is started with; 0 (the default) leaves it to the system.
    // Tests give one the system refuses, to see how the window copes with a worker that
    // cannot start.
    void setStackSize(unsigned bytes) { stackSize_ = bytes; }
    bool idle() const { return workers_.empty(); }
    // Runs the UI thread's events (calls the workers wait for among them) until every adopted
    // worker has been deleted.
    void waitUntilIdle();
    // Closes the gate and waits until idle.
    void shutDown();

signals:
    void becameIdle();

private:
    void release(QThread* worker);

    std::atomic<bool> closing_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    std::unordered_set<QThread*> workers_;
    unsigned stackSize_ = 0;
};

} // namespace pestrel
