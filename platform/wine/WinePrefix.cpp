#include "platform/wine/WinePrefix.h"

#include "base/AsciiCase.h"
#include "base/FileBytes.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace pestrel::wine {
namespace {

namespace fs = std::filesystem;

// The child of `folder` named `name`, or one whose name differs only in ASCII case.
fs::path ChildIgnoringCase(const fs::path& folder, std::string_view name) {
    fs::path exact = folder / std::string(name);
    std::error_code error;
    if (fs::exists(fs::symlink_status(exact, error)))
        return exact;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string child = it->path().filename().string();
        if (EqualsIgnoringAsciiCase(child, name))
            return it->path();
    }
    return exact;
}

} // namespace

WinePrefix::WinePrefix(fs::path folder) : folder_(std::move(folder)) {
    struct stat info {};
    if (::stat(folder_.c_str(), &info) == 0) {
        device_ = info.st_dev;
        inode_ = info.st_ino;
        owner_ = info.st_uid;
    }
    char name[64];
    std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(device_),
                  static_cast<unsigned long long>(inode_));
    serverFolderName_ = name;
}

std::variant<WinePrefix, std::string> WinePrefix::Open(const fs::path& folder) {
    std::error_code error;
    const fs::path absolute = fs::absolute(folder, error).lexically_normal();
    if (error || !fs::is_directory(absolute, error))
        return "\"" + folder.string() + "\" is not a folder";
    for (const char* part : {"drive_c/windows", "dosdevices"}) {
        if (!fs::is_directory(absolute / part, error))
            return "\"" + folder.string() + "\" is not a Wine prefix: it has no " + part +
                   " folder";
    }
    for (const char* part : {"system.reg", "user.reg"}) {
        if (!fs::is_regular_file(absolute / part, error))
            return "\"" + folder.string() + "\" is not a Wine prefix: it has no " + part +
                   " registry file";
    }
    fs::path clean = absolute;
    if (!clean.has_filename())
        clean = clean.parent_path();
    return WinePrefix(std::move(clean));
}

std::string WinePrefix::windowsFolder() const {
    return (folder_ / "drive_c" / "windows").string();
}

std::string WinePrefix::systemFolder() const {
    return (folder_ / "drive_c" / "windows" / "system32").string();
}

std::string WinePrefix::machineHive() const {
    return (folder_ / "system.reg").string();
}

std::string WinePrefix::userHive() const {
    return (folder_ / "user.reg").string();
}

std::optional<std::string> WinePrefix::linuxPath(std::string_view windowsPath) const {
    for (std::string_view device : {"\\\\?\\", "\\??\\"}) {
        if (windowsPath.starts_with(device))
            windowsPath.remove_prefix(device.size());
    }
    if (windowsPath.size() < 2 || windowsPath[1] != ':' ||
        !((windowsPath[0] >= 'a' && windowsPath[0] <= 'z') ||
          (windowsPath[0] >= 'A' && windowsPath[0] <= 'Z')))
        return std::nullopt;
    const std::string drive = {static_cast<char>(windowsPath[0] | 0x20), ':'};
    std::error_code error;
    const fs::path link = folder_ / "dosdevices" / drive;
    const fs::path target = fs::read_symlink(link, error);
    if (error)
        return std::nullopt;
    const fs::path root =
        (target.is_absolute() ? target : link.parent_path() / target).lexically_normal();
    fs::path path = root;
    windowsPath.remove_prefix(2);
    std::size_t pos = 0;
    while (pos < windowsPath.size()) {
        std::size_t next = windowsPath.find_first_of("\\/", pos);
        if (next == std::string_view::npos)
            next = windowsPath.size();
        const std::string_view part = windowsPath.substr(pos, next - pos);
        if (part == "..") {
            if (path != root) // as on Windows, ".." stops at the drive's root
                path = path.parent_path();
        } else if (!part.empty() && part != ".")
            path = ChildIgnoringCase(path, part);
        pos = next + 1;
    }
    return path.string();
}

std::vector<std::string> WinePrefix::serverLockFiles() const {
    std::vector<std::string> files;
    const std::string tail = "/" + serverFolderName_ + "/lock";
    std::string named = ReadFileBytes((folder_ / "wineserver").string()).value_or("");
    while (!named.empty() && (named.back() == '\n' || named.back() == ' '))
        named.pop_back();
    if (!named.empty() && named.find('/') == std::string::npos && named != "..") {
        const char* temp = std::getenv("TMPDIR");
        if (temp && *temp == '/')
            files.push_back(temp + ("/" + named) + tail);
        files.push_back("/tmp/" + named + tail);
    }
    // Wine runs only as the prefix's owner: its server's folder is the owner's, whoever asks.
    files.push_back("/tmp/.wine-" + std::to_string(owner_.value_or(::getuid())) + tail);
    return files;
}

bool WinePrefix::isSameFolder(const std::string& folder) const {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_;
}

} // namespace pestrel::wine
