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

// A task file is the word of whoever owns the folder it lies in or, in the administrator's folder
// (Windows keeps every user's tasks in one), of whoever owns the file.
std::uint32_t TaskOwner(HeldFolder& folder, const std::string& name) {
    const std::uint32_t owner = folder.owner().value_or(0);
    const std::optional<FileOwnership> file =
        owner == 0 ? folder.fileOwnership(name) : std::nullopt;
    return file ? file->user : owner;
}

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
        for (const std::string& command : *commands)
            index.add({AutostartEntry::Kind::Task, RegRoot::LocalMachine, folder.path(), name,
                       command, ProgramOf(context, command), "", TaskOwner(folder, name)});
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
