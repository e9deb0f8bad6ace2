#pragma once
// Ends, as soon as the kernel tells of its start, every process that runs code of a listed file
// without a listed start to refuse: a program given to the loader, a deleted file or a memory
// file started through its descriptor (the process connector, as root).
//
// One thread hears of every program start and judges it at once; a process whose program may
// hide what it runs (the loader, a file of no name) is stopped while it is judged. Each ending
// is queued for the caller, which reports it and removes the file.

#include "engine/GuardList.h"
#include "guard/DeniedQueue.h"
#include "guard/StoppableLoop.h"

#include <atomic>
#include <memory>

namespace pestrel::guard {

class ProcConnector;

class CodeEnder {
public:
    using ListSnapshot = std::shared_ptr<const GuardList>;

    // Listening; null when the kernel refuses (no root, no connector).
    static std::unique_ptr<CodeEnder> start(ListSnapshot list, DeniedQueue& queue);
    ~CodeEnder();
    CodeEnder(const CodeEnder&) = delete;
    CodeEnder& operator=(const CodeEnder&) = delete;

    void setList(ListSnapshot list) { list_.store(std::move(list)); }

private:
    CodeEnder(std::unique_ptr<ProcConnector> connector, ListSnapshot list, DeniedQueue& queue);
    void listenLoop();
    void judge(std::uint32_t pid);

    std::unique_ptr<ProcConnector> connector_;
    std::atomic<ListSnapshot> list_;
    DeniedQueue& queue_;
    StoppableLoop loop_;
};

} // namespace pestrel::guard
