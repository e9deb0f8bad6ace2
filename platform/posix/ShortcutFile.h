#pragma once
// Reads a Windows shortcut (.lnk) from its bytes with liblnk.

#include <optional>
#include <string>
#include <string_view>

namespace pestrel {

// The path the shortcut starts: its local path, else its network path, else the path it names
// through environment variables, else its relative path; UTF-8. Nothing when the bytes are no
// shortcut or name none of these.
std::optional<std::string> ShortcutFileTarget(std::string_view bytes);

} // namespace pestrel
