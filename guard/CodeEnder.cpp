#include "guard/CodeEnder.h"

#include "guard/ListedCode.h"
#include "guard/ProcConnector.h"

#include <climits>
#include <csignal>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pestrel::guard {
namespace {

constexpr int kListenNice = -10;

// The process by a descriptor of its own, so that a signal never reaches one that took its id.
class ProcessHandle {
public:
    explicit ProcessHandle(std::uint32_t pid)
        : fd_(static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0))) {}
    ~ProcessHandle() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    bool valid() const { return fd_ >= 0; }
    bool signal(int number) const {
        return ::syscall(SYS_pidfd_send_signal, fd_, number, nullptr, 0) == 0;
    }

private:
    int fd_;
};

std::string ExeOf(std::uint32_t pid) {
    char link[48], target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/%u/exe", pid);
    const ssize_t length = ::readlink(link, target, sizeof target);
    return length > 0 ? std::string(target, length) : std::string();
}

// A listed program runs until this thread ends it: while it only reads what the kernel tells,
// it goes before every thread of ordinary priority (root may; a failure changes nothing else),
// and while it reads a file through, before ordinary work only.
void Prompt(bool beforeAll) {
    const sched_param priority{beforeAll ? 1 : 0};
    ::sched_setscheduler(0, beforeAll ? SCHED_FIFO : SCHED_OTHER, &priority);
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kListenNice);
}

} // namespace

std::unique_ptr<CodeEnder> CodeEnder::start(ListSnapshot list, DeniedQueue& queue) {
    std::unique_ptr<ProcConnector> connector = ProcConnector::open();
    if (!connector)
        return nullptr;
    std::unique_ptr<CodeEnder> ender(new CodeEnder(std::move(connector), std::move(list), queue));
    if (!ender->loop_.ready())
        return nullptr;
    ender->loop_.start([raw = ender.get()] { raw->listenLoop(); });
    return ender;
}

CodeEnder::CodeEnder(std::unique_ptr<ProcConnector> connector, ListSnapshot list,
                     DeniedQueue& queue)
    : connector_(std::move(connector)), list_(std::move(list)), queue_(queue) {}

CodeEnder::~CodeEnder() {
    loop_.stop();
}

void CodeEnder::listenLoop() {
    Prompt(true);
    while (loop_.waitFor(connector_->descriptor())) {
        for (std::uint32_t pid : connector_->takeStarts())
            judge(pid);
    }
}

void CodeEnder::judge(std::uint32_t pid) {
    if (pid == static_cast<std::uint32_t>(::getpid()))
        return;
    const ListSnapshot list = list_.load();
    const ProcessHandle process(pid);
    if (!list || !process.valid())
        return; // ended already
    const bool held = RunsDoubtfulImage(ExeOf(pid)) && process.signal(SIGSTOP);
    std::optional<ListedCode> listed = ListedCodeOf(pid, *list, false);
    // A held process waits while what it runs is read through.
    if (!listed && held && list->hasHashes()) {
        Prompt(false);
        listed = ListedCodeOf(pid, *list, true);
        Prompt(true);
    }
    if (!listed) {
        if (held)
            process.signal(SIGCONT);
        return;
    }
    const bool ended = process.signal(SIGKILL);
    queue_.tryPush({listed->entry, listed->path, listed->identity, pid, ended, listed->onDisk});
}

} // namespace pestrel::guard
