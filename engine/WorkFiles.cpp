#include "engine/WorkFiles.h"

#include "base/AsciiCase.h"
#include "base/FileBytes.h"
#include "engine/Context.h"
#include "engine/HashLine.h"
#include "engine/Public.h"
#include "engine/UnicodeText.h"
#include "platform/Platform.h"

#include <algorithm>
#include <iterator>

namespace pestrel {
namespace {

constexpr const char* kSection = "RunData";
constexpr const char* kAutostartSection = "Autostart";
constexpr const char* kLogFile = "Log.ini";

std::string InAppFolder(const Context& context, const char* fileName) {
    return JoinName(context.AppPath, fileName).value_or(std::string());
}

} // namespace

std::vector<std::string> TextLines(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    const std::vector<std::string_view> split = SplitLines(bytes);
    std::vector<std::string> lines(split.begin(), split.end());
    for (std::string& line : lines) {
        if (line.find('\r') != std::string::npos)
            std::erase(line, '\r');
    }
    // A last line of nothing but carriage returns has not started.
    if (!lines.empty() && lines.back().empty() && !bytes.ends_with('\n'))
        lines.pop_back();
    return lines;
}

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes)
        return false;
    std::vector<std::string> read = TextLines(*bytes);
    if (lines.empty()) {
        lines = std::move(read); // a long list is not moved line by line into a second vector
        return true;
    }
    lines.reserve(lines.size() + read.size());
    std::move(read.begin(), read.end(), std::back_inserter(lines));
    return true;
}

namespace {
std::string JoinedLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& line : lines)
        bytes.append(line).append("\r\n");
    return bytes;
}
} // namespace

bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
    return !path.empty() && ReplaceFileAtomically(path, JoinedLines(lines));
}

namespace {
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
} // namespace

std::string TrimBlanks(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool HasVisibleText(const std::string& line) {
    return !std::all_of(line.begin(), line.end(), IsBlank);
}

namespace {
// In place, so that a long list needs no second vector.
std::vector<std::string> VisibleLines(std::vector<std::string> lines) {
    std::erase_if(lines, [](const std::string& line) { return !HasVisibleText(line); });
    return lines;
}
} // namespace

std::optional<std::string> ListFileText(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE"))
        return LocalFromUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return LocalFromUtf16(bytes.substr(2), true);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return std::string(bytes);
}

VirusListLoad LoadVirusList(Context& context) {
    VirusListLoad load;
    const std::string path = InAppFolder(context, "VirusList.txt");
    if (path.empty() || !context.platform.fileExists(path)) {
        load.ok = WriteTextLines(path, {});
        return load;
    }
    const std::optional<std::string> bytes = ReadFileBytes(path);
    const std::optional<std::string> text = bytes ? ListFileText(*bytes) : std::nullopt;
    if (!text) {
        load.ok = false;
        return load;
    }
    load.entries = VisibleLines(TextLines(*text));
    // Written back without blank lines, in CR LF, unless it is so already, and only in a form
    // that reads back as these entries: a first entry that begins like a byte order mark would
    // not, so such a list stays as it is.
    if (load.entries.size() >= 2) {
        const std::string written = JoinedLines(load.entries);
        if (written != *bytes && ListFileText(written) == written)
            load.ok = ReplaceFileAtomically(path, written);
    }
    return load;
}

bool SaveVirusList(Context& context, const std::vector<std::string>& entries) {
    return WriteTextLines(InAppFolder(context, "VirusList.txt"), entries);
}

ListFile ParseListFile(const std::optional<std::string>& bytes) {
    ListFile list;
    if (!bytes) {
        list.status = ListFile::Status::Unreadable;
        return list;
    }
    const std::optional<std::string> text = ListFileText(*bytes);
    if (!text) {
        list.status = ListFile::Status::NotText;
        return list;
    }
    std::vector<std::string> lines = TextLines(*text);
    const auto control = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 32 && c != '\t') || byte == 127;
    };
    for (const std::string& line : lines) {
        if (std::any_of(line.begin(), line.end(), control)) {
            list.status = ListFile::Status::NotText;
            return list;
        }
    }
    list.entries = VisibleLines(std::move(lines));
    list.warnings = MalformedHashWarnings(list.entries);
    return list;
}

ListFile ReadListFile(const std::string& path) {
    return ParseListFile(ReadFileBytes(path));
}

StartupSettings ReadStartupSettings(Context& context) {
    StartupSettings settings;
    const std::string path = InAppFolder(context, "Config.ini");
    if (path.empty())
        return settings;
    Platform& platform = context.platform;
    settings.firstRun = platform.readProfileString(path, kSection, "FirstRun", "True") == "True";
    settings.version = platform.readProfileString(path, kSection, "Version", "");
    if (settings.firstRun)
        platform.writeProfileString(path, kSection, "FirstRun", "False");
    return settings;
}

bool ReadCleanAutostartChoice(Context& context) {
    const std::string path = InAppFolder(context, "Config.ini");
    return !path.empty() &&
           context.platform.readProfileString(path, kAutostartSection, "Clean", "False") == "True";
}

bool WriteCleanAutostartChoice(Context& context, bool clean) {
    const std::string path = InAppFolder(context, "Config.ini");
    return !path.empty() && context.platform.writeProfileString(path, kAutostartSection, "Clean",
                                                                clean ? "True" : "False");
}

bool RecordPendingDeletion(Context& context, const std::string& entry) {
    const std::string path = InAppFolder(context, "Temp.~txt");
    return !path.empty() && context.platform.appendToFile(path, entry + "\r\n");
}

bool ForgetPendingDeletion(Context& context, const std::string& entry) {
    const std::string path = InAppFolder(context, "Temp.~txt");
    if (path.empty() || !context.platform.fileExists(path))
        return true;
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines))
        return false;
    const std::size_t before = lines.size();
    std::erase(lines, entry);
    if (lines.size() == before)
        return true;
    return lines.empty() ? context.platform.deleteFile(path) : WriteTextLines(path, lines);
}

bool RunPendingDeletions(Context& context) {
    const std::string path = InAppFolder(context, "Temp.~txt");
    Platform& platform = context.platform;
    if (path.empty() || !platform.fileExists(path))
        return true;
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines))
        return false;
    for (const std::string& line : lines) {
        for (const std::string* folder : {&context.WinDir, &context.SysDir}) {
            const std::optional<std::string> file = JoinName(*folder, line);
            if (file && platform.fileExists(*file))
                platform.deleteFile(*file);
        }
    }
    return platform.deleteFile(path);
}

void LogDeletion(Context& context, const std::string& entry, const std::string& deletedPath) {
    if (const auto log = JoinName(context.backupFolder(), kLogFile))
        context.platform.writeProfileString(*log, kSection, entry, deletedPath);
}

void EnsureBackupFolder(Context& context) {
    const std::string folder = context.backupFolder();
    if (!folder.empty() && !context.platform.folderExists(folder))
        context.platform.createFolder(folder);
}

bool BackupFile(HeldFolder& backup, HeldFolder& folder, const std::string& name,
                const FileIdentity& identity, const std::string& entry) {
    if (EqualsIgnoringAsciiCase(entry, kLogFile))
        return false;
    return folder.copyFile(name, identity, backup, entry);
}

bool WriteProcessList(Context& context, const std::vector<ProcessPathRecord>& records) {
    std::vector<std::string> lines;
    for (const ProcessPathRecord& record : records) {
        lines.push_back(record.process + "  #" + record.folder + "#");
        lines.push_back(std::string());
    }
    return WriteTextLines(InAppFolder(context, "ProcessList.txt"), lines);
}

} // namespace pestrel
