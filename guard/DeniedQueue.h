#pragma once
// The refused starts waiting for their files to be removed: filled by the thread that answers
// the kernel, emptied by the thread that does the slow work. It holds a bounded number, so that
// a flood of refused starts never grows it; a start it has no room for is allowed instead.

#include "platform/Platform.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace pestrel::guard {

struct DeniedStart {
    std::string entry; // the list entry that names it
    std::string path;  // the program file as the kernel named it
    FileIdentity identity;
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
