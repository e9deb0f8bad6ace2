#include "engine/AutostartRemoval.h"

#include "base/AsciiCase.h"
#include "engine/AutostartPlaces.h"
#include "engine/CommandLineProgram.h"
#include "engine/Context.h"
#include "engine/Journal.h"
#include "engine/KillPass.h"
#include "engine/LinuxAutostart.h"
#include "engine/ListEdit.h"
#include "engine/PassFolders.h"
#include "engine/Public.h"
#include "engine/StartFileRemoval.h"
#include "engine/WorkFiles.h"

#include <memory>
#include <set>

namespace pestrel {
namespace {

bool Starts(const Context& context, const std::string& commandLine, const std::string& entry) {
    return EqualsIgnoringAsciiCase(ProgramFileName(ProgramOf(context, commandLine)), entry);
}

RegValue Text(std::string text) {
    RegValue value;
    value.text = std::move(text);
    return value;
}

void Report(PassSink& sink, const AutostartEntry& place, const std::string& name,
            const std::string& data, bool failed) {
    sink.report({PassVerb::Autostart, {RegPlace(place.root, place.key), name, data}, failed});
}

// The value as it is now, while it still starts the entry.
void RemoveValue(Context& context, PassSink& sink, const AutostartEntry& place,
                 const std::string& entry) {
    Platform& platform = context.platform;
    const std::optional<RegValue> now = platform.queryValue(place.root, place.key, place.name);
    if (!now || now->kind != RegText || !Starts(context, now->text, entry))
        return; // gone, or changed since the places were read
    JournalValue(context, JournalEntry::Kind::Value, entry, place.root, place.key, place.name,
                 now->text);
    Report(sink, place, place.name, now->text,
           !platform.deleteValue(place.root, place.key, place.name));
}

void RemoveListItem(Context& context, PassSink& sink, const AutostartEntry& place,
                    const std::string& entry) {
    Platform& platform = context.platform;
    const std::optional<RegValue> now = platform.queryValue(place.root, place.key, place.name);
    if (!now || now->kind != RegText)
        return;
    const std::string edited = ListWithout(context, now->text, place.name, entry);
    if (edited == now->text)
        return; // taken out already, for an earlier item of the same list
    JournalValue(context, JournalEntry::Kind::List, entry, place.root, place.key, place.name,
                 now->text);
    Report(sink, place, place.name, now->text,
           !platform.setValue(place.root, place.key, place.name, Text(edited)));
}

void DisableService(Context& context, PassSink& sink, const AutostartEntry& place,
                    const std::string& entry) {
    Platform& platform = context.platform;
    const std::optional<RegValue> image = platform.queryValue(place.root, place.key, "ImagePath");
    const std::optional<RegValue> start = platform.queryValue(place.root, place.key, "Start");
    if (!image || image->kind != RegText || !Starts(context, image->text, entry) ||
        (start && start->kind == RegInteger && start->number == kServiceDisabled))
        return;
    // Without a Start to put back, the service is left as it is.
    if (!start || start->kind != RegInteger) {
        Report(sink, place, "Start", std::to_string(kServiceDisabled), true);
        return;
    }
    JournalValue(context, JournalEntry::Kind::Start, entry, place.root, place.key, "Start",
                 std::to_string(start->number));
    RegValue disabled;
    disabled.kind = RegInteger;
    disabled.number = kServiceDisabled;
    Report(sink, place, "Start", std::to_string(kServiceDisabled),
           !platform.setValue(place.root, place.key, "Start", disabled));
}

// A program file a place named, where it still lies (`path`, on this machine): backed up as
// Temp/<entry> and deleted while it is the file found, keeping a copy for the undo, all on the
// word of the place's owner: a file that user could not read or delete stays.
void DeleteDormantCopy(Context& context, PassFolders& folders, PassSink& sink,
                       const std::string& entry, const std::string& path, std::uint32_t owner) {
    const std::string folder = FolderOf(path);
    const std::string name = path.substr(folder.size());
    if (!JoinName(folder, name))
        return;
    const std::unique_ptr<HeldFolder> held = context.platform.holdFolder(folder);
    if (held)
        held->actFor(owner);
    const std::optional<FileIdentity> identity = held ? held->fileIdentity(name) : std::nullopt;
    if (!identity)
        return;
    sink.report({PassVerb::Status, {held->path() + name}});
    const bool backedUp =
        folders.backup && BackupFile(*folders.backup, *held, name, *identity, entry);
    sink.report({PassVerb::Backup,
                 {held->path() + name, JoinName(context.backupFolder(), entry).value_or("")},
                 !backedUp});
    const FileDeletion deletion =
        DeleteKeepingCopy(context, folders, entry, *held, name, *identity, backedUp);
    sink.report({PassVerb::Delete, {held->path() + name, deletion.copy}, !deletion.deleted});
    if (deletion.deleted)
        LogDeletion(context, entry, held->path() + name);
}

} // namespace

std::string ListWithout(const Context& context, const std::string& data,
                        const std::string& valueName, const std::string& entry) {
    const ListEdit edit =
        RemoveListItems(data, ListSeparators(valueName),
                        [&](const std::string& item) { return Starts(context, item, entry); });
    if (edit.removed.empty())
        return data;
    return ListItems(edit.list, ListSeparators(valueName)).empty() ? EmptyListValue(valueName)
                                                                   : edit.list;
}

void RemoveAutostartEntries(Context& context, PassFolders& folders, const AutostartIndex& index,
                            PassSink& sink, const std::string& entry) {
    std::set<std::pair<std::string, std::uint32_t>> files; // each with its place's owner
    for (const AutostartEntry* place : index.starting(entry)) {
        sink.report({PassVerb::Status, {AutostartPlaceText(*place)}});
        switch (place->kind) {
        case AutostartEntry::Kind::Value:
            RemoveValue(context, sink, *place, entry);
            break;
        case AutostartEntry::Kind::List:
            RemoveListItem(context, sink, *place, entry);
            break;
        case AutostartEntry::Kind::Service:
            DisableService(context, sink, *place, entry);
            break;
        case AutostartEntry::Kind::StartupFile:
            files.emplace(place->program, place->owner); // the file itself, as a dormant copy
            continue;
        case AutostartEntry::Kind::Shortcut:
        case AutostartEntry::Kind::Task:
            RemoveStartFile(context, folders, sink, *place, entry);
            break;
        case AutostartEntry::Kind::Desktop:
        case AutostartEntry::Kind::Unit:
        case AutostartEntry::Kind::Cron:
            RemoveLinuxAutostartEntry(context, folders, sink, *place, entry);
            break;
        }
        if (std::optional<std::string> path = context.platform.localPath(place->program))
            files.emplace(std::move(*path), place->owner);
    }
    for (const auto& [path, owner] : files)
        DeleteDormantCopy(context, folders, sink, entry, path, owner);
}

} // namespace pestrel
