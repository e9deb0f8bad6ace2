#include "platform/posix/PosixHeldFolder.h"

#include "base/FileBytes.h"
#include "base/SafeFile.h"
#include "platform/ProfileFile.h"
#include "platform/posix/FileCopy.h"
#include "platform/posix/PseudoFileSystem.h"

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pestrel {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::optional<struct stat> RegularEntry(int folder, const std::string& name) {
    struct stat info;
    if (!IsPlainName(name) || ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode))
        return std::nullopt;
    return info;
}

FileIdentity IdentityOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// A folder the program may put its copies into: its own, and as root nobody else's to write.
bool IsOwnFolder(int fd) {
    const std::optional<struct stat> info = StatOf(fd);
    if (!info || !S_ISDIR(info->st_mode) || info->st_uid != ::geteuid())
        return false;
    return ::geteuid() != 0 || (info->st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A private read-only mapping, which a later write to the file does not reach past its size.
class PosixMappedFile final : public MappedFile {
public:
    PosixMappedFile(void* start, std::size_t size) : start_(start), size_(size) {}
    ~PosixMappedFile() override {
        if (size_ > 0)
            ::munmap(start_, size_);
    }
    PosixMappedFile(const PosixMappedFile&) = delete;
    PosixMappedFile& operator=(const PosixMappedFile&) = delete;
    std::string_view bytes() const override { return {static_cast<const char*>(start_), size_}; }

private:
    void* start_;
    std::size_t size_;
};

// A small file's bytes, read into memory.
class PosixReadFile final : public MappedFile {
public:
    explicit PosixReadFile(std::string bytes) : bytes_(std::move(bytes)) {}
    std::string_view bytes() const override { return bytes_; }
    bool mayFault() const override { return false; }

private:
    std::string bytes_;
};

// Files up to this size are read rather than mapped.
constexpr std::size_t kReadIntoMemoryBytes = 8u << 20;

// The first `size` bytes of `fd`, or fewer when it ends sooner; nothing when a read fails.
std::optional<std::string> ReadUpTo(int fd, std::size_t size) {
    std::string bytes(size, '\0');
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, bytes.data() + done, size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

PosixHeldFolder* AsPosix(HeldFolder& folder) {
    return dynamic_cast<PosixHeldFolder*>(&folder);
}

} // namespace

std::unique_ptr<PosixHeldFolder> PosixHeldFolder::Open(const std::string& path) {
    UniqueFd fd = OpenFolderWithoutLinks(path);
    if (!fd)
        return nullptr;
    std::string shown = path;
    if (!shown.ends_with('/'))
        shown += '/';
    return std::unique_ptr<PosixHeldFolder>(new PosixHeldFolder(std::move(fd), std::move(shown)));
}

UniqueFd PosixHeldFolder::openFile(const std::string& name,
                                   const std::optional<FileIdentity>& identity) const {
    if (!IsPlainName(name))
        return UniqueFd();
    // On a user's word, even reading is that user's; otherwise the reader's own.
    const OwnerRights rights(fd_.get(), word_.value_or(0));
    UniqueFd file(
        ::openat(fd_.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    const std::optional<struct stat> info = file ? StatOf(file.get()) : std::nullopt;
    if (!info || !S_ISREG(info->st_mode) || (identity && IdentityOf(*info) != *identity))
        return UniqueFd();
    return file;
}

std::optional<FileIdentity> PosixHeldFolder::fileIdentity(const std::string& name) {
    const std::optional<struct stat> info = RegularEntry(fd_.get(), name);
    return info ? std::optional(IdentityOf(*info)) : std::nullopt;
}

std::optional<FileOwnership> PosixHeldFolder::fileOwnership(const std::string& name) {
    const std::optional<struct stat> info = RegularEntry(fd_.get(), name);
    if (!info)
        return std::nullopt;
    return FileOwnership{info->st_uid, info->st_gid, info->st_mode & 0777u};
}

std::optional<FileDigest> PosixHeldFolder::fileDigest(const std::string& name,
                                                      std::uint64_t maxBytes) {
    const UniqueFd file = openFile(name);
    return file ? DigestOf(file.get(), maxBytes) : std::nullopt;
}

std::optional<FileStamp> PosixHeldFolder::fileStamp(const std::string& name) {
    const std::optional<struct stat> info = RegularEntry(fd_.get(), name);
    if (!info)
        return std::nullopt;
    return FileStamp{IdentityOf(*info), static_cast<std::uint64_t>(info->st_size),
                     std::int64_t{info->st_ctim.tv_sec} * 1'000'000'000 + info->st_ctim.tv_nsec};
}

std::optional<FolderEntries> PosixHeldFolder::entries() {
    // The listing reads through a descriptor of its own, so the held one keeps its offset.
    const int listed = ::openat(fd_.get(), ".", kFolderFlags);
    DIR* stream = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!stream) {
        if (listed >= 0)
            ::close(listed);
        return std::nullopt;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> closer(stream, ::closedir);
    FolderEntries found;
    while (const dirent* entry = ::readdir(stream)) {
        const std::string name = entry->d_name;
        struct stat info;
        if (!IsPlainName(name) ||
            ::fstatat(fd_.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(info.st_mode))
            found.files.push_back(name);
        else if (S_ISDIR(info.st_mode))
            found.folders.push_back(name);
    }
    return found;
}

std::optional<FileSystemOf> PosixHeldFolder::fileSystem() {
    const std::optional<struct stat> info = StatOf(fd_.get());
    if (!info)
        return std::nullopt;
    return FileSystemOf{static_cast<std::uint64_t>(info->st_dev), OnPseudoFileSystem(fd_.get())};
}

std::unique_ptr<MappedFile> PosixHeldFolder::mapFile(const std::string& name,
                                                     const FileIdentity& identity) {
    const UniqueFd file = openFile(name, identity);
    const std::optional<struct stat> info = file ? StatOf(file.get()) : std::nullopt;
    if (!info)
        return nullptr;
    const auto size = static_cast<std::size_t>(info->st_size);
    if (size <= kReadIntoMemoryBytes) {
        std::optional<std::string> bytes = ReadUpTo(file.get(), size);
        return bytes ? std::make_unique<PosixReadFile>(std::move(*bytes)) : nullptr;
    }
    void* start = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.get(), 0);
    return start == MAP_FAILED ? nullptr : std::make_unique<PosixMappedFile>(start, size);
}

bool PosixHeldFolder::deleteFile(const std::string& name, const FileIdentity& identity) {
    const OwnerRights rights(fd_.get(), word_);
    const std::optional<struct stat> info = RegularEntry(fd_.get(), name);
    if (!info || IdentityOf(*info) != identity)
        return false;
    return ::unlinkat(fd_.get(), name.c_str(), 0) == 0;
}

bool PosixHeldFolder::copyFile(const std::string& name, const FileIdentity& identity,
                               HeldFolder& to, const std::string& toName) {
    PosixHeldFolder* target = AsPosix(to);
    const UniqueFd source = openFile(name, identity);
    if (!target || !source || !IsPlainName(toName) || !IsOwnFolder(target->fd()))
        return false;
    const std::string fresh = ".~" + toName + "." + UniqueTemporaryPart() + ".tmp";
    bool copied = false;
    {
        const UniqueFd copy(::openat(target->fd(), fresh.c_str(),
                                     O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!copy)
            return false;
        // The umask can only take bits away; no exec, setuid or setgid bit ever comes along.
        copied = ::fchmod(copy.get(), 0600) == 0 && CopyFileContent(source.get(), copy.get());
    }
    if (copied && ::renameat(target->fd(), fresh.c_str(), target->fd(), toName.c_str()) == 0)
        return true;
    ::unlinkat(target->fd(), fresh.c_str(), 0);
    return false;
}

bool PosixHeldFolder::linkFile(const std::string& name, HeldFolder& to, const std::string& toName) {
    PosixHeldFolder* target = AsPosix(to);
    if (!target || !RegularEntry(fd_.get(), name) || !IsPlainName(toName))
        return false;
    const OwnerRights rights(target->fd(), target->word_);
    return ::linkat(fd_.get(), name.c_str(), target->fd(), toName.c_str(), 0) == 0;
}

bool PosixHeldFolder::restoreFile(HeldFolder& from, const std::string& fromName,
                                  const std::string& name, const FileOwnership& ownership) {
    PosixHeldFolder* origin = AsPosix(from);
    const UniqueFd source = origin ? origin->openFile(fromName) : UniqueFd();
    if (!source || !IsPlainName(name))
        return false;
    const OwnerRights rights(fd_.get(), word_);
    const UniqueFd file(::openat(fd_.get(), name.c_str(),
                                 O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file)
        return false;
    // Root gives the file back to its owner; a folder owner's file stays the folder owner's.
    const bool owned = ::geteuid() != 0 || StatOf(fd_.get())->st_uid != 0 ||
                       ::fchown(file.get(), ownership.user, ownership.group) == 0;
    // Only the permission bits come back: never setuid, setgid or sticky.
    if (owned && CopyFileContent(source.get(), file.get()) &&
        ::fchmod(file.get(), ownership.mode & 0777u) == 0 && ::fsync(file.get()) == 0)
        return true;
    ::unlinkat(fd_.get(), name.c_str(), 0);
    return false;
}

std::unique_ptr<HeldFolder> PosixHeldFolder::folder(const std::string& name, bool create) {
    if (!IsPlainName(name))
        return nullptr;
    if (create) {
        const OwnerRights rights(fd_.get(), word_);
        ::mkdirat(fd_.get(), name.c_str(), 0700);
    }
    UniqueFd child(::openat(fd_.get(), name.c_str(), kFolderFlags));
    if (!child)
        return nullptr;
    auto held =
        std::unique_ptr<PosixHeldFolder>(new PosixHeldFolder(std::move(child), path_ + name + '/'));
    held->word_ = word_;
    return held;
}

std::vector<std::string> PosixHeldFolder::entryNames() {
    // The listing reads through a descriptor of its own, so the held one keeps its position.
    std::vector<std::string> names;
    const int listing = ::openat(fd_.get(), ".", kFolderFlags);
    DIR* folder = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!folder) {
        if (listing >= 0)
            ::close(listing);
        return names;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(folder);
    return names;
}

bool PosixHeldFolder::hasEntry(const std::string& name) {
    struct stat info;
    return IsPlainName(name) && ::fstatat(fd_.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

std::optional<std::string> PosixHeldFolder::readFile(const std::string& name,
                                                     std::uint64_t maxBytes) {
    if (!IsPlainName(name))
        return std::nullopt;
    const OwnerRights rights(fd_.get(), word_.value_or(0));
    return ReadRegularFileIn(fd_.get(), name, static_cast<std::size_t>(maxBytes));
}

bool PosixHeldFolder::replaceFile(const std::string& name, const std::string& bytes) {
    const OwnerRights rights(fd_.get(), word_);
    return ReplaceFileIn(fd_.get(), name, bytes);
}

bool PosixHeldFolder::appendFile(const std::string& name, const std::string& bytes) {
    const OwnerRights rights(fd_.get(), word_);
    return AppendToFileIn(fd_.get(), name, bytes);
}

std::uint32_t PosixHeldFolder::fileAttributes(const std::string& name) {
    const std::optional<struct stat> info = RegularEntry(fd_.get(), name);
    if (!info)
        return FileAttribute::Invalid;
    return (info->st_mode & S_IWUSR) ? 0 : FileAttribute::ReadOnly;
}

bool PosixHeldFolder::setFileAttributes(const std::string& name, std::uint32_t attributes) {
    if (!IsPlainName(name))
        return false;
    const OwnerRights rights(fd_.get(), word_);
    // Opened without following a link, so the change reaches this very file.
    const UniqueFd file(
        ::openat(fd_.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    const std::optional<struct stat> info = file ? StatOf(file.get()) : std::nullopt;
    if (!info || !S_ISREG(info->st_mode))
        return false;
    mode_t mode = info->st_mode & 07777;
    mode = (attributes & FileAttribute::ReadOnly) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
    return ::fchmod(file.get(), mode) == 0;
}

std::string PosixHeldFolder::readProfileString(const std::string& name, const std::string& section,
                                               const std::string& key,
                                               const std::string& fallback) {
    return ReadProfile(*this, name, section, key, fallback);
}

bool PosixHeldFolder::writeProfileString(const std::string& name, const std::string& section,
                                         const std::string& key, const std::string& value) {
    return WriteProfile(*this, name, section, key, value);
}

std::optional<std::string> PosixHeldFolder::linkTarget(const std::string& name) {
    struct stat info;
    if (!IsPlainName(name) || ::fstatat(fd_.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISLNK(info.st_mode))
        return std::nullopt;
    char target[PATH_MAX];
    const ssize_t length = ::readlinkat(fd_.get(), name.c_str(), target, sizeof target);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof target)
        return std::nullopt;
    return std::string(target, static_cast<std::size_t>(length));
}

bool PosixHeldFolder::deleteLink(const std::string& name, const std::string& target) {
    const OwnerRights rights(fd_.get(), word_);
    return linkTarget(name) == target && ::unlinkat(fd_.get(), name.c_str(), 0) == 0;
}

bool PosixHeldFolder::createLink(const std::string& name, const std::string& target) {
    if (!IsPlainName(name) || target.empty() || target.find('\0') != std::string::npos)
        return false;
    const OwnerRights rights(fd_.get(), word_);
    return ::symlinkat(target.c_str(), fd_.get(), name.c_str()) == 0;
}

} // namespace pestrel

namespace pestrel {

void PosixHeldFolder::actFor(std::uint32_t user) {
    if (user != 0)
        word_ = user;
}

std::optional<std::uint32_t> PosixHeldFolder::owner() {
    const std::optional<struct stat> info = StatOf(fd_.get());
    return info ? std::optional<std::uint32_t>(info->st_uid) : std::nullopt;
}

} // namespace pestrel
