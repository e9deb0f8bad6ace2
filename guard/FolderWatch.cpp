#include "guard/FolderWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

namespace pestrel::guard {

FolderWatch::FolderWatch() : fd_(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {}

FolderWatch::~FolderWatch() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool FolderWatch::add(const std::string& path) {
    const int watch = ::inotify_add_watch(
        fd_, path.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_ONLYDIR | IN_DONT_FOLLOW);
    if (watch < 0)
        return false;
    folders_[watch] = path;
    return true;
}

std::vector<FolderWatch::Arrival> FolderWatch::takeArrivals() {
    std::vector<Arrival> arrivals;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length <= 0)
            return arrivals;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += sizeof(inotify_event) + event->len;
            overflowed_ = overflowed_ || (event->mask & IN_Q_OVERFLOW);
            const auto folder = folders_.find(event->wd);
            if (event->len > 0 && folder != folders_.end())
                arrivals.push_back({folder->second, std::string(event->name)});
        }
    }
}

} // namespace pestrel::guard
