#pragma once
// The scheduled tasks: each definition under System32\Tasks starts the programs of its Exec
// actions.

#include "platform/Platform.h"

#include <optional>
#include <string>
#include <vector>

namespace pestrel {

struct Context;
class AutostartIndex;

// Adds each command of each task definition of the tasks folder and the folders below it. A
// definition that cannot be read is noted as unreadable.
void ReadScheduledTasks(Context& context, AutostartIndex& index);

// The commands of the task definition `name` of `folder`, read while it is `identity`.
std::optional<std::vector<std::string>>
TaskFileCommands(HeldFolder& folder, const std::string& name, const FileIdentity& identity);

} // namespace pestrel
