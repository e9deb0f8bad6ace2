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

// File versions: read answers `fallback` when the file cannot be read; write replaces the file
// atomically and answers false when it cannot, or when section, key or value would not read back
// as written (line breaks, '=' in the key, ']' in the section, an empty key or section).
std::string ReadFile(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& fallback);
bool WriteFile(const std::string& path, const std::string& section, const std::string& key,
               const std::string& value);

} // namespace pestrel::ini
