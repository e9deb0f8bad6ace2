#pragma once
// Backup copies that are safe in a folder someone else may have prepared: the copy is always a
// new file, private to its owner, that replaces the target by a rename.

#include "platform/Platform.h"

#include <optional>
#include <string>

namespace pestrel {

// Copies the regular file `from`, opened without following a link (and, with `image`, only when
// it is that file), into a new file of mode 0600 inside `to`'s folder, then renames it over `to`.
// The folder is opened once, without following a link, and must belong to the running user
// (and, for the administrator, be writable by no one else); every step is relative to it.
bool SafeCopy(const std::string& from, const std::string& to,
              const std::optional<FileIdentity>& image = std::nullopt);

} // namespace pestrel
