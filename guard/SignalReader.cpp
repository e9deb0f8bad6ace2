#include "guard/SignalReader.h"

#include <sys/signalfd.h>
#include <unistd.h>

namespace pestrel::guard {

SignalReader::SignalReader() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&signals, signal);
    pthread_sigmask(SIG_BLOCK, &signals, &previous_);
    fd_ = ::signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
}

SignalReader::~SignalReader() {
    if (fd_ >= 0)
        ::close(fd_);
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

std::vector<int> SignalReader::take() {
    std::vector<int> signals;
    signalfd_siginfo info;
    while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        signals.push_back(static_cast<int>(info.ssi_signo));
    return signals;
}

} // namespace pestrel::guard
