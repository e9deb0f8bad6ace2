#pragma once
// Whole-file reads, atomic whole-file replacement and line splitting, with standard C++ only.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pestrel {

// The file's bytes, or nothing when it cannot be opened or read. Only a regular file is read, never
// through a link and never more than kMaxFileBytes (base/SafeFile.h).
std::optional<std::string> ReadFileBytes(const std::string& path);
#ifndef _WIN32
// Writes `bytes` to a new temporary file beside `path`, flushes it to the disk, renames it over
// `path` (which keeps its permission bits) and flushes the folder, so that even a power loss leaves
// the old bytes or the new ones. On failure the old file stays whole, the temporary file is
// removed and the answer is false.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);
#endif
// A part of a temporary file name that no other call gives, in this process or another.
std::string UniqueTemporaryPart();
// The lines of a text: each ends at LF, and a CR right before the LF is not part of it. The views
// point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

} // namespace pestrel
