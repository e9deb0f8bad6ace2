#include "platform/posix/ChildProgram.h"

#include "platform/posix/PosixHeldFolder.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pestrel {
namespace {

constexpr std::size_t kLargestOutput = 8u << 20;

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The input as a file the child reads from its start: no pipe to fill, nothing to block on.
UniqueFd InputFile(const std::string& input) {
    UniqueFd file(::memfd_create("pestrel-input", MFD_CLOEXEC));
    std::size_t written = 0;
    while (file && written < input.size()) {
        const ssize_t step = ::write(file.get(), input.data() + written, input.size() - written);
        if (step <= 0)
            return UniqueFd();
        written += static_cast<std::size_t>(step);
    }
    return file && ::lseek(file.get(), 0, SEEK_SET) == 0 ? std::move(file) : UniqueFd();
}

// In the child, between fork and exec: only calls safe there.
[[noreturn]] void BecomeChild(int input, int output, const std::optional<ChildIdentity>& identity,
                              const char* path, char* const* argv, char* const* envp) {
    const int discard = ::open("/dev/null", O_WRONLY);
    if (::dup2(input, 0) < 0 || ::dup2(output, 1) < 0 || discard < 0 || ::dup2(discard, 2) < 0)
        ::_exit(127);
    ::close_range(3, ~0u, 0);
    if (identity && (::setgroups(identity->groups.size(), identity->groups.data()) != 0 ||
                     ::setgid(identity->group) != 0 || ::setuid(identity->user) != 0))
        ::_exit(127);
    ::execve(path, argv, envp);
    ::_exit(127);
}

} // namespace

std::optional<ChildOutcome> RunChild(const std::string& path,
                                     const std::vector<std::string>& arguments,
                                     const std::string& input,
                                     const std::vector<std::string>& environment,
                                     const std::optional<ChildIdentity>& identity, int seconds) {
    std::vector<std::string> argumentTexts{path};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environmentTexts = environment;
    const std::vector<char*> argv = Pointers(argumentTexts), envp = Pointers(environmentTexts);
    const UniqueFd inputFile = InputFile(input);
    int pipeEnds[2];
    if (!inputFile || ::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return std::nullopt;
    const UniqueFd reading(pipeEnds[0]);
    UniqueFd writing(pipeEnds[1]);
    const pid_t child = ::fork();
    if (child == 0)
        BecomeChild(inputFile.get(), writing.get(), identity, path.c_str(), argv.data(),
                    envp.data());
    if (child < 0)
        return std::nullopt;
    writing = UniqueFd();

    ChildOutcome outcome;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{reading.get(), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) == 0) {
            timedOut = true;
            break;
        }
        char buffer[4096];
        const ssize_t got = ::read(reading.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        if (outcome.output.size() < kLargestOutput)
            outcome.output.append(buffer, static_cast<std::size_t>(got));
    }
    if (timedOut)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.status = !timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

std::optional<std::string> SystemProgram(const std::string& name) {
    for (const char* folder : {"/usr/bin", "/bin"}) {
        const UniqueFd held = OpenFolderWithoutLinks(folder);
        struct stat info;
        if (held && IsPlainName(name) &&
            ::fstatat(held.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == 0 && (info.st_mode & S_IXUSR) &&
            !(info.st_mode & (S_IWGRP | S_IWOTH)))
            return std::string(folder) + '/' + name;
    }
    return std::nullopt;
}

} // namespace pestrel
