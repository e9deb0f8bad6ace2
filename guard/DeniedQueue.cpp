#include "guard/DeniedQueue.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace pestrel::guard {

DeniedQueue::DeniedQueue() : eventFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

DeniedQueue::~DeniedQueue() {
    if (eventFd_ >= 0)
        ::close(eventFd_);
}

bool DeniedQueue::tryPush(DeniedStart start) {
    {
        const std::lock_guard lock(mutex_);
        if (starts_.size() >= kCapacity)
            return false;
        starts_.push_back(std::move(start));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(eventFd_, &one, sizeof one);
    return true;
}

std::vector<DeniedStart> DeniedQueue::takeAll() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(eventFd_, &count, sizeof count);
    const std::lock_guard lock(mutex_);
    std::vector<DeniedStart> taken(std::make_move_iterator(starts_.begin()),
                                   std::make_move_iterator(starts_.end()));
    starts_.clear();
    return taken;
}

} // namespace pestrel::guard
