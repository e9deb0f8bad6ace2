#pragma once
// Text as Wine's registry files carry it: UTF-16 inside, written with C-like escapes between the
// delimiters of a key name ("[...]") or of a quoted name or string ("..."). The engine's text is
// UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace pestrel::wine {

// Decodes escaped text starting at `text[0]` up to the first unescaped `close`. Answers the UTF-8
// text and sets `length` to the count of bytes read before `close`; nothing when `close` never
// comes or the text is not valid UTF-8.
std::optional<std::string> Unescape(std::string_view text, char close, std::size_t& length);

// Escapes UTF-8 `text` the way Wine writes it: '\\', the two delimiters and control characters
// escaped, everything beyond ASCII as \x hex. Nothing when `text` is not valid UTF-8 or holds NUL.
std::optional<std::string> Escape(std::string_view text, std::string_view delimiters);

} // namespace pestrel::wine
