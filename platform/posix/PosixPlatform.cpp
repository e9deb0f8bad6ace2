#include "platform/posix/PosixPlatform.h"

#include "base/FileBytes.h"
#include "base/IniFile.h"
#include "platform/posix/FolderTrust.h"
#include "platform/posix/HiveFile.h"
#include "platform/posix/ProcessTable.h"
#include "platform/posix/SafeCopy.h"

#include <chrono>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pestrel {
namespace {

namespace fs = std::filesystem;

std::string RunningProgram() {
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof target)
        return {};
    return std::string(target, static_cast<std::size_t>(length));
}

bool StatOf(const std::string& path, struct stat& info) {
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

PosixPlatform::PosixPlatform(fs::path dataRoot, std::string programFile)
    : dataRoot_(std::move(dataRoot)),
      programFile_(programFile.empty() ? RunningProgram() : std::move(programFile)),
      localMachine_(std::make_unique<HiveFile>(
          (dataRoot_ / "Registry" / "HKEY_LOCAL_MACHINE.reg").string(), "HKEY_LOCAL_MACHINE")),
      currentUser_(std::make_unique<HiveFile>(
          (dataRoot_ / "Registry" / "HKEY_CURRENT_USER.reg").string(), "HKEY_CURRENT_USER")) {
    // The administrator creates nothing in folders others could have prepared; the program
    // refuses to act there anyway.
    if (!foldersOthersCanChange({}).empty())
        return;
    std::error_code ignored;
    fs::create_directories(dataRoot_ / "Windows" / "System32", ignored);
    fs::create_directories(dataRoot_ / "Registry", ignored);
}

PosixPlatform::~PosixPlatform() = default;

fs::path PosixPlatform::DefaultDataRoot() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return fs::path(data) / "pestrel";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user && user->pw_dir ? user->pw_dir : "/tmp";
    }
    return fs::path(home) / ".local" / "share" / "pestrel";
}

std::string PosixPlatform::hiveFile(RegRoot root) const {
    return (root == RegRoot::CurrentUser ? currentUser_ : localMachine_)->path();
}

void PosixPlatform::setRefuseRegistryWrites(RegRoot root, bool refuse) {
    (root == RegRoot::CurrentUser ? currentUser_ : localMachine_)->setRefuseWrites(refuse);
}

std::string PosixPlatform::windowsFolder() {
    return (dataRoot_ / "Windows").string();
}

std::string PosixPlatform::systemFolder() {
    return (dataRoot_ / "Windows" / "System32").string();
}

std::string PosixPlatform::programFile() {
    return programFile_;
}

std::vector<ProcessRecord> PosixPlatform::processSnapshot(SnapshotDetail detail) {
    return ReadProcessTable(detail);
}

void PosixPlatform::requestClose(const std::string&) {}

bool PosixPlatform::terminateProcess(const ProcessRecord& process) {
    return EndProcess(process);
}

HiveFile& PosixPlatform::hiveFor(RegRoot root, std::string& key) {
    if (root == RegRoot::CurrentUser)
        return *currentUser_;
    if (root == RegRoot::ClassesRoot)
        key = "Software\\Classes\\" + key;
    return *localMachine_;
}

bool PosixPlatform::createKey(RegRoot root, const std::string& key) {
    std::string path = key;
    if (!RegistryHive::CanStore(path))
        return false;
    return hiveFor(root, path).modify([&](RegistryHive& hive) {
        return HiveFile::Outcome{true, hive.createKey(path)};
    });
}

bool PosixPlatform::setValue(RegRoot root, const std::string& key, const std::string& name,
                             const RegValue& value) {
    std::string path = key;
    if (!RegistryHive::CanStore(path) || !RegistryHive::CanStore(name) ||
        (value.kind == RegValue::Kind::Text && !RegistryHive::CanStore(value.text)))
        return false;
    return hiveFor(root, path).modify([&](RegistryHive& hive) {
        return HiveFile::Outcome{true, hive.setValue(path, name, value)};
    });
}

std::optional<RegValue> PosixPlatform::queryValue(RegRoot root, const std::string& key,
                                                  const std::string& name) {
    std::string path = key;
    std::optional<RegValue> value;
    hiveFor(root, path).read([&](const RegistryHive& hive) { value = hive.value(path, name); });
    return value;
}

bool PosixPlatform::deleteValue(RegRoot root, const std::string& key, const std::string& name) {
    std::string path = key;
    return hiveFor(root, path).modify([&](RegistryHive& hive) {
        const bool deleted = hive.deleteValue(path, name);
        return HiveFile::Outcome{deleted, deleted};
    });
}

bool PosixPlatform::fileExists(const std::string& path) {
    struct stat info;
    return StatOf(path, info) && S_ISREG(info.st_mode);
}

bool PosixPlatform::folderExists(const std::string& path) {
    struct stat info;
    return StatOf(path, info) && S_ISDIR(info.st_mode);
}

bool PosixPlatform::createFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0700) == 0;
}

bool PosixPlatform::deleteFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool PosixPlatform::copyFile(const std::string& from, const std::string& to) {
    return SafeCopy(from, to);
}

bool PosixPlatform::copyProgramFile(const std::string& from, const FileIdentity& image,
                                    const std::string& to) {
    return SafeCopy(from, to, image);
}

bool PosixPlatform::appendToFile(const std::string& path, const std::string& bytes) {
    return AppendToFile(path, bytes);
}

std::uint32_t PosixPlatform::fileAttributes(const std::string& path) {
    struct stat info;
    if (!StatOf(path, info))
        return FileAttribute::Invalid;
    return (info.st_mode & S_IWUSR) ? 0 : FileAttribute::ReadOnly;
}

bool PosixPlatform::setFileAttributes(const std::string& path, std::uint32_t attributes) {
    struct stat info;
    if (!StatOf(path, info))
        return false;
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & FileAttribute::ReadOnly) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
    return ::chmod(path.c_str(), mode) == 0;
}

std::string PosixPlatform::readProfileString(const std::string& file, const std::string& section,
                                             const std::string& key, const std::string& fallback) {
    return ini::ReadFile(file, section, key, fallback);
}

bool PosixPlatform::writeProfileString(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& value) {
    return ini::WriteFile(file, section, key, value);
}

void PosixPlatform::sleepMs(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::vector<std::string>
PosixPlatform::foldersOthersCanChange(const std::vector<std::string>& folders) {
    std::vector<std::string> unsafe;
    if (::geteuid() != 0)
        return unsafe;
    std::vector<std::string> all = folders;
    for (const fs::path& own : {dataRoot_, dataRoot_ / "Windows",
                                dataRoot_ / "Windows" / "System32", dataRoot_ / "Registry"})
        all.push_back(own.string());
    for (const std::string& folder : all) {
        if (OthersCanChange(folder))
            unsafe.push_back(folder);
    }
    return unsafe;
}

} // namespace pestrel
