#include "platform/posix/HiveFile.h"

#include "base/FileBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pestrel {
namespace {

// Holds an exclusive flock on a lock file for its lifetime. The hive file itself cannot carry
// the lock: an atomic replace gives it a new inode.
class FileLock {
public:
    explicit FileLock(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (fd_ < 0)
            return;
        int result = 0;
        while ((result = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (result != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FileLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

// A missing hive may be created; an existing one must be writable by us and not marked read-only
// (no owner write bit). The atomic replace goes through the folder, so without this test it would
// overwrite a read-only hive and drop its mark.
bool MayWrite(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT;
    return (info.st_mode & S_IWUSR) != 0 && ::access(path.c_str(), W_OK) == 0;
}

} // namespace

HiveFile::HiveFile(std::string path, std::string rootName)
    : path_(std::move(path)), rootName_(std::move(rootName)) {}

std::optional<RegistryHive> HiveFile::read() const {
    if (std::optional<std::string> text = ReadFileBytes(path_))
        return RegistryHive::Parse(rootName_, *text);
    if (::access(path_.c_str(), F_OK) != 0 && errno == ENOENT)
        return RegistryHive(rootName_);
    return std::nullopt;
}

bool HiveFile::modify(const std::function<Outcome(RegistryHive&)>& change) {
    if (refuseWrites_)
        return false;
    std::lock_guard guard(mutex_);
    FileLock lock(path_ + ".lock");
    if (!lock.held() || !MayWrite(path_))
        return false;
    std::optional<RegistryHive> hive = read();
    if (!hive)
        return false;
    const Outcome outcome = change(*hive);
    if (outcome.changed && !ReplaceFileAtomically(path_, hive->serialize()))
        return false;
    return outcome.answer;
}

} // namespace pestrel
