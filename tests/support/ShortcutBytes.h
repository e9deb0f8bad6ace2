#pragma once
// The bytes of a shell shortcut to `target`, as Windows lays one out with only its link
// information: the 76-byte header, then a local base path on a fixed drive.

#include <cstdint>
#include <string>

namespace pestrel::test {

inline void PutLe(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string ShortcutBytes(const std::string& target) {
    constexpr std::uint32_t kHasLinkInfo = 0x2;
    std::string bytes;
    PutLe(bytes, 0x4C, 4);
    // The shell link class: 00021401-0000-0000-C000-000000000046.
    bytes += std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    PutLe(bytes, kHasLinkInfo, 4);
    PutLe(bytes, 0x20, 4);           // a plain file
    bytes += std::string(3 * 8, 0);  // creation, access and write times
    PutLe(bytes, 0, 4);              // file size
    PutLe(bytes, 0, 4);              // icon index
    PutLe(bytes, 1, 4);              // shown normally
    bytes += std::string(2 + 10, 0); // hot key, reserved
    const std::string volume = [] {
        std::string id;
        PutLe(id, 0x11, 4); // its size
        PutLe(id, 3, 4);    // a fixed drive
        PutLe(id, 0x1234, 4);
        PutLe(id, 0x10, 4); // where its empty label lies
        return id + '\0';
    }();
    constexpr std::uint32_t kHeader = 0x1C;
    const auto base = static_cast<std::uint32_t>(kHeader + volume.size());
    const auto suffix = static_cast<std::uint32_t>(base + target.size() + 1);
    PutLe(bytes, suffix + 1, 4); // the link information's size
    PutLe(bytes, kHeader, 4);
    PutLe(bytes, 1, 4); // a volume and a local base path
    PutLe(bytes, kHeader, 4);
    PutLe(bytes, base, 4);
    PutLe(bytes, 0, 4); // no network path
    PutLe(bytes, suffix, 4);
    bytes += volume + target + '\0' + '\0';
    PutLe(bytes, 0, 4); // no extra data
    return bytes;
}

} // namespace pestrel::test
