#pragma once
// Refuses the start of every program whose file is listed, before it runs one instruction,
// through the kernel's permission events for program starts (fanotify, as root).
//
// One thread does nothing but answer: it reads the started file's name through the event's
// descriptor (the name the kernel holds, a deleted file's included), looks it up in the list it
// is given and answers at once; a deleted file is also judged by its digest when the list has
// hash lines. The removal of a refused file is queued for the caller. It fails closed on what a
// starter controls: a file whose name cannot be read is refused, and a full queue loses only the
// removal, never the refusal. The guard's own starts are allowed. When the guard ends, or dies,
// the kernel allows whatever waits.

#include "engine/GuardList.h"
#include "guard/DeniedQueue.h"
#include "guard/StoppableLoop.h"

#include <atomic>
#include <functional>
#include <memory>
#include <set>
#include <string>

namespace pestrel::guard {

class ExecDenier {
public:
    using ListSnapshot = std::shared_ptr<const GuardList>;

    // Hears each file system that cannot be watched: its mount point and why.
    using SkipReport = std::function<void(const std::string&, const std::string&)>;

    // Starts watching every local file system. Null, with `error` set, when the kernel offers no
    // permission events (no root, an old kernel) or no file system can be watched.
    static std::unique_ptr<ExecDenier> start(ListSnapshot list, DeniedQueue& queue,
                                             const SkipReport& skipped, std::string& error);
    // Removes the marks first, so that no new start waits on the guard, then stops the thread.
    ~ExecDenier();
    ExecDenier(const ExecDenier&) = delete;
    ExecDenier& operator=(const ExecDenier&) = delete;

    // The list later starts are checked against.
    void setList(ListSnapshot list) { list_.store(std::move(list)); }
    // Watches the local file systems mounted since, each tried once; `watched` hears the mount
    // point of each one it watches. The number watched.
    int watchNewFileSystems(const SkipReport& skipped,
                            const std::function<void(const std::string&)>& watched = {});

private:
    ExecDenier(int fanotifyFd, ListSnapshot list, DeniedQueue& queue);
    void answerLoop();
    // The answer to one start: FAN_ALLOW or FAN_DENY.
    std::uint32_t decide(int fileFd, int pid);

    int fanotifyFd_;
    std::set<std::string> triedDevices_; // the answering thread never touches it
    std::atomic<ListSnapshot> list_;
    DeniedQueue& queue_;
    StoppableLoop loop_;
};

} // namespace pestrel::guard
