// Copies and second names of files in held folders. A source is held open, compared and read
// through one handle; a copy is written to a new name that nothing else may open and takes its
// place by a rename of that same handle, so nothing already at the target is ever written through.

#include "base/FileBytes.h"
#include "platform/win32/Win32HeldFolder.h"

#include <cstring>
#include <vector>

namespace pestrel {

namespace {

constexpr DWORD kChunkBytes = 1 << 16;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool CopyBytes(HANDLE from, HANDLE to) {
    std::vector<char> chunk(kChunkBytes);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(from, chunk.data(), kChunkBytes, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        DWORD written = 0;
        if (!WriteFile(to, chunk.data(), read, &written, nullptr) || written != read)
            return false;
    }
}

bool MakeReadOnly(HANDLE file) {
    FILE_BASIC_INFO info;
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof info))
        return false;
    info.FileAttributes |= FILE_ATTRIBUTE_READONLY;
    return SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info) != 0;
}

} // namespace

bool Win32HeldFolder::hasRoomFor(std::uint64_t bytes) const {
    ULARGE_INTEGER available, total;
    if (!GetDiskFreeSpaceExA(path_.c_str(), &available, &total, nullptr))
        return false;
    return bytes <= available.QuadPart && available.QuadPart - bytes >= total.QuadPart / 20;
}

bool Win32HeldFolder::copyFile(const std::string& name, const FileIdentity& identity,
                               HeldFolder& to, const std::string& toName) {
    auto* target = dynamic_cast<Win32HeldFolder*>(&to);
    if (target == nullptr || !IsEntryName(toName))
        return false;
    // Read by others only: it can be neither changed nor renamed while it is copied.
    const UniqueHandle source = openFile(name, GENERIC_READ, FILE_SHARE_READ);
    LARGE_INTEGER size;
    if (!source || IdentityOf(source.get()) != identity || !userMay(source.get(), FILE_READ_DATA) ||
        !GetFileSizeEx(source.get(), &size) || !target->hasRoomFor(std::uint64_t(size.QuadPart)))
        return false;
    const UniqueHandle copy = target->createFile(".~" + UniqueTemporaryPart() + ".tmp", true);
    if (!copy)
        return false;
    if (CopyBytes(source.get(), copy.get()) && FlushFileBuffers(copy.get()) &&
        RenameOver(copy.get(), target->path_ + toName))
        return true;
    deleteOnClose(copy.get());
    return false;
}

bool Win32HeldFolder::linkFile(const std::string& name, HeldFolder& to, const std::string& toName) {
    auto* target = dynamic_cast<Win32HeldFolder*>(&to);
    if (target == nullptr || !IsEntryName(toName))
        return false;
    const UniqueHandle source = openFile(name, FILE_READ_ATTRIBUTES, kShareAll);
    const auto identity = source ? IdentityOf(source.get()) : std::nullopt;
    // CreateHardLinkA fails on an existing entry; it finds the source by its path again, so the
    // new name must turn out to be the file that was checked, or it goes.
    if (!identity ||
        !CreateHardLinkA((target->path_ + toName).c_str(), (path_ + name).c_str(), nullptr))
        return false;
    const UniqueHandle linked = target->openFile(toName, DELETE | FILE_READ_ATTRIBUTES, kShareAll);
    if (linked && IdentityOf(linked.get()) == identity)
        return true;
    if (linked)
        deleteOnClose(linked.get());
    return false;
}

bool Win32HeldFolder::restoreFile(HeldFolder& from, const std::string& fromName,
                                  const std::string& name, const FileOwnership& ownership) {
    auto* source = dynamic_cast<Win32HeldFolder*>(&from);
    if (source == nullptr)
        return false;
    const UniqueHandle original = source->openFile(fromName, GENERIC_READ, FILE_SHARE_READ);
    if (!original)
        return false;
    const UniqueHandle restored = createFile(name, false);
    if (!restored)
        return false;
    if (CopyBytes(original.get(), restored.get()) && FlushFileBuffers(restored.get()) &&
        ((ownership.mode & 0200) || MakeReadOnly(restored.get())))
        return true;
    deleteOnClose(restored.get());
    return false;
}

} // namespace pestrel
