#include "engine/AutostartPlaces.h"

#include "base/AsciiCase.h"
#include "engine/CommandLineProgram.h"
#include "engine/Context.h"
#include "engine/LinuxAutostart.h"
#include "engine/ListEdit.h"
#include "engine/Public.h"
#include "engine/ScheduledTasks.h"
#include "engine/StartupFolders.h"

namespace pestrel {
namespace {

constexpr const char* kRunKeys[] = {"Run", "RunOnce", "RunServices", "RunServicesOnce",
                                    "Policies\\Explorer\\Run"};
constexpr const char* kRunKeysParent = "Microsoft\\Windows\\CurrentVersion\\";
constexpr const char* kWinlogonKey = "Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr const char* kWindowsKey = "Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kDebuggersKey =
    "Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";

// The 64-bit view's software key and, where it exists, the 32-bit view's.
std::vector<std::string> SoftwareKeys(Platform& platform, RegRoot root) {
    std::vector<std::string> keys{"Software"};
    for (const std::string& sub : platform.subkeyNames(root, "Software")) {
        if (EqualsIgnoringAsciiCase(sub, "Wow6432Node"))
            keys.push_back("Software\\" + sub);
    }
    return keys;
}

std::optional<std::string> TextValue(Platform& platform, RegRoot root, const std::string& key,
                                     const std::string& name) {
    const std::optional<RegValue> value = platform.queryValue(root, key, name);
    if (!value || value->kind != RegText)
        return std::nullopt;
    return value->text;
}

// An entry of the registry, on the word of whoever can change the registry's values.
AutostartEntry OnRegistryWord(Context& context, AutostartEntry entry) {
    entry.owner = context.platform.registryOwner(entry.root);
    return entry;
}

void ReadCommandValues(Context& context, AutostartIndex& index, RegRoot root,
                       const std::string& key) {
    for (const std::string& name : context.platform.valueNames(root, key)) {
        if (std::optional<std::string> data = TextValue(context.platform, root, key, name))
            index.add(OnRegistryWord(context, {AutostartEntry::Kind::Value, root, key, name, *data,
                                               ProgramOf(context, *data)}));
    }
}

void ReadList(Context& context, AutostartIndex& index, RegRoot root, const std::string& key,
              const std::string& name) {
    const std::optional<std::string> data = TextValue(context.platform, root, key, name);
    if (!data)
        return;
    for (const std::string& item : ListItems(*data, ListSeparators(name)))
        index.add(OnRegistryWord(context, {AutostartEntry::Kind::List, root, key, name, *data,
                                           ProgramOf(context, item)}));
}

void ReadDebuggers(Context& context, AutostartIndex& index, const std::string& key) {
    Platform& platform = context.platform;
    for (const std::string& program : platform.subkeyNames(RegRoot::LocalMachine, key)) {
        const std::string sub = key + '\\' + program;
        if (std::optional<std::string> data =
                TextValue(platform, RegRoot::LocalMachine, sub, "Debugger"))
            index.add(OnRegistryWord(context, {AutostartEntry::Kind::Value, RegRoot::LocalMachine,
                                               sub, "Debugger", *data, ProgramOf(context, *data)}));
    }
}

void ReadServices(Context& context, AutostartIndex& index) {
    Platform& platform = context.platform;
    for (const std::string& service : platform.subkeyNames(RegRoot::LocalMachine, kServicesKey)) {
        const std::string key = std::string(kServicesKey) + '\\' + service;
        if (std::optional<std::string> image =
                TextValue(platform, RegRoot::LocalMachine, key, "ImagePath"))
            index.add(
                OnRegistryWord(context, {AutostartEntry::Kind::Service, RegRoot::LocalMachine, key,
                                         "ImagePath", *image, ProgramOf(context, *image)}));
    }
}

} // namespace

void AutostartIndex::add(AutostartEntry entry) {
    const std::string fileName = UpperAscii(ProgramFileName(entry.program));
    if (fileName.empty())
        return;
    byFileName_[fileName].push_back(entries_.size());
    entries_.push_back(std::move(entry));
}

std::vector<const AutostartEntry*> AutostartIndex::starting(const std::string& fileName) const {
    std::vector<const AutostartEntry*> found;
    if (const auto known = byFileName_.find(UpperAscii(fileName)); known != byFileName_.end())
        for (std::size_t at : known->second)
            found.push_back(&entries_[at]);
    return found;
}

std::optional<std::string> ContextVariable(const Context& context, const std::string& name) {
    if (EqualsIgnoringAsciiCase(name, "SystemRoot") || EqualsIgnoringAsciiCase(name, "windir")) {
#ifdef _WIN32
        return context.WinDir.substr(0, context.WinDir.find_last_not_of('\\') + 1);
#else
        // Entries name Windows paths; the platform finds where they lie (localPath).
        static_cast<void>(context);
        return std::string("C:\\Windows");
#endif
    }
    if (EqualsIgnoringAsciiCase(name, "SystemDrive"))
        return std::string("C:");
    return std::nullopt;
}

std::string ProgramOf(const Context& context, const std::string& commandLine) {
    return CommandLineProgram(commandLine, [&context](const std::string& name) {
        return ContextVariable(context, name);
    });
}

std::vector<RegKeyPath> AutostartKeys(Platform& platform) {
    std::vector<RegKeyPath> keys;
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        for (const std::string& software : SoftwareKeys(platform, root)) {
            for (const char* run : kRunKeys)
                keys.push_back({root, software + '\\' + kRunKeysParent + run});
            for (const char* key : {kWinlogonKey, kWindowsKey})
                keys.push_back({root, software + '\\' + key});
            if (root == RegRoot::LocalMachine)
                keys.push_back({root, software + '\\' + kDebuggersKey});
        }
    }
    keys.push_back({RegRoot::LocalMachine, kServicesKey});
    return keys;
}

AutostartIndex ReadAutostartPlaces(Context& context) {
    AutostartIndex index;
    Platform& platform = context.platform;
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        for (const std::string& software : SoftwareKeys(platform, root)) {
            for (const char* run : kRunKeys)
                ReadCommandValues(context, index, root, software + '\\' + kRunKeysParent + run);
            const std::string winlogon = software + '\\' + kWinlogonKey;
            ReadList(context, index, root, winlogon, "Shell");
            ReadList(context, index, root, winlogon, "Userinit");
            ReadList(context, index, root, software + '\\' + kWindowsKey, "AppInit_DLLs");
            if (root == RegRoot::LocalMachine)
                ReadDebuggers(context, index, software + '\\' + kDebuggersKey);
        }
    }
    ReadServices(context, index);
    ReadStartupFolders(context, index);
    ReadScheduledTasks(context, index);
    ReadLinuxAutostartPlaces(context, index);
    return index;
}

bool IsRunValue(const AutostartEntry& entry) {
    return entry.kind == AutostartEntry::Kind::Value && EqualsIgnoringAsciiCase(entry.key, kRunKey);
}

std::string AutostartPlaceText(const AutostartEntry& entry) {
    switch (entry.kind) {
    case AutostartEntry::Kind::StartupFile:
    case AutostartEntry::Kind::Shortcut:
    case AutostartEntry::Kind::Task:
    case AutostartEntry::Kind::Desktop:
    case AutostartEntry::Kind::Unit:
        return entry.key;
    case AutostartEntry::Kind::Cron:
        return "crontab " + entry.key;
    default:
        return RegPlace(entry.root, entry.key);
    }
}

std::string_view ListSeparators(const std::string& valueName) {
    return EqualsIgnoringAsciiCase(valueName, "AppInit_DLLs") ? kLibraryList : kCommaList;
}

std::string EmptyListValue(const std::string& valueName) {
    if (EqualsIgnoringAsciiCase(valueName, "Shell"))
        return "explorer.exe";
    if (EqualsIgnoringAsciiCase(valueName, "Userinit"))
        return "C:\\Windows\\system32\\userinit.exe,";
    return "";
}

} // namespace pestrel
