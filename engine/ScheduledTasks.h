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
// definition that cannot be read is noted as malformed.
void ReadScheduledTasks(Context& context, AutostartIndex& index);

// The task's path in the scheduler ("\\Folder\\Name") of the file `name` of `folder`; empty when
// the folder is not the tasks folder or one below it.
std::string TaskName(Context& context, HeldFolder& folder, const std::string& name);
// Registers the task of the file `name` of `folder`, just put back, again where the scheduler
// needs it; true for a file outside the tasks folder.
bool RegisterPutBackTask(Context& context, HeldFolder& folder, const std::string& name);

// The commands of the task definition `name` of `folder`, read while it is `identity`.
std::optional<std::vector<std::string>>
TaskFileCommands(HeldFolder& folder, const std::string& name, const FileIdentity& identity);

} // namespace pestrel
