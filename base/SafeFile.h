#pragma once
// File access that stays safe in a folder that someone else can write: it never follows a link
// at any step of a path, reads only regular files and only so much of them, and never
// writes into a file that is already there except the one the caller appends to.

#include <cstddef>
#include <optional>
#include <string>

#ifndef _WIN32
#include "base/FolderFd.h"
#endif

namespace pestrel {

// More than any working file or registry hive of the program holds.
inline constexpr std::size_t kMaxFileBytes = 64u << 20;

// The bytes of the regular file at `path`, read without following a link there and without
// waiting on a pipe or a device. Nothing when it cannot be opened, is not a regular file or holds
// more than `maxBytes`.
std::optional<std::string> ReadRegularFile(const std::string& path,
                                           std::size_t maxBytes = kMaxFileBytes);

#ifndef _WIN32
// A file's folder, held without following a link at any step, and its name there.
struct NameInFolderFd {
    UniqueFd folder;
    std::string name;
};
// Nothing when the path ends in a separator or any step of its folder is a link.
std::optional<NameInFolderFd> HoldFolderOf(const std::string& path);
// lstat of `path` with its folder held without links: false, errno set, when the entry is
// missing or any step of its folder is a link.
bool StatWithoutLinks(const std::string& path, struct stat& info);
// ReadRegularFile for the file `name` of the held `folder`.
std::optional<std::string> ReadRegularFileIn(int folder, const std::string& name,
                                             std::size_t maxBytes = kMaxFileBytes);
// The permission bits of the regular file `name` of the held `folder`, or nothing.
std::optional<unsigned> PermissionsOf(int folder, const std::string& name);
// Creates the file `name` in the held `folder`, which must not be there yet (not even as a link),
// and writes `bytes` to disk, with the permission bits `mode`; without them the new file is
// private (0600) when the program runs as the administrator and follows the user's umask when
// not. On failure the new file is removed.
bool WriteNewFileIn(int folder, const std::string& name, const std::string& bytes,
                    std::optional<unsigned> mode);
// ReplaceFileAtomically (base/FileBytes.h) for the file `name` of the held `folder`: the new file
// keeps the old one's permission bits.
bool ReplaceFileIn(int folder, const std::string& name, const std::string& bytes);
// Appends `bytes` to the regular file `name` of the held `folder`, creating it as WriteNewFileIn
// would; a link, a pipe or a device there is refused.
bool AppendToFileIn(int folder, const std::string& name, const std::string& bytes);
#endif

} // namespace pestrel
