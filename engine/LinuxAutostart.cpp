#include "engine/LinuxAutostart.h"

#include "base/AsciiCase.h"
#include "base/FileBytes.h"
#include "engine/AutostartPlaces.h"
#include "engine/CommandLineProgram.h"
#include "engine/Context.h"
#include "engine/Journal.h"
#include "engine/KillPass.h"
#include "engine/LinuxStartLines.h"
#include "engine/PassFolders.h"
#include "engine/Public.h"
#include "engine/Restore.h"
#include "engine/StartFileBudget.h"

#include <algorithm>
#include <memory>
#include <set>

namespace pestrel {
namespace {

using Kind = AutostartEntry::Kind;

constexpr const char* kUserAutostart = ".config/autostart";
constexpr const char* kUserUnits = ".config/systemd/user";
constexpr const char* kMachineAutostart = "/etc/xdg/autostart";
constexpr const char* kMachineUnits = "/etc/systemd/system";
constexpr const char* kCrontabs = "/var/spool/cron/crontabs";
constexpr std::uint64_t kLargestPlaceFile = kLargestStartFile;

bool Names(const std::string& program, const std::string& entry) {
    return EqualsIgnoringAsciiCase(ProgramFileName(program), entry);
}

std::string Below(const std::string& home, const char* folder) {
    return (home.ends_with('/') ? home : home + '/') + folder;
}

PassVerb Verb(Kind kind) {
    return kind == Kind::Desktop ? PassVerb::Desktop : PassVerb::Unit;
}

StartLine StartOf(Kind kind, std::string_view text) {
    return kind == Kind::Desktop ? DesktopEntryStart(text) : UnitStart(text);
}

// The text of the regular file `name` while it is `identity`, of a size a start-up file has and,
// given an `owner`, owned by that user or root; nothing otherwise.
std::optional<std::string> PlaceFileText(HeldFolder& folder, const std::string& name,
                                         const FileIdentity& identity,
                                         std::optional<std::uint32_t> owner) {
    const std::optional<FileOwnership> ownership = folder.fileOwnership(name);
    const std::optional<FileStamp> stamp = folder.fileStamp(name);
    if (!ownership || (owner && ownership->user != *owner && ownership->user != 0) || !stamp ||
        stamp->size > kLargestPlaceFile)
        return std::nullopt;
    const std::unique_ptr<MappedFile> mapped = folder.mapFile(name, identity);
    return mapped ? std::optional<std::string>(mapped->bytes()) : std::nullopt;
}

void ReadFolder(Context& context, AutostartIndex& index, const std::string& path, Kind kind,
                const std::string& user, std::uint32_t owner) {
    const std::unique_ptr<HeldFolder> folder = context.platform.holdFolder(path);
    std::optional<FolderEntries> entries = folder ? folder->entries() : std::nullopt;
    if (!entries)
        return;
    std::sort(entries->files.begin(), entries->files.end());
    const char* suffix = kind == Kind::Desktop ? ".desktop" : ".service";
    for (const std::string& name : entries->files) {
        const std::optional<FileIdentity> identity = folder->fileIdentity(name);
        if (!name.ends_with(suffix) || !identity)
            continue;
        const std::optional<std::string> text = PlaceFileText(*folder, name, *identity, owner);
        const StartLine start = text ? StartOf(kind, *text) : StartLine{};
        if (start.status == StartLine::Status::Malformed)
            index.addMalformed({Verb(kind), {folder->path() + name}, true});
        else if (start.status == StartLine::Status::Found)
            index.add({kind, RegRoot::LocalMachine, folder->path(), name, start.command,
                       start.program, user, owner});
    }
}

void ReadCrontab(Context& context, AutostartIndex& index, const PlaceUser& owner) {
    const std::string& user = owner.name;
    const std::optional<std::string> crontab = context.platform.readCrontab(user);
    if (!crontab)
        return;
    for (const std::string_view line : SplitLines(*crontab)) {
        const StartLine start = CrontabLineStart(line);
        if (start.status == StartLine::Status::Malformed)
            index.addMalformed({PassVerb::Cron, {user, std::string(line)}, true});
        else if (start.status == StartLine::Status::Found)
            index.add({Kind::Cron, RegRoot::LocalMachine, user, std::string(line), start.command,
                       start.program, user, owner.id});
    }
}

// A desktop entry or service file as it is now, while it still starts `entry`.
struct PlaceFile {
    std::unique_ptr<HeldFolder> folder;
    FileIdentity identity;
    StartLine start;
};

std::optional<PlaceFile> StillStarting(Context& context, const AutostartEntry& place,
                                       const std::string& entry) {
    std::unique_ptr<HeldFolder> folder = context.platform.holdFolder(place.key);
    const std::optional<FileIdentity> identity =
        folder ? folder->fileIdentity(place.name) : std::nullopt;
    const std::optional<std::string> text =
        identity ? PlaceFileText(*folder, place.name, *identity, std::nullopt) : std::nullopt;
    if (!text)
        return std::nullopt;
    StartLine start = StartOf(place.kind, *text);
    if (start.status != StartLine::Status::Found || !Names(start.program, entry))
        return std::nullopt;
    return PlaceFile{std::move(folder), *identity, std::move(start)};
}

// Deletes the file with a kept copy; never without a folder to keep it in.
bool DeleteKept(Context& context, PassFolders& folders, const std::string& entry, PlaceFile& file,
                const std::string& name) {
    return folders.kept &&
           DeleteKeepingCopy(context, folders, entry, *file.folder, name, file.identity, false)
               .deleted;
}

void RemoveDesktopEntry(Context& context, PassFolders& folders, PassSink& sink,
                        const AutostartEntry& place, const std::string& entry) {
    std::optional<PlaceFile> file = StillStarting(context, place, entry);
    if (!file)
        return;
    const bool deleted = DeleteKept(context, folders, entry, *file, place.name);
    sink.report({PassVerb::Desktop, {place.key + place.name, file->start.command}, !deleted});
}

// Removes the links to the unit `unit` from the folder's *.wants/ and *.requires/ folders, as
// `systemctl disable` does, journaling each with its target first.
void RemoveUnitLinks(Context& context, PassSink& sink, HeldFolder& units, const std::string& unit,
                     const std::string& entry) {
    std::optional<FolderEntries> entries = units.entries();
    if (!entries)
        return;
    std::sort(entries->folders.begin(), entries->folders.end());
    for (const std::string& name : entries->folders) {
        const std::unique_ptr<HeldFolder> links =
            name.ends_with(".wants") || name.ends_with(".requires") ? units.folder(name, false)
                                                                    : nullptr;
        std::vector<std::string> names = links ? links->entryNames() : std::vector<std::string>();
        std::sort(names.begin(), names.end());
        for (const std::string& link : names) {
            const std::optional<std::string> target = links->linkTarget(link);
            if (!target || (link != unit && ProgramFileName(*target) != unit))
                continue;
            const std::string path = links->path() + link;
            const bool journaled =
                JournalChange(context, JournalEntry::Kind::Link, entry, path, *target);
            sink.report(
                {PassVerb::Link, {path, *target}, !journaled || !links->deleteLink(link, *target)});
        }
    }
}

void DisableUnit(Context& context, PassFolders& folders, PassSink& sink,
                 const AutostartEntry& place, const std::string& entry) {
    std::optional<PlaceFile> file = StillStarting(context, place, entry);
    if (!file)
        return;
    // Without a folder to keep the unit file in, the unit stays as it is.
    if (!folders.kept) {
        sink.report({PassVerb::Unit, {place.key + place.name}, true});
        return;
    }
    context.platform.stopUnit(place.user, place.name);
    RemoveUnitLinks(context, sink, *file->folder, place.name, entry);
    const bool deleted = DeleteKept(context, folders, entry, *file, place.name);
    sink.report({PassVerb::Unit, {place.key + place.name}, !deleted});
    if (deleted)
        context.platform.reloadUnits(place.user);
}

// The lines of `crontab` that start `entry`.
std::vector<std::string> LinesStarting(const std::string& crontab, const std::string& entry) {
    std::vector<std::string> lines;
    for (const std::string_view line : SplitLines(crontab)) {
        const StartLine start = CrontabLineStart(line);
        if (start.status == StartLine::Status::Found && Names(start.program, entry))
            lines.emplace_back(line);
    }
    return lines;
}

std::string CrontabWithoutEntry(const std::string& crontab, const std::string& entry) {
    return CrontabWithout(crontab,
                          [&entry](const std::string& program) { return Names(program, entry); });
}

void RemoveCronLines(Context& context, PassSink& sink, const AutostartEntry& place,
                     const std::string& entry) {
    Platform& platform = context.platform;
    const std::optional<std::string> crontab = platform.readCrontab(place.key);
    const std::vector<std::string> lines =
        crontab ? LinesStarting(*crontab, entry) : std::vector<std::string>();
    if (lines.empty())
        return; // taken out already, for an earlier line
    const bool written =
        JournalChange(context, JournalEntry::Kind::Crontab, entry, place.key, *crontab) &&
        platform.writeCrontab(place.key, CrontabWithoutEntry(*crontab, entry));
    for (const std::string& line : lines)
        sink.report({PassVerb::Cron, {place.key, line}, !written});
}

bool PutLinkBack(Context& context, const JournalEntry& item, PassSink& sink,
                 RestoreOutcome& outcome) {
    const std::string folder = FolderOf(item.place);
    const std::string name = item.place.substr(folder.size());
    // Only a link of a unit's *.wants/ or *.requires/ folder is put back.
    const bool linkFolder = folder.ends_with(".wants/") || folder.ends_with(".requires/");
    const std::unique_ptr<HeldFolder> held =
        linkFolder && JoinName(folder, name) ? context.platform.holdFolder(folder) : nullptr;
    if (held && (held->linkTarget(name) || held->fileIdentity(name))) {
        ++outcome.skipped;
        sink.report({PassVerb::Skip, {item.place, "exists"}});
        return false;
    }
    const bool linked = held && held->createLink(name, item.kept);
    sink.report({PassVerb::Relink, {item.place, item.kept}, !linked});
    ++(linked ? outcome.restored : outcome.failed);
    return linked;
}

bool PutCrontabBack(Context& context, const JournalEntry& item, PassSink& sink,
                    RestoreOutcome& outcome) {
    Platform& platform = context.platform;
    const std::optional<std::string> now = platform.readCrontab(item.place);
    std::vector<std::string> missing = LinesStarting(item.kept, item.entry);
    if (now) {
        const std::vector<std::string_view> present = SplitLines(*now);
        std::erase_if(missing, [&](const std::string& line) {
            return std::find(present.begin(), present.end(), line) != present.end();
        });
        if (missing.empty()) {
            ++outcome.skipped;
            sink.report({PassVerb::Skip, {"crontab " + item.place, "exists"}});
            return false;
        }
    }
    std::string back = item.kept;
    if (now && *now != CrontabWithoutEntry(item.kept, item.entry)) {
        back = *now + (now->empty() || now->ends_with('\n') ? "" : "\n");
        for (const std::string& line : missing)
            back += line + '\n';
    }
    const bool written = now && platform.writeCrontab(item.place, back);
    for (const std::string& line : missing)
        sink.report({PassVerb::CronRestore, {item.place, line}, !written});
    ++(written ? outcome.restored : outcome.failed);
    return written;
}

} // namespace

std::vector<std::string> LinuxAutostartFolders(Context& context) {
    const LinuxPlaces places = context.platform.linuxPlaces();
    std::vector<std::string> folders;
    for (const PlaceUser& user : places.users) {
        if (!user.home.starts_with('/'))
            continue;
        folders.push_back(Below(user.home, kUserAutostart));
        folders.push_back(Below(user.home, kUserUnits));
    }
    if (places.machine)
        folders.insert(folders.end(), {kMachineAutostart, kMachineUnits, kCrontabs});
    return folders;
}

void ReadLinuxAutostartPlaces(Context& context, AutostartIndex& index) {
    const LinuxPlaces places = context.platform.linuxPlaces();
    std::set<std::string> homes;
    for (const PlaceUser& user : places.users) {
        if (!user.home.starts_with('/') || !homes.insert(user.home).second)
            continue; // read once, for the first user of a shared home
        ReadFolder(context, index, Below(user.home, kUserAutostart), Kind::Desktop, user.name,
                   user.id);
        ReadFolder(context, index, Below(user.home, kUserUnits), Kind::Unit, user.name, user.id);
    }
    if (places.machine) {
        ReadFolder(context, index, kMachineAutostart, Kind::Desktop, "", 0);
        ReadFolder(context, index, kMachineUnits, Kind::Unit, "", 0);
    }
    for (const PlaceUser& user : places.users)
        ReadCrontab(context, index, user);
}

void RemoveLinuxAutostartEntry(Context& context, PassFolders& folders, PassSink& sink,
                               const AutostartEntry& place, const std::string& entry) {
    sink.report({PassVerb::Status, {AutostartPlaceText(place)}});
    switch (place.kind) {
    case Kind::Desktop:
        RemoveDesktopEntry(context, folders, sink, place, entry);
        break;
    case Kind::Unit:
        DisableUnit(context, folders, sink, place, entry);
        break;
    case Kind::Cron:
        RemoveCronLines(context, sink, place, entry);
        break;
    default:
        break;
    }
}

bool IsLinuxPlaceRecord(const JournalEntry& item) {
    return item.kind == JournalEntry::Kind::Link || item.kind == JournalEntry::Kind::Crontab;
}

bool PutLinuxPlaceBack(Context& context, const JournalEntry& item, PassSink& sink,
                       RestoreOutcome& outcome) {
    return item.kind == JournalEntry::Kind::Link ? PutLinkBack(context, item, sink, outcome)
                                                 : PutCrontabBack(context, item, sink, outcome);
}

} // namespace pestrel
