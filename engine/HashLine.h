#pragma once
// List lines that match a file by what it holds rather than by its name: `sha256:` followed by
// the 64 hex digits of the file's SHA-256, in either letter case. No file name holds a ':', so
// such a line never named a file before.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pestrel {

enum class ListLineKind {
    Name,          // a program's file name
    Hash,          // a well-formed hash line
    MalformedHash, // starts like a hash line but is not one; it matches nothing
};

ListLineKind KindOfListLine(std::string_view line);
// The hash a Hash line names, as 64 lower-case hex digits; nothing for any other line.
std::optional<std::string> HashOfListLine(std::string_view line);
// One warning for each MalformedHash line among `lines`, naming it.
std::vector<std::string> MalformedHashWarnings(const std::vector<std::string>& lines);

} // namespace pestrel
