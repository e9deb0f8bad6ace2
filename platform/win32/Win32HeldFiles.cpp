// The working files of held folders: read whole, replaced whole, appended to, their attributes,
// and the profile files. Each file is reached by the held folder's own checks (no reparse point,
// no folder, the held folder's very entry).

#include "base/FileBytes.h"
#include "platform/win32/Win32HeldFolder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pestrel {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0)
            return false;
        done += wrote;
    }
    return true;
}

} // namespace

bool Win32HeldFolder::hasEntry(const std::string& name) {
    return IsEntryName(name) &&
           GetFileAttributesA((path_ + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> Win32HeldFolder::readFile(const std::string& name,
                                                     std::uint64_t maxBytes) {
    const UniqueHandle file = openFile(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[16384];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
        if (got == 0)
            return bytes;
        if (bytes.size() + got > maxBytes)
            break;
        bytes.append(buffer, got);
    }
    return std::nullopt;
}

bool Win32HeldFolder::replaceFile(const std::string& name, const std::string& bytes) {
    if (!IsEntryName(name))
        return false;
    const UniqueHandle fresh = createFile(name + ".~" + UniqueTemporaryPart() + ".tmp", false);
    if (!fresh)
        return false;
    // The bytes reach the disk before the name points at them.
    if (WriteAll(fresh.get(), bytes) && FlushFileBuffers(fresh.get()) &&
        RenameOver(fresh.get(), path_ + name))
        return true;
    deleteOnClose(fresh.get());
    return false;
}

bool Win32HeldFolder::appendFile(const std::string& name, const std::string& bytes) {
    constexpr DWORD kAccess = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES;
    UniqueHandle file = openFile(name, kAccess, FILE_SHARE_READ);
    // Created when missing; one that appeared meanwhile is opened after all.
    if (!file)
        file = createFile(name, false);
    if (!file)
        file = openFile(name, kAccess, FILE_SHARE_READ);
    // A handle with append access only writes at the end.
    return file && WriteAll(file.get(), bytes);
}

std::uint32_t Win32HeldFolder::fileAttributes(const std::string& name) {
    const UniqueHandle file = openFile(name, FILE_READ_ATTRIBUTES, kShareAll);
    FILE_BASIC_INFO info;
    if (!file || !GetFileInformationByHandleEx(file.get(), FileBasicInfo, &info, sizeof info))
        return INVALID_FILE_ATTRIBUTES;
    return info.FileAttributes;
}

bool Win32HeldFolder::setFileAttributes(const std::string& name, std::uint32_t attributes) {
    const UniqueHandle file =
        openFile(name, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll);
    FILE_BASIC_INFO info;
    if (!file || !GetFileInformationByHandleEx(file.get(), FileBasicInfo, &info, sizeof info))
        return false;
    // No bits at all would leave them as they are: a plain file says so.
    info.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file.get(), FileBasicInfo, &info, sizeof info) != 0;
}

std::string Win32HeldFolder::readProfileString(const std::string& name, const std::string& section,
                                               const std::string& key,
                                               const std::string& fallback) {
    if (!IsEntryName(name))
        return fallback;
    const std::string file = path_ + name;
    std::string value(256, '\0');
    for (;;) {
        const DWORD length =
            GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), value.data(),
                                     DWORD(value.size()), file.c_str());
        // A value that filled the buffer may have been cut: read again with more room.
        if (length + 1 < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(value.size() * 2);
    }
}

bool Win32HeldFolder::writeProfileString(const std::string& name, const std::string& section,
                                         const std::string& key, const std::string& value) {
    return IsEntryName(name) &&
           WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                      (path_ + name).c_str()) != 0;
}

} // namespace pestrel
