#pragma once
// The kernel's word on processes as they change: every fork, program start and exit, told by
// the process connector (root only) the moment it happens.

#include <cstdint>
#include <memory>
#include <vector>

namespace pestrel {

struct ProcessEvent {
    enum class Kind { Fork, Exec, Exit };
    Kind kind = Kind::Exec;
    // The process (thread group) concerned: the new one for a fork. Threads that start or end
    // within a process are not told.
    std::uint32_t process = 0;
};

class ProcessEvents {
public:
    // Listening; null when the kernel refuses (no root, no connector).
    static std::unique_ptr<ProcessEvents> Open();
    ~ProcessEvents();
    ProcessEvents(const ProcessEvents&) = delete;
    ProcessEvents& operator=(const ProcessEvents&) = delete;

    // Readable when events wait.
    int descriptor() const { return fd_; }
    // The events since the last call, in the order they happened, without waiting. `lost` is set
    // when the kernel dropped some because they came faster than they were taken.
    std::vector<ProcessEvent> take(bool& lost);

private:
    explicit ProcessEvents(int fd) : fd_(fd) {}
    int fd_;
};

} // namespace pestrel
