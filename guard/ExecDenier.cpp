#include "guard/ExecDenier.h"

#include "guard/KernelName.h"
#include "guard/ListedCode.h"
#include "guard/MountList.h"
#include "platform/posix/FileCopy.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/fanotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pestrel::guard {
namespace {

constexpr int kAnswerNice = -10;

std::string MountInfo() {
    std::ifstream file("/proc/self/mountinfo");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

std::unique_ptr<ExecDenier> ExecDenier::start(ListSnapshot list, DeniedQueue& queue,
                                              const SkipReport& skipped, std::string& error) {
    if (queue.readyDescriptor() < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    const int fd = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC | FAN_NONBLOCK,
                                   O_RDONLY | O_LARGEFILE | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<ExecDenier> denier(new ExecDenier(fd, std::move(list), queue));
    if (!denier->loop_.ready()) {
        error = std::strerror(errno);
        return nullptr;
    }
    if (denier->watchNewFileSystems(skipped) == 0) {
        error = "no file system can be watched";
        return nullptr;
    }
    denier->loop_.start([raw = denier.get()] { raw->answerLoop(); });
    return denier;
}

ExecDenier::ExecDenier(int fanotifyFd, ListSnapshot list, DeniedQueue& queue)
    : fanotifyFd_(fanotifyFd), list_(std::move(list)), queue_(queue) {}

int ExecDenier::watchNewFileSystems(const SkipReport& skipped,
                                    const std::function<void(const std::string&)>& watched) {
    int count = 0;
    for (const MountedFileSystem& system : LocalFileSystems(MountInfo())) {
        if (!triedDevices_.insert(system.device).second)
            continue;
        if (::fanotify_mark(fanotifyFd_, FAN_MARK_ADD | FAN_MARK_FILESYSTEM, FAN_OPEN_EXEC_PERM,
                            AT_FDCWD, system.mountPoint.c_str()) != 0) {
            skipped(system.mountPoint, std::strerror(errno));
            continue;
        }
        ++count;
        if (watched)
            watched(system.mountPoint);
    }
    return count;
}

ExecDenier::~ExecDenier() {
    ::fanotify_mark(fanotifyFd_, FAN_MARK_FLUSH | FAN_MARK_FILESYSTEM, 0, AT_FDCWD, nullptr);
    loop_.stop();
    // Whatever still waits is allowed when the descriptor closes.
    ::close(fanotifyFd_);
}

std::uint32_t ExecDenier::decide(int fileFd, int pid) {
    if (pid == ::getpid())
        return FAN_ALLOW;
    struct stat file {};
    const bool known = ::fstat(fileFd, &file) == 0;
    const std::optional<std::string> path = known ? KernelName(fileFd, file) : std::nullopt;
    // A file the guard cannot name is refused: its name is what the attacker chose it by.
    if (!path) {
        queue_.tryPush({"", "", {file.st_dev, file.st_ino}, 0, false, false});
        return FAN_DENY;
    }
    const ListSnapshot list = list_.load();
    const std::string* entry = list ? list->entryFor(*path) : nullptr;
    // A deleted file is judged by what it holds too, when the list names files by content.
    if (!entry && list && list->hasHashes() && file.st_nlink == 0 &&
        static_cast<std::uint64_t>(file.st_size) <= kLargestHashedImage)
        if (const std::optional<FileDigest> digest = DigestOf(fileFd, kLargestHashedImage))
            entry = list->entryForDigest(digest->sha256);
    if (!entry)
        return FAN_ALLOW;
    // A full queue delays the removal, never the refusal: the next start is refused again.
    queue_.tryPush({*entry, *path, {file.st_dev, file.st_ino}, 0, false, file.st_nlink > 0});
    return FAN_DENY;
}

void ExecDenier::answerLoop() {
    // Every program start waits for this thread: it goes before ordinary work, where the
    // system lets it (root may; its failure changes nothing else).
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kAnswerNice);
    alignas(fanotify_event_metadata) char buffer[16384];
    while (loop_.waitFor(fanotifyFd_)) {
        const ssize_t length = ::read(fanotifyFd_, buffer, sizeof buffer);
        if (length <= 0)
            continue;
        auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
        for (ssize_t left = length; FAN_EVENT_OK(event, left);
             event = FAN_EVENT_NEXT(event, left)) {
            if (event->fd < 0)
                continue;
            if (event->mask & FAN_OPEN_EXEC_PERM) {
                fanotify_response response{event->fd, FAN_ALLOW};
                if (event->vers == FANOTIFY_METADATA_VERSION)
                    response.response = decide(event->fd, event->pid);
                [[maybe_unused]] const ssize_t written =
                    ::write(fanotifyFd_, &response, sizeof response);
            }
            ::close(event->fd);
        }
    }
}

} // namespace pestrel::guard
