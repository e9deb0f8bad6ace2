#pragma once
// The refused starts and the ended processes waiting to be reported and their files removed:
// filled by the threads that answer the kernel, emptied by the thread that does the slow work.
// It holds a bounded number, so that a flood of refused starts never grows it; a start it has no
// room for is refused all the same, only its report and its file's removal are lost (the file's
// next start is refused again).

#include "platform/Platform.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace pestrel::guard {

struct DeniedStart {
    std::string entry; // the list entry that names it; empty for a file the kernel cannot name
    std::string path;  // the program file as the kernel named it; empty when it cannot
    FileIdentity identity;
    // A process ended once it ran listed code, rather than a start refused: its id, and whether
    // it ended.
    std::uint32_t endedProcess = 0;
    bool ended = false;
    bool onDisk = true; // the file is reached by `path`, to be removed
};

class DeniedQueue {
public:
    static constexpr std::size_t kCapacity = 1024;

    // Makes an event descriptor that is readable while the queue holds anything.
    DeniedQueue();
    ~DeniedQueue();
    DeniedQueue(const DeniedQueue&) = delete;
    DeniedQueue& operator=(const DeniedQueue&) = delete;

    // False, with nothing queued, when the queue is full.
    bool tryPush(DeniedStart start);
    // Everything queued, oldest first.
    std::vector<DeniedStart> takeAll();
    int readyDescriptor() const { return eventFd_; }

private:
    std::mutex mutex_; // held only to move entries in and out, never during work on them
    std::deque<DeniedStart> starts_;
    int eventFd_ = -1;
};

} // namespace pestrel::guard
