#pragma once
// The Start-up folders: every file in them starts at log-on, a shortcut by its target.

#include "platform/Platform.h"

#include <optional>
#include <string>

namespace pestrel {

struct Context;
class AutostartIndex;

// Adds each file of each Start-up folder: a shortcut (.lnk) by the program its target names,
// any other file as the program it is. A shortcut that cannot be read is noted as malformed.
void ReadStartupFolders(Context& context, AutostartIndex& index);

// The target of the shortcut `name` of `folder`, read while it is `identity`.
std::optional<std::string> ShortcutTarget(Context& context, HeldFolder& folder,
                                          const std::string& name, const FileIdentity& identity);
// The program a shortcut's target starts: the whole target, whatever blanks it holds.
std::string TargetProgram(const Context& context, const std::string& target);

} // namespace pestrel
