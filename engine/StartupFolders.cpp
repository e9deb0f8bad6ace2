#include "engine/StartupFolders.h"

#include "base/AsciiCase.h"
#include "engine/AutostartPlaces.h"
#include "engine/Context.h"
#include "engine/StartFileBudget.h"

namespace pestrel {
namespace {

bool IsShortcut(const std::string& name) {
    return name.size() > 4 && EqualsIgnoringAsciiCase(name.substr(name.size() - 4), ".lnk");
}

} // namespace

std::optional<std::string> ShortcutTarget(Context& context, HeldFolder& folder,
                                          const std::string& name, const FileIdentity& identity) {
    const std::unique_ptr<MappedFile> file = MapStartFile(folder, name, identity);
    if (!file)
        return std::nullopt;
    return context.platform.shortcutTarget(file->bytes());
}

std::string TargetProgram(const Context& context, const std::string& target) {
    return ProgramOf(context, target.find('"') == std::string::npos ? '"' + target + '"' : target);
}

void ReadStartupFolders(Context& context, AutostartIndex& index) {
    Platform& platform = context.platform;
    for (const std::string& path : platform.startupFolders()) {
        const std::unique_ptr<HeldFolder> folder = platform.holdFolder(path);
        const std::optional<FolderEntries> entries = folder ? folder->entries() : std::nullopt;
        if (!entries)
            continue;
        // A user's Start-up folder is that user's word; the common one the administrator's.
        const std::uint32_t owner = folder->owner().value_or(0);
        for (const std::string& name : entries->files) {
            // Explorer keeps the folder's look in desktop.ini and starts nothing from it.
            if (EqualsIgnoringAsciiCase(name, "desktop.ini"))
                continue;
            const std::string file = folder->path() + name;
            if (!IsShortcut(name)) {
                index.add({AutostartEntry::Kind::StartupFile, RegRoot::LocalMachine, folder->path(),
                           name, file, file, "", owner});
                continue;
            }
            const std::optional<FileIdentity> identity = folder->fileIdentity(name);
            const std::optional<std::string> target =
                identity ? ShortcutTarget(context, *folder, name, *identity) : std::nullopt;
            if (!target) {
                index.addMalformed({PassVerb::Shortcut, {file}, true});
                continue;
            }
            index.add({AutostartEntry::Kind::Shortcut, RegRoot::LocalMachine, folder->path(), name,
                       *target, TargetProgram(context, *target), "", owner});
        }
    }
}

} // namespace pestrel
