#include "engine/ScheduledTasks.h"

#include "engine/AutostartPlaces.h"
#include "engine/Context.h"
#include "engine/TaskXml.h"

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
            index.addUnreadable({"task", {folder.path() + name}, true});
            continue;
        }
        for (const std::string& command : *commands)
            index.add({AutostartEntry::Kind::Task, RegRoot::LocalMachine, folder.path(), name,
                       command, ProgramOf(context, command)});
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
    const std::unique_ptr<MappedFile> file = folder.mapFile(name, identity);
    if (!file)
        return std::nullopt;
    return TaskCommands(file->bytes());
}

void ReadScheduledTasks(Context& context, AutostartIndex& index) {
    const std::string path = context.platform.tasksFolder();
    if (path.empty())
        return;
    if (const std::unique_ptr<HeldFolder> folder = context.platform.holdFolder(path))
        ReadTaskFolder(context, index, *folder, 0);
}

} // namespace pestrel
