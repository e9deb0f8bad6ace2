#pragma once
// The list a command-line run reads: the one of --list FILE, or the program's own.

#include "engine/WorkFiles.h"

#include <optional>
#include <string>

namespace pestrel {

struct CommandLine;

// The file of --list as given, or VirusList.txt in `appPath`.
std::string RunListPath(const CommandLine& command, const std::string& appPath);
// Reads the list at `path`: a named list with no more rights than the person's (ReadNamedList),
// the program's own never through a link.
ListFile ReadRunList(const CommandLine& command, const std::string& path);
// The same; nothing, with the reason on standard error, when it cannot be read or is not text.
std::optional<ListFile> ReadRunListOrSay(const CommandLine& command, const std::string& path);

} // namespace pestrel
