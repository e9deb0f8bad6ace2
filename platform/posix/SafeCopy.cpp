#include "platform/posix/SafeCopy.h"

#include "base/FileBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pestrel {
namespace {

// Closes a descriptor when the copy ends, however it ends.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_;
};

bool IsOwnFolder(int fd) {
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    return ::geteuid() != 0 || (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool IsSource(int fd, const std::optional<FileIdentity>& image) {
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return !image || *image == FileIdentity{info.st_dev, info.st_ino};
}

bool CopyBytes(int from, int to) {
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t wrote = ::write(to, buffer + done, static_cast<std::size_t>(got - done));
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                return false;
            done += wrote;
        }
    }
}

std::string NewNameFor(const std::string& name) {
    return ".~" + name + "." + UniqueTemporaryPart() + ".tmp";
}

} // namespace

bool SafeCopy(const std::string& from, const std::string& to,
              const std::optional<FileIdentity>& image) {
    const std::size_t slash = to.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : to.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? to : to.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        return false;

    const Fd source(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!source || !IsSource(source.get(), image))
        return false;
    const Fd target(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!target || !IsOwnFolder(target.get()))
        return false;

    const std::string fresh = NewNameFor(name);
    bool copied = false;
    {
        const Fd copy(::openat(target.get(), fresh.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!copy)
            return false;
        // The umask can only take bits away; no exec, setuid or setgid bit ever comes along.
        copied = ::fchmod(copy.get(), 0600) == 0 && CopyBytes(source.get(), copy.get());
    }
    if (copied && ::renameat(target.get(), fresh.c_str(), target.get(), name.c_str()) == 0)
        return true;
    ::unlinkat(target.get(), fresh.c_str(), 0);
    return false;
}

} // namespace pestrel
