#include "platform/posix/ProcessIndex.h"

#include "base/AsciiCase.h"
#include "platform/posix/ProcessTable.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <unistd.h>

namespace pestrel {
namespace {

std::string NameKey(std::string_view path) {
    const std::size_t last = path.rfind('/');
    return UpperAscii(last == std::string_view::npos ? path : path.substr(last + 1));
}

// Drains the rename watch; whether anything was told (or lost).
bool TakeRenames(int fd) {
    alignas(fanotify_event_metadata) char buffer[4096];
    bool told = false;
    for (;;) {
        const ssize_t length = ::read(fd, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            return told;
        told = true;
    }
}

} // namespace

std::unique_ptr<ProcessIndex> ProcessIndex::Open() {
    std::unique_ptr<ProcessEvents> events = ProcessEvents::Open();
    UniqueFd renames(::fanotify_init(FAN_CLASS_NOTIF | FAN_REPORT_FID | FAN_CLOEXEC | FAN_NONBLOCK,
                                     O_RDONLY | O_CLOEXEC));
    UniqueFd proc(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!events || !renames || !proc)
        return nullptr;
    // Listening before the walk: whatever changes during it is told afterwards.
    std::unique_ptr<ProcessIndex> index(
        new ProcessIndex(std::move(events), std::move(renames), std::move(proc)));
    index->walk();
    return index;
}

ProcessIndex::ProcessIndex(std::unique_ptr<ProcessEvents> events, UniqueFd renames, UniqueFd proc)
    : events_(std::move(events)), renames_(std::move(renames)), proc_(std::move(proc)) {}

bool ProcessIndex::anyProgramNamed(std::string_view name,
                                   const std::function<bool(std::string_view)>& matches) {
    std::lock_guard guard(mutex_);
    catchUp();
    const auto [first, last] = byName_.equal_range(UpperAscii(name));
    for (auto at = first; at != last; ++at) {
        if (matches(paths_.at(at->second)))
            return true;
    }
    return false;
}

void ProcessIndex::catchUp() {
    // One look at both while nothing happened, as at most turns.
    std::array<pollfd, 2> told{{{events_->descriptor(), POLLIN, 0}, {renames_.get(), POLLIN, 0}}};
    if (::poll(told.data(), told.size(), 0) > 0) {
        bool lost = false;
        // Each told process is read as it is now: a later event of it only reads it again.
        for (const ProcessEvent& event : events_->take(lost)) {
            if (event.kind == ProcessEvent::Kind::Exit)
                forget(event.process);
            else
                reread(event.process);
        }
        if (TakeRenames(renames_.get()) || lost)
            return walk();
    }
    for (std::uint32_t process : std::set(unwatched_))
        reread(process);
}

void ProcessIndex::walk() {
    paths_.clear();
    byName_.clear();
    unwatched_.clear();
    // The marks of programs that have ended go; those that run are marked again.
    ::fanotify_mark(renames_.get(), FAN_MARK_FLUSH, 0, AT_FDCWD, nullptr);
    for (const auto& [process, path] : ReadProgramPaths())
        reread(process);
}

void ProcessIndex::reread(std::uint32_t process) {
    forget(process);
    // Marked before the path is read, through the program link (the very file the process
    // runs): a rename after the read is told.
    const std::string link = std::to_string(process) + "/exe";
    const bool watched = ::fanotify_mark(renames_.get(), FAN_MARK_ADD, FAN_MOVE_SELF, proc_.get(),
                                         link.c_str()) == 0;
    std::optional<std::string> path = ProgramPathOf(proc_.get(), process);
    if (!path)
        return;
    if (!watched)
        unwatched_.insert(process);
    byName_.emplace(NameKey(*path), process);
    paths_.emplace(process, std::move(*path));
}

void ProcessIndex::forget(std::uint32_t process) {
    unwatched_.erase(process);
    const auto known = paths_.find(process);
    if (known == paths_.end())
        return;
    const auto [first, last] = byName_.equal_range(NameKey(known->second));
    for (auto at = first; at != last; ++at) {
        if (at->second == process) {
            byName_.erase(at);
            break;
        }
    }
    paths_.erase(known);
}

} // namespace pestrel
