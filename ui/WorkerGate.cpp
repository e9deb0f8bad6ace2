#include "ui/WorkerGate.h"

#include <QEventLoop>
#include <QThread>
#include <chrono>

namespace pestrel {

WorkerGate::WorkerGate(QObject* parent) : QObject(parent) {}

WorkerGate::~WorkerGate() {
    shutDown();
}

bool WorkerGate::wait(unsigned milliseconds) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                           [this] { return closing_.load(); });
}

bool WorkerGate::start(QThread* worker) {
    workers_.insert(worker);
    // Queued to this (the UI) thread: the worker is deleted there, after its thread has ended.
    connect(worker, &QThread::finished, this, [this, worker] { release(worker); });
    worker->setStackSize(stackSize_);
    worker->start();
    // A thread that could not be created is neither running nor finished, and never will be:
    // left adopted, it would keep the gate from ever becoming idle.
    if (worker->isRunning() || worker->isFinished())
        return true;
    workers_.erase(worker);
    delete worker;
    return false;
}

void WorkerGate::release(QThread* worker) {
    worker->wait();
    workers_.erase(worker);
    delete worker;
    if (workers_.empty())
        emit becameIdle();
}

void WorkerGate::waitUntilIdle() {
    if (idle())
        return;
    QEventLoop loop;
    connect(this, &WorkerGate::becameIdle, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void WorkerGate::shutDown() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wake_.notify_all();
    waitUntilIdle();
}

} // namespace pestrel
