#pragma once
// A thread that waits on one descriptor until it is stopped: an eventfd wakes its wait, so that
// stopping it needs no signal and no time-out.

#include <functional>
#include <thread>

namespace pestrel::guard {

class StoppableLoop {
public:
    StoppableLoop();
    // Stops the loop, then closes the eventfd.
    ~StoppableLoop();
    StoppableLoop(const StoppableLoop&) = delete;
    StoppableLoop& operator=(const StoppableLoop&) = delete;

    // False when the eventfd could not be made (errno says why): the loop cannot be stopped, so
    // it must not start.
    bool ready() const { return stopFd_ >= 0; }
    void start(std::function<void()> loop);
    // Waits until `fd` can be read; false once the loop is to stop, or when waiting fails.
    bool waitFor(int fd) const;
    // Wakes the loop and waits for its thread to end.
    void stop();

private:
    int stopFd_;
    std::thread thread_;
};

} // namespace pestrel::guard
