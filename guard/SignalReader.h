#pragma once
// The guard's signals (SIGTERM, SIGINT, SIGHUP) read from a descriptor instead of handled.

#include <csignal>
#include <vector>

namespace pestrel::guard {

class SignalReader {
public:
    // Blocks the signals in this thread and in every thread it starts afterwards; made before
    // any other thread, so that none of them is sent one.
    SignalReader();
    // Restores the signal mask.
    ~SignalReader();
    SignalReader(const SignalReader&) = delete;
    SignalReader& operator=(const SignalReader&) = delete;

    int descriptor() const { return fd_; }
    // The signals that came since the last call, without waiting.
    std::vector<int> take();

private:
    sigset_t previous_;
    int fd_ = -1;
};

} // namespace pestrel::guard
