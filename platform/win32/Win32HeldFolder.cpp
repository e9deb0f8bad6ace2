#include "platform/win32/Win32HeldFolder.h"

#include "platform/win32/Win32Digest.h"

#include <cctype>
#include <cstring>
#include <sddl.h>
#include <vector>

namespace pestrel {

namespace {

// Folder handles open the folder itself, never what a reparse point leads to.
constexpr DWORD kFolderFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
// Others may list a held folder and add to it, but not rename or remove it. Reading its entries is
// asked for because only an open that reads records its share mode.
constexpr DWORD kFolderAccess = GENERIC_READ;
constexpr DWORD kFolderShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::optional<BY_HANDLE_FILE_INFORMATION> InfoOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    return info;
}

bool IsRegularFile(HANDLE handle) {
    const auto info = InfoOf(handle);
    return info && GetFileType(handle) == FILE_TYPE_DISK &&
           !(info->dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

bool IsPlainFolder(HANDLE handle) {
    const auto info = InfoOf(handle);
    return info && (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(info->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Where the open file really is, links resolved, without a trailing separator; empty when the
// system cannot tell.
std::wstring FinalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), DWORD(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return {};
        // Too small a buffer gives the length the path needs, its terminating NUL included.
        const bool fits = length < path.size();
        path.resize(length);
        if (fits)
            break;
    }
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

// Whether the open `handle` is the entry `name` of the folder whose final path is `folder`, and
// not something reached through a link. Names compare as the file system does, without case.
bool IsEntryOf(const std::wstring& folder, HANDLE handle, const std::string& name) {
    const std::wstring actual = FinalPath(handle);
    const std::wstring expected = folder + L'\\' + Wide(name);
    return !actual.empty() &&
           CompareStringOrdinal(actual.data(), int(actual.size()), expected.data(),
                                int(expected.size()), TRUE) == CSTR_EQUAL;
}

// The absolute form of `path` with '\' between names and at the end; empty when there is none.
std::string FullPath(const std::string& path) {
    std::string full(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameA(path.c_str(), DWORD(full.size()), full.data(), nullptr);
        if (length == 0)
            return {};
        const bool fits = length < full.size();
        full.resize(length);
        if (fits)
            break;
    }
    if (full.back() != '\\')
        full += '\\';
    return full;
}

// The length of the root of a full path: "C:\" or "\\server\share\"; 0 for anything else.
std::size_t RootLength(const std::string& full) {
    if (full.size() >= 3 && std::isalpha(static_cast<unsigned char>(full[0])) && full[1] == ':' &&
        full[2] == '\\')
        return 3;
    if (!full.starts_with("\\\\") || full.starts_with("\\\\?\\") || full.starts_with("\\\\.\\"))
        return 0;
    const std::size_t server = full.find('\\', 2);
    if (server == std::string::npos || server == 2)
        return 0;
    const std::size_t share = full.find('\\', server + 1);
    return share == std::string::npos || share == server + 1 ? 0 : share + 1;
}

// A security descriptor that gives the object's owner full access and no one else any, and is not
// widened by what the parent folder hands down.
class OwnerOnlySecurity {
public:
    OwnerOnlySecurity() {
        if (ConvertStringSecurityDescriptorToSecurityDescriptorA(
                "D:P(A;OICI;FA;;;OW)", SDDL_REVISION_1, &descriptor_, nullptr))
            attributes_ = {sizeof attributes_, descriptor_, FALSE};
    }
    ~OwnerOnlySecurity() { LocalFree(descriptor_); }
    OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
    OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;

    // Null when the descriptor could not be made.
    SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_ = {};
};

} // namespace

std::optional<FileIdentity> IdentityOf(HANDLE file) {
    const auto info = InfoOf(file);
    if (!info)
        return std::nullopt;
    return FileIdentity{info->dwVolumeSerialNumber,
                        (std::uint64_t(info->nFileIndexHigh) << 32) | info->nFileIndexLow};
}

std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

// Renames the open file to the full path `path`, replacing the file there.
bool RenameOver(HANDLE file, const std::string& path) {
    const std::wstring target = Wide(path);
    const DWORD nameBytes = DWORD(target.size() * sizeof(wchar_t));
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = nameBytes;
    std::memcpy(rename->FileName, target.data(), nameBytes);
    return SetFileInformationByHandle(file, FileRenameInfo, rename, DWORD(buffer.size())) != 0;
}

std::optional<std::string> ExactAnsi(std::wstring_view wide) {
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                         int(wide.size()), nullptr, 0, nullptr, &lossy);
    std::string text(std::size_t(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), text.data(),
                        size, nullptr, &lossy);
    if (lossy || (size == 0 && !wide.empty()))
        return std::nullopt;
    return text;
}

bool IsEntryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("\\/:\0", 4)) == std::string::npos;
}

Win32HeldFolder::Win32HeldFolder(std::string path, std::shared_ptr<const Step> step)
    : path_(std::move(path)), step_(std::move(step)) {}

std::unique_ptr<HeldFolder> Win32HeldFolder::hold(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return nullptr;
    const std::string full = FullPath(path);
    const std::size_t root = RootLength(full);
    if (root == 0)
        return nullptr;
    std::string walked = full.substr(0, root);
    auto step = openStep(walked, {}, nullptr);
    for (std::size_t start = root; step && start < full.size();) {
        const std::size_t end = full.find('\\', start);
        const std::string name = full.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;
        walked += name;
        step = openStep(walked, name, std::move(step));
        walked += '\\';
    }
    if (!step)
        return nullptr;
    return std::unique_ptr<HeldFolder>(new Win32HeldFolder(walked, std::move(step)));
}

UniqueHandle Win32HeldFolder::openForChanges(const std::string& path) {
    const std::unique_ptr<HeldFolder> held = hold(path);
    if (!held)
        return {};
    // Opened by its path while every step of it is held, and checked to be the held folder.
    UniqueHandle handle(CreateFileA(held->path().c_str(),
                                    FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                    OPEN_EXISTING, kFolderFlags | FILE_FLAG_OVERLAPPED, nullptr));
    const Step& step = *static_cast<const Win32HeldFolder&>(*held).step_;
    const std::optional<FileIdentity> identity = handle ? IdentityOf(handle.get()) : std::nullopt;
    if (!identity || !IsPlainFolder(handle.get()) || identity != IdentityOf(step.handle.get()))
        return {};
    return handle;
}

std::shared_ptr<const Win32HeldFolder::Step>
Win32HeldFolder::openStep(const std::string& path, const std::string& name,
                          std::shared_ptr<const Step> above) {
    UniqueHandle handle(CreateFileA(path.c_str(), kFolderAccess, kFolderShare, nullptr,
                                    OPEN_EXISTING, kFolderFlags, nullptr));
    if (!handle || !IsPlainFolder(handle.get()) ||
        (above && !IsEntryOf(above->finalPath, handle.get(), name)))
        return nullptr;
    std::wstring finalPath = FinalPath(handle.get());
    if (finalPath.empty())
        return nullptr;
    return std::make_shared<const Step>(
        Step{std::move(handle), std::move(finalPath), std::move(above)});
}

UniqueHandle Win32HeldFolder::openFile(const std::string& name, DWORD access, DWORD share) const {
    if (!IsEntryName(name))
        return {};
    UniqueHandle file(CreateFileA((path_ + name).c_str(), access, share, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file || !IsRegularFile(file.get()) || !IsEntryOf(step_->finalPath, file.get(), name))
        return {};
    return file;
}

UniqueHandle Win32HeldFolder::createFile(const std::string& name, bool ownerOnly) const {
    OwnerOnlySecurity security;
    if (!IsEntryName(name) || (ownerOnly && security.attributes() == nullptr))
        return {};
    // No sharing: nothing else opens it until it is whole.
    UniqueHandle file(CreateFileA((path_ + name).c_str(), GENERIC_WRITE | DELETE, 0,
                                  ownerOnly ? security.attributes() : nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file && !IsEntryOf(step_->finalPath, file.get(), name)) {
        deleteOnClose(file.get());
        return {};
    }
    return file;
}

bool Win32HeldFolder::deleteOnClose(HANDLE file) {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

std::optional<FileIdentity> Win32HeldFolder::fileIdentity(const std::string& name) {
    const UniqueHandle file = openFile(name, FILE_READ_ATTRIBUTES, kShareAll);
    return file ? IdentityOf(file.get()) : std::nullopt;
}

std::optional<FileOwnership> Win32HeldFolder::fileOwnership(const std::string& name) {
    const UniqueHandle file = openFile(name, FILE_READ_ATTRIBUTES | READ_CONTROL, kShareAll);
    const auto info = file ? InfoOf(file.get()) : std::nullopt;
    if (!info)
        return std::nullopt;
    return FileOwnership{OwnerOf(file.get(), SE_FILE_OBJECT), 0,
                         (info->dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444u : 0644u};
}

std::optional<FileDigest> Win32HeldFolder::fileDigest(const std::string& name,
                                                      std::uint64_t maxBytes) {
    // No one writes to it while it is read.
    const UniqueHandle file = openFile(name, GENERIC_READ, FILE_SHARE_READ);
    return file ? DigestOf(file.get(), maxBytes) : std::nullopt;
}

std::optional<FileSystemOf> Win32HeldFolder::fileSystem() {
    const std::optional<FileIdentity> identity = IdentityOf(step_->handle.get());
    return identity ? std::optional(FileSystemOf{identity->device, false}) : std::nullopt;
}

namespace {

class Win32MappedFile final : public MappedFile {
public:
    Win32MappedFile(UniqueHandle file, UniqueHandle mapping, const void* view, std::size_t size)
        : file_(std::move(file)), mapping_(std::move(mapping)), view_(view), size_(size) {}
    ~Win32MappedFile() override {
        if (view_)
            UnmapViewOfFile(view_);
    }
    std::string_view bytes() const override { return {static_cast<const char*>(view_), size_}; }

private:
    UniqueHandle file_, mapping_;
    const void* view_;
    std::size_t size_;
};

} // namespace

std::unique_ptr<MappedFile> Win32HeldFolder::mapFile(const std::string& name,
                                                     const FileIdentity& identity) {
    UniqueHandle file = openFile(name, GENERIC_READ, FILE_SHARE_READ);
    LARGE_INTEGER size;
    if (!file || IdentityOf(file.get()) != identity || !GetFileSizeEx(file.get(), &size) ||
        std::uint64_t(size.QuadPart) > SIZE_MAX)
        return nullptr;
    if (size.QuadPart == 0)
        return std::make_unique<Win32MappedFile>(std::move(file), UniqueHandle(), nullptr, 0);
    // A mapping that fails is null, not an invalid handle.
    const HANDLE created = CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!created)
        return nullptr;
    UniqueHandle mapping(created);
    const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
    if (!view)
        return nullptr;
    return std::make_unique<Win32MappedFile>(std::move(file), std::move(mapping), view,
                                             std::size_t(size.QuadPart));
}

std::optional<FileStamp> Win32HeldFolder::fileStamp(const std::string& name) {
    const UniqueHandle file = openFile(name, FILE_READ_ATTRIBUTES, kShareAll);
    const auto identity = file ? IdentityOf(file.get()) : std::nullopt;
    FILE_BASIC_INFO basic;
    LARGE_INTEGER size;
    if (!identity ||
        !GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic) ||
        !GetFileSizeEx(file.get(), &size))
        return std::nullopt;
    return FileStamp{*identity, std::uint64_t(size.QuadPart), basic.ChangeTime.QuadPart};
}

std::optional<FolderEntries> Win32HeldFolder::entries() {
    WIN32_FIND_DATAW found;
    const std::wstring pattern = step_->finalPath + L"\\*";
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return std::nullopt;
    FolderEntries entries;
    do {
        const std::optional<std::string> name = ExactAnsi(found.cFileName);
        const DWORD attributes = found.dwFileAttributes;
        if (!name || !IsEntryName(*name) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        (attributes & FILE_ATTRIBUTE_DIRECTORY ? entries.folders : entries.files).push_back(*name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

bool Win32HeldFolder::deleteFile(const std::string& name, const FileIdentity& identity) {
    // The deletion goes through the very handle whose file was compared: whatever is renamed or
    // put at `name` meanwhile, only that file goes.
    const UniqueHandle file =
        openFile(name, DELETE | FILE_READ_ATTRIBUTES | (user_ ? READ_CONTROL : 0), kShareAll);
    return file && IdentityOf(file.get()) == identity && userMay(file.get(), DELETE) &&
           deleteOnClose(file.get());
}

bool Win32HeldFolder::userMay(HANDLE file, ACCESS_MASK access) const {
    if (!user_)
        return true;
    const SecurityDescriptor security = SecurityOf(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION);
    if (access != DELETE)
        return Grants(security.get(), *user_, access);
    const SecurityDescriptor folder =
        SecurityOf(step_->handle.get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION);
    return MayDelete(*user_, security.get(), folder.get());
}

void Win32HeldFolder::actFor(std::uint32_t user) {
    if (user != 0)
        user_ = AccountOf(user);
}

std::optional<std::uint32_t> Win32HeldFolder::owner() {
    return OwnerOf(step_->handle.get(), SE_FILE_OBJECT);
}

std::unique_ptr<HeldFolder> Win32HeldFolder::folder(const std::string& name, bool create) {
    if (!IsEntryName(name))
        return nullptr;
    const std::string path = path_ + name;
    if (create) {
        // An existing entry makes this fail; what it is is checked when it is opened.
        OwnerOnlySecurity security;
        if (security.attributes() != nullptr)
            CreateDirectoryA(path.c_str(), security.attributes());
    }
    auto step = openStep(path, name, step_);
    if (!step)
        return nullptr;
    auto inner =
        std::unique_ptr<Win32HeldFolder>(new Win32HeldFolder(path + '\\', std::move(step)));
    inner->user_ = user_;
    return inner;
}

std::vector<std::string> Win32HeldFolder::entryNames() {
    std::vector<std::string> names;
    alignas(8) BYTE buffer[16384];
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(step_->handle.get(), kind, buffer, sizeof buffer)) {
        kind = FileIdBothDirectoryInfo;
        for (BYTE* at = buffer;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            // A name the system code page cannot carry could not be named back: it is left out.
            std::optional<std::string> name = ExactAnsi(
                std::wstring_view(entry->FileName, entry->FileNameLength / sizeof(WCHAR)));
            if (name && IsEntryName(*name))
                names.push_back(std::move(*name));
            if (entry->NextEntryOffset == 0)
                break;
            at += entry->NextEntryOffset;
        }
    }
    return names;
}

} // namespace pestrel
