#pragma once
// Unicode text as Windows programs write it (task definitions, lists saved by Notepad), turned
// into the byte strings the engine works on.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pestrel {

// A code point that text may hold: not NUL, not a surrogate, not past U+10FFFF.
bool IsCharacter(std::uint32_t code);

// The UTF-16 code units of `bytes` in the given byte order, as UTF-8. Nothing when the length is
// odd or a unit is NUL or a lone surrogate.
std::optional<std::string> Utf8FromUtf16(std::string_view bytes, bool bigEndian);
// The same in the engine's own encoding: UTF-8, on Windows the ANSI code page.
std::optional<std::string> LocalFromUtf16(std::string_view bytes, bool bigEndian);

} // namespace pestrel
