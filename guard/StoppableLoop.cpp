#include "guard/StoppableLoop.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace pestrel::guard {

StoppableLoop::StoppableLoop() : stopFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StoppableLoop::~StoppableLoop() {
    stop();
    if (stopFd_ >= 0)
        ::close(stopFd_);
}

void StoppableLoop::start(std::function<void()> loop) {
    thread_ = std::thread(std::move(loop));
}

bool StoppableLoop::waitFor(int fd) const {
    for (;;) {
        pollfd watched[2] = {{fd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(watched, 2, -1) >= 0)
            return !watched[1].revents;
        if (errno != EINTR)
            return false;
    }
}

void StoppableLoop::stop() {
    if (!thread_.joinable())
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(stopFd_, &one, sizeof one);
    thread_.join();
}

} // namespace pestrel::guard
