#pragma once
// SHA-256 of a file with the system's cryptography library.

#include "platform/Platform.h"

#include <windows.h>

namespace pestrel {

// The size and SHA-256 of what the open `file` holds from its current position to its end, read
// a chunk at a time; nothing when it cannot be read or hashed, or holds more than `maxBytes`.
std::optional<FileDigest> DigestOf(HANDLE file, std::uint64_t maxBytes);

} // namespace pestrel
