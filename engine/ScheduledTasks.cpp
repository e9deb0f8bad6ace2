#include "engine/ScheduledTasks.h"

#include "engine/AutostartPlaces.h"
#include "engine/Context.h"
#include "engine/StartFileBudget.h"
#include "engine/TaskXml.h"

#include <algorithm>

namespace pestrel {
namespace {

// Task folders nest as deep as their names do; deeper ones are not a scheduler's.
constexpr int kMaxDepth = 16;

void ReadTaskFolder(Context& context, AutostartIndex& index, HeldFolder& folder, int depth) {
    const std::optional<FolderEntries> entries = folder.entries();
    if (!entries)
        return;
    for (const std::string& name : entries->files) {
        const std::optional<FileIdentity> identity = folder.fileIdentity(name);
        const std::optional<std::vector<std::string>> commands =
            identity ? TaskFileCommands(folder, name, *identity) : std::nullopt;
        if (!commands) {
            index.addMalformed({PassVerb::Task, {folder.path() + name}, true});
            continue;
        }
        // A task file is the word of whoever owns the folder it lies in.
        for (const std::string& command : *commands)
            index.add({AutostartEntry::Kind::Task, RegRoot::LocalMachine, folder.path(), name,
                       command, ProgramOf(context, command), "", folder.owner().value_or(0)});
    }
    if (depth >= kMaxDepth)
        return;
    for (const std::string& name : entries->folders) {
        if (const std::unique_ptr<HeldFolder> inner = folder.folder(name, false))
            ReadTaskFolder(context, index, *inner, depth + 1);
    }
}

} // namespace

std::optional<std::vector<std::string>>
TaskFileCommands(HeldFolder& folder, const std::string& name, const FileIdentity& identity) {
    const std::unique_ptr<MappedFile> file = MapStartFile(folder, name, identity);
    if (!file)
        return std::nullopt;
    return TaskCommands(file->bytes());
}

std::string TaskName(Context& context, HeldFolder& folder, const std::string& name) {
    std::string tasks = context.platform.tasksFolder();
    if (tasks.empty())
        return {};
    if (!tasks.ends_with(kPathSeparator))
        tasks += kPathSeparator;
    const std::string path = folder.path() + name;
    if (!path.starts_with(tasks))
        return {};
    std::string task = '\\' + path.substr(tasks.size());
    std::replace(task.begin(), task.end(), kPathSeparator, '\\');
    return task;
}

bool RegisterPutBackTask(Context& context, HeldFolder& folder, const std::string& name) {
    const std::string task = TaskName(context, folder, name);
    if (task.empty())
        return true;
    const std::optional<FileIdentity> identity = folder.fileIdentity(name);
    const std::unique_ptr<MappedFile> file = identity ? folder.mapFile(name, *identity) : nullptr;
    return file && context.platform.registerTask(task, file->bytes());
}

void ReadScheduledTasks(Context& context, AutostartIndex& index) {
    const std::string path = context.platform.tasksFolder();
    if (path.empty())
        return;
    if (const std::unique_ptr<HeldFolder> folder = context.platform.holdFolder(path))
        ReadTaskFolder(context, index, *folder, 0);
}

} // namespace pestrel
