#pragma once
// The folders a guard watches for listed files that appear in them.

#include <string>
#include <vector>

namespace pestrel {

struct Context;

// The Windows folder and the System folder, each ending in the separator; a folder the
// platform does not give is left out.
std::vector<std::string> WatchedFolders(const Context& context);

} // namespace pestrel
