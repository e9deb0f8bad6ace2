// A stand-in program for the tests: it runs until it is killed.
//   --ignore-term   ignores the polite termination request (SIGTERM)
//   --ready FILE    writes FILE once it runs
//   --user UID      runs as that user (and group), when started by root (POSIX)
//   --on-term CMD   when asked to end, first runs the shell command CMD (POSIX)
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
}

int main(int argc, char** argv) {
    const char* onTerm = nullptr;
    const char* ready = nullptr;
    [[maybe_unused]] const char* user = nullptr;
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
    }
    if (onTerm)
        std::signal(SIGTERM, [](int) { asked = true; });
    // Said once the signals are set, and before the user changes, whose rights may not reach it.
    if (ready)
        std::ofstream(ready) << "ready\n";
#ifndef _WIN32
    const auto id = user ? static_cast<uid_t>(std::strtoul(user, nullptr, 10)) : 0;
    if (user && (::setgroups(0, nullptr) != 0 || ::setgid(id) != 0 || ::setuid(id) != 0))
        return 2;
#endif
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(onTerm ? 2 : 1000));
        if (asked) {
            const int status = std::system(onTerm);
            std::_Exit(status == 0 ? 0 : 3);
        }
    }
}
