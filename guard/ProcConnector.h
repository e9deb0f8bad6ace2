#pragma once
// The kernel's word on every program start, as it happens (the process connector, as root).

#include <cstdint>
#include <memory>
#include <vector>

namespace pestrel::guard {

class ProcConnector {
public:
    // Listening; null when the kernel refuses (no root, no connector).
    static std::unique_ptr<ProcConnector> open();
    ~ProcConnector();
    ProcConnector(const ProcConnector&) = delete;
    ProcConnector& operator=(const ProcConnector&) = delete;

    int descriptor() const { return fd_; }
    // The processes that started a program since the last call, without waiting.
    std::vector<std::uint32_t> takeStarts();

private:
    explicit ProcConnector(int fd) : fd_(fd) {}
    int fd_;
};

} // namespace pestrel::guard
