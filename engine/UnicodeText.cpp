#include "engine/UnicodeText.h"

#include "base/Utf8.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace pestrel {

bool IsCharacter(std::uint32_t code) {
    return code != 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
}

std::optional<std::string> Utf8FromUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    const auto unit = [&](std::size_t at) {
        const auto first = static_cast<std::uint8_t>(bytes[at]);
        const auto second = static_cast<std::uint8_t>(bytes[at + 1]);
        return static_cast<std::uint32_t>(bigEndian ? first << 8 | second : second << 8 | first);
    };
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        std::uint32_t code = unit(at);
        if (code >= 0xD800 && code <= 0xDBFF && at + 2 < bytes.size()) {
            const std::uint32_t low = unit(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        if (!IsCharacter(code))
            return std::nullopt;
        AppendUtf8(text, code);
    }
    return text;
}

#ifdef _WIN32
std::optional<std::string> LocalFromUtf16(std::string_view bytes, bool bigEndian) {
    const std::optional<std::string> utf8 = Utf8FromUtf16(bytes, bigEndian);
    if (!utf8 || utf8->empty())
        return utf8;
    const int size = static_cast<int>(utf8->size());
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8->data(), size, wide.data(), size)));
    const int wideSize = static_cast<int>(wide.size());
    std::string local(static_cast<std::size_t>(wideSize) * 2, '\0');
    local.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideSize, local.data(),
                            static_cast<int>(local.size()), nullptr, nullptr)));
    return local;
}
#else
std::optional<std::string> LocalFromUtf16(std::string_view bytes, bool bigEndian) {
    return Utf8FromUtf16(bytes, bigEndian);
}
#endif

} // namespace pestrel
