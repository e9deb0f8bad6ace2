#pragma once
// INI files with the profile semantics: "[section]" lines, then "key=value" lines; sections and
// keys compare without ASCII case and without outer blanks; writing replaces an existing key's
// value, or adds the key (and the section) at the end, and creates the file. Unrelated lines are
// kept as they are.

#include <optional>
#include <string>
#include <string_view>

namespace pestrel::ini {

std::optional<std::string> Read(std::string_view text, std::string_view section,
                                std::string_view key);
// The text with `key` set to `value`, lines ending in CR LF.
std::string Write(std::string_view text, std::string_view section, std::string_view key,
                  std::string_view value);

// Whether `key` = `value` in `[section]` reads back as written: no line break or NUL anywhere, no
// '=' in the key, no ']' in the section, neither of them empty, and a key that starts no section
// or comment.
bool CanStore(std::string_view section, std::string_view key, std::string_view value);

} // namespace pestrel::ini
