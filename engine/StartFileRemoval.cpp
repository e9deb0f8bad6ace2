#include "engine/StartFileRemoval.h"

#include "base/AsciiCase.h"
#include "engine/AutostartPlaces.h"
#include "engine/CommandLineProgram.h"
#include "engine/Context.h"
#include "engine/Journal.h"
#include "engine/KillPass.h"
#include "engine/ScheduledTasks.h"
#include "engine/StartupFolders.h"
#include "engine/WorkFiles.h"

#include <memory>

namespace pestrel {
namespace {

bool Names(const std::string& program, const std::string& entry) {
    return EqualsIgnoringAsciiCase(ProgramFileName(program), entry);
}

// Whether the file, read again now, still starts the entry.
bool StillStarts(Context& context, HeldFolder& folder, const AutostartEntry& place,
                 const FileIdentity& identity, const std::string& entry) {
    if (place.kind == AutostartEntry::Kind::Shortcut) {
        const std::optional<std::string> target =
            ShortcutTarget(context, folder, place.name, identity);
        return target && Names(TargetProgram(context, *target), entry);
    }
    const std::optional<std::vector<std::string>> commands =
        TaskFileCommands(folder, place.name, identity);
    if (!commands)
        return false;
    for (const std::string& command : *commands) {
        if (Names(ProgramOf(context, command), entry))
            return true;
    }
    return false;
}

} // namespace

void RemoveStartFile(Context& context, PassFolders& folders, PassSink& sink,
                     const AutostartEntry& place, const std::string& entry) {
    const std::unique_ptr<HeldFolder> folder = context.platform.holdFolder(place.key);
    const std::optional<FileIdentity> identity =
        folder ? folder->fileIdentity(place.name) : std::nullopt;
    // Gone: taken out already for another command of the same task, or by someone else.
    if (!identity || !StillStarts(context, *folder, place, *identity, entry))
        return;
    const std::string path = folder->path() + place.name;
    sink.report({PassVerb::Status, {path}});
    FileRemover remove;
    if (place.kind == AutostartEntry::Kind::Task)
        remove = [&context](HeldFolder& in, const std::string& name, const FileIdentity& file) {
            return context.platform.deleteTask(in, name, file, TaskName(context, in, name));
        };
    const FileDeletion deletion =
        DeleteKeepingCopy(context, folders, entry, *folder, place.name, *identity, false, remove);
    const PassVerb verb =
        place.kind == AutostartEntry::Kind::Shortcut ? PassVerb::Shortcut : PassVerb::Task;
    sink.report({verb, {path, place.data}, !deletion.deleted});
    if (deletion.deleted)
        LogDeletion(context, entry, path);
}

} // namespace pestrel
