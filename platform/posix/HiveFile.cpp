#include "platform/posix/HiveFile.h"

#include "base/FileBytes.h"
#include "base/SafeFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pestrel {
namespace {

// Holds an exclusive flock on the lock file `name` of `folder` for its lifetime. The hive file
// itself cannot carry the lock: an atomic replace gives it a new inode. A link, pipe or device in
// its place is refused, and the administrator's lock file is private to it.
class FileLock {
public:
    FileLock(int folder, const std::string& name) {
        fd_ = ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                       ::geteuid() == 0 ? 0600 : 0644);
        struct stat info;
        if (fd_ >= 0 && (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))) {
            ::close(fd_);
            fd_ = -1;
        }
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
    int fd_ = -1;
};

// A change time at least this old cannot be shared by a later write, whatever the granularity
// of the file system's clock.
constexpr long long kSettledNs = 100'000'000;

long long Nanoseconds(const timespec& time) {
    return static_cast<long long>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

long long NowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

} // namespace

HiveFile::HiveFile(std::string path, std::string rootName)
    : path_(std::move(path)), rootName_(std::move(rootName)) {}

bool HiveFile::Stamp::operator==(const Stamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && Nanoseconds(modified) == Nanoseconds(other.modified) &&
           Nanoseconds(changed) == Nanoseconds(other.changed);
}

bool HiveFile::stampFile(Stamp& stamp) {
    stamp = Stamp();
    if (!place_ && !(place_ = HoldFolderOf(path_)))
        return errno == ENOENT;
    struct stat info;
    if (::fstatat(place_->folder.get(), place_->name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    stamp = {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    return true;
}

bool HiveFile::writable() {
    if (!stamp_.exists)
        return true;
    if (writableFor_ != stamp_) {
        struct stat info;
        writable_ =
            ::fstatat(place_->folder.get(), place_->name.c_str(), &info, AT_SYMLINK_NOFOLLOW) ==
                0 &&
            (info.st_mode & S_IWUSR) != 0 &&
            ::faccessat(place_->folder.get(), place_->name.c_str(), W_OK, AT_SYMLINK_NOFOLLOW) == 0;
        writableFor_ = stamp_;
    }
    return writable_;
}

RegistryHive* HiveFile::current() {
    const long long now = NowNs();
    Stamp stamp;
    if (!stampFile(stamp)) {
        cached_.reset();
        return nullptr;
    }
    if (cached_ && trusted_ && stamp == stamp_)
        return &*cached_;
    // Stamped before reading: should the file change in between, the next stamp differs.
    std::optional<std::string> text;
    if (stamp.exists && !(text = ReadRegularFileIn(place_->folder.get(), place_->name))) {
        cached_.reset();
        return nullptr;
    }
    cached_ = text ? RegistryHive::Parse(rootName_, *text) : RegistryHive(rootName_);
    stamp_ = stamp;
    trusted_ = !stamp.exists || Nanoseconds(stamp.changed) + kSettledNs < now;
    return &*cached_;
}

bool HiveFile::read(const std::function<void(const RegistryHive&)>& look) {
    std::lock_guard guard(mutex_);
    const RegistryHive* hive = current();
    if (hive)
        look(*hive);
    return hive != nullptr;
}

bool HiveFile::modify(const Unchanged& unchanged,
                      const std::function<Outcome(RegistryHive&)>& change) {
    if (refuseWrites_)
        return false;
    std::lock_guard guard(mutex_);
    const RegistryHive* seen = current();
    if (!seen || !writable())
        return false;
    if (const std::optional<bool> answer = unchanged(*seen))
        return *answer;
    if (!place_)
        return false; // no folder to write the hive in
    // A change is made to the file as it is once locked.
    FileLock lock(place_->folder.get(), place_->name + ".lock");
    RegistryHive* hive = lock.held() ? current() : nullptr;
    if (!hive || !writable())
        return false;
    const Outcome outcome = change(*hive);
    if (outcome.changed) {
        // The kept hive now holds the change; it stands for the file once the file holds it,
        // and is read afresh once the new file has settled.
        if (!ReplaceFileAtomically(path_, hive->serialize()) || !stampFile(stamp_)) {
            cached_.reset();
            return false;
        }
        trusted_ = false;
    }
    return outcome.answer;
}

} // namespace pestrel
