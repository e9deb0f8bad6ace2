// A stand-in program for the tests: it runs until it is killed.
//   --ignore-term   ignores the polite termination request (SIGTERM)
//   --ready FILE    writes FILE once it runs
//   --user UID      runs as that user (and group), when started by root (POSIX)
//   --on-term CMD   when asked to end, first runs the shell command CMD (POSIX)
//   --exec-on-usr1 FILE  becomes the program FILE when sent SIGUSR1 (POSIX)
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#ifndef _WIN32
#include <grp.h>
#include <unistd.h>
#endif

namespace {
std::atomic<bool> asked{false};
#ifndef _WIN32
std::atomic<bool> toExec{false};
#endif
} // namespace

int main(int argc, char** argv) {
    const char* onTerm = nullptr;
    const char* ready = nullptr;
    [[maybe_unused]] const char* user = nullptr;
    [[maybe_unused]] const char* execFile = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--ignore-term")
            std::signal(SIGTERM, SIG_IGN);
        else if (option == "--ready" && i + 1 < argc)
            ready = argv[++i];
        else if (option == "--user" && i + 1 < argc)
            user = argv[++i];
        else if (option == "--on-term" && i + 1 < argc)
            onTerm = argv[++i];
        else if (option == "--exec-on-usr1" && i + 1 < argc)
            execFile = argv[++i];
    }
    if (onTerm)
        std::signal(SIGTERM, [](int) { asked = true; });
#ifndef _WIN32
    if (execFile)
        std::signal(SIGUSR1, [](int) { toExec = true; });
#endif
    // Said once the signals are set, and before the user changes, whose rights may not reach it.
    if (ready)
        std::ofstream(ready) << "ready\n";
#ifndef _WIN32
    const auto id = user ? static_cast<uid_t>(std::strtoul(user, nullptr, 10)) : 0;
    if (user && (::setgroups(0, nullptr) != 0 || ::setgid(id) != 0 || ::setuid(id) != 0))
        return 2;
#endif
    const bool waitsForSignal = onTerm || execFile;
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(waitsForSignal ? 2 : 1000));
#ifndef _WIN32
        if (toExec) {
            char* const arguments[] = {const_cast<char*>(execFile), nullptr};
            ::execv(execFile, arguments);
            std::_Exit(4);
        }
#endif
        if (asked) {
            const int status = std::system(onTerm);
            std::_Exit(status == 0 ? 0 : 3);
        }
    }
}
