#include "guard/ListedCode.h"

#include "guard/KernelName.h"
#include "platform/posix/FileCopy.h"

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace pestrel::guard {
namespace {

std::string ProcPath(std::uint32_t pid, const std::string& what) {
    return "/proc/" + std::to_string(pid) + "/" + what;
}

std::optional<std::string> LinkOf(const std::string& path) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof target))
        return std::nullopt;
    return std::string(target, length);
}

std::string LastPart(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The dynamic loader of glibc or musl: ld-linux-x86-64.so.2, ld-linux.so.2, ld.so, ld-musl-*.
bool IsLoader(std::string_view exe) {
    const std::string name = LastPart(exe);
    return name == "ld.so" || (name.starts_with("ld-") && name.find(".so") != std::string::npos);
}

bool HasNoName(std::string_view path) {
    return path.ends_with(" (deleted)") || path.starts_with("/memfd:");
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0)
        return std::nullopt;
    return FileIdentity{file.st_dev, file.st_ino};
}

// The hash line naming what the file at `path` (reached through /proc) holds.
const std::string* ListedDigest(const std::string& path, const GuardList& list) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat file {};
    std::optional<FileDigest> digest;
    if (::fstat(fd, &file) == 0 && S_ISREG(file.st_mode) &&
        static_cast<std::uint64_t>(file.st_size) <= kLargestHashedImage)
        digest = DigestOf(fd, kLargestHashedImage);
    ::close(fd);
    return digest ? list.entryForDigest(digest->sha256) : nullptr;
}

// The executable mappings: the program, its loader and, once loaded, its libraries.
std::optional<ListedCode> ListedMapping(std::uint32_t pid, const GuardList& list, bool digests) {
    std::ifstream maps(ProcPath(pid, "maps"));
    std::string line;
    while (std::getline(maps, line)) {
        // START-END PERMS OFFSET DEVICE INODE PATH
        std::istringstream fields(line);
        std::string range, perms, offset, device, inode;
        if (!(fields >> range >> perms >> offset >> device >> inode) || perms.size() < 3 ||
            perms[2] != 'x')
            continue;
        std::string path;
        std::getline(fields >> std::ws, path);
        if (!path.starts_with('/'))
            continue; // anonymous, [vdso] and the like
        const std::string mapped = ProcPath(pid, "map_files/" + range);
        const std::string* entry = list.entryFor(ImageName(path));
        if (!entry && digests && list.hasHashes() && HasNoName(path))
            entry = ListedDigest(mapped, list);
        if (!entry)
            continue;
        // A file of no name is shown as the kernel shows it: `/memfd:NAME (deleted)`.
        const bool onDisk = !HasNoName(path);
        const std::optional<FileIdentity> identity = IdentityOf(mapped);
        return ListedCode{*entry, path, identity.value_or(FileIdentity{}), identity && onDisk};
    }
    return std::nullopt;
}

// A program file named by the loader's arguments: the loader maps it only after it starts.
std::optional<ListedCode> ListedLoaderArgument(std::uint32_t pid, const GuardList& list) {
    std::ifstream file(ProcPath(pid, "cmdline"), std::ios::binary);
    std::string argument;
    std::getline(file, argument, '\0'); // the loader itself
    const std::string folder = LinkOf(ProcPath(pid, "cwd")).value_or("") + "/";
    while (std::getline(file, argument, '\0')) {
        const std::string* entry = list.entryFor(argument);
        if (!entry)
            continue;
        const std::string path = argument.starts_with('/') ? argument : folder + argument;
        const std::optional<FileIdentity> identity =
            IdentityOf(argument.starts_with('/') ? argument : ProcPath(pid, "cwd/" + argument));
        return ListedCode{*entry, path, identity.value_or(FileIdentity{}), identity.has_value()};
    }
    return std::nullopt;
}

} // namespace

bool RunsDoubtfulImage(std::string_view exe) {
    return IsLoader(exe) || HasNoName(exe);
}

std::optional<ListedCode> ListedCodeOf(std::uint32_t pid, const GuardList& list, bool digests) {
    if (std::optional<ListedCode> mapped = ListedMapping(pid, list, digests))
        return mapped;
    const std::optional<std::string> exe = LinkOf(ProcPath(pid, "exe"));
    return exe && IsLoader(*exe) ? ListedLoaderArgument(pid, list) : std::nullopt;
}

} // namespace pestrel::guard
