#pragma once
// The list a person names with --list FILE, read with no more rights than theirs.

#include "engine/WorkFiles.h"

#include <string>

namespace pestrel {

// Reads the list at `path`. Without root's rights it is read wherever the person's own links
// lead. Run as root through sudo, it is first read with the rights of the user who ran sudo
// (SUDO_UID, SUDO_GID), through that user's links too; when that user cannot read it, or when
// root runs without sudo, it is read only when no step of the path is a link, so that an
// administrator's own list works and a link of someone else's to a file they may not read does
// not.
ListFile ReadNamedList(const std::string& path);

} // namespace pestrel
