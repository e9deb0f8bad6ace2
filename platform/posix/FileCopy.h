#pragma once
// Copies between open files that cost what the original costs: holes stay holes, and a copy that
// would leave the target's disk nearly full is not made.

#include "platform/Platform.h"

#include <optional>
#include <string>

namespace pestrel {

// What must stay free of a disk after a copy: 5 % of it.
inline constexpr unsigned kFreeDiskPercent = 5;

// Copies the regular file `source` into the new file `target` (written from its start), data
// segment by data segment, leaving the holes of a sparse source as holes. False when a read or
// write fails, or when the copy would leave less than kFreeDiskPercent of `target`'s disk free.
bool CopyFileContent(int source, int target);

// The size and SHA-256 of what `fd` holds from its start, read in chunks; nothing when it holds
// more than `maxBytes`.
std::optional<FileDigest> DigestOf(int fd, std::uint64_t maxBytes);

} // namespace pestrel
