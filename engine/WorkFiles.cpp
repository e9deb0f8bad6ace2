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

constexpr const char* kVirusList = "VirusList.txt";
constexpr const char* kConfig = "Config.ini";
constexpr const char* kPending = "Temp.~txt";

// Deletes the regular file `name` of `folder`, whatever file it is now.
bool DeleteNamed(HeldFolder& folder, const std::string& name) {
    const std::optional<FileIdentity> identity = folder.fileIdentity(name);
    return identity && folder.deleteFile(name, *identity);
}

} // namespace

std::unique_ptr<HeldFolder> HoldWorkFolder(Context& context) {
    // Without a program folder the bare names would land in the current directory.
    return context.AppPath.empty() ? nullptr : context.platform.holdFolder(context.AppPath);
}

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

bool ReadTextLines(HeldFolder& folder, const std::string& name, std::vector<std::string>& lines) {
    const std::optional<std::string> bytes = folder.readFile(name);
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

bool WriteTextLines(HeldFolder& folder, const std::string& name,
                    const std::vector<std::string>& lines) {
    return folder.replaceFile(name, JoinedLines(lines));
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
    const std::unique_ptr<HeldFolder> work = HoldWorkFolder(context);
    if (!work || !work->fileIdentity(kVirusList)) {
        load.ok = work && WriteTextLines(*work, kVirusList, {});
        return load;
    }
    const std::optional<std::string> bytes = work->readFile(kVirusList);
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
            load.ok = work->replaceFile(kVirusList, written);
    }
    return load;
}

bool SaveVirusList(Context& context, const std::vector<std::string>& entries) {
    const std::unique_ptr<HeldFolder> work = HoldWorkFolder(context);
    return work && WriteTextLines(*work, kVirusList, entries);
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

ListFile ReadListFile(Platform& platform, const std::string& path) {
    const std::size_t split = path.find_last_of(kPathSeparator);
    const std::unique_ptr<HeldFolder> folder =
        platform.holdFolder(split == std::string::npos ? "." : path.substr(0, split + 1));
    return ParseListFile(folder ? folder->readFile(path.substr(split + 1)) : std::nullopt);
}

StartupSettings ReadStartupSettings(Context& context) {
    StartupSettings settings;
    const std::unique_ptr<HeldFolder> work = HoldWorkFolder(context);
    if (!work)
        return settings;
    settings.firstRun = work->readProfileString(kConfig, kSection, "FirstRun", "True") == "True";
    settings.version = work->readProfileString(kConfig, kSection, "Version", "");
    if (settings.firstRun)
        work->writeProfileString(kConfig, kSection, "FirstRun", "False");
    return settings;
}

bool ReadCleanAutostartChoice(Context& context) {
    const std::unique_ptr<HeldFolder> work = HoldWorkFolder(context);
    return work && work->readProfileString(kConfig, kAutostartSection, "Clean", "False") == "True";
}

bool WriteCleanAutostartChoice(Context& context, bool clean) {
    const std::unique_ptr<HeldFolder> work = HoldWorkFolder(context);
    return work &&
           work->writeProfileString(kConfig, kAutostartSection, "Clean", clean ? "True" : "False");
}

bool RecordPendingDeletion(HeldFolder* work, const std::string& entry) {
    return work && work->appendFile(kPending, entry + "\r\n");
}

bool ForgetPendingDeletion(Context& context, const std::string& entry) {
    const std::unique_ptr<HeldFolder> work = HoldWorkFolder(context);
    if (!work || !work->fileIdentity(kPending))
        return true;
    std::vector<std::string> lines;
    if (!ReadTextLines(*work, kPending, lines))
        return false;
    const std::size_t before = lines.size();
    std::erase(lines, entry);
    if (lines.size() == before)
        return true;
    return lines.empty() ? DeleteNamed(*work, kPending) : WriteTextLines(*work, kPending, lines);
}

bool RunPendingDeletions(Context& context) {
    const std::unique_ptr<HeldFolder> work = HoldWorkFolder(context);
    if (!work || !work->fileIdentity(kPending))
        return true;
    std::vector<std::string> lines;
    if (!ReadTextLines(*work, kPending, lines))
        return false;
    for (const std::string* path : {&context.WinDir, &context.SysDir}) {
        const std::unique_ptr<HeldFolder> folder =
            path->empty() ? nullptr : context.platform.holdFolder(*path);
        for (const std::string& line : lines) {
            if (folder && JoinName(folder->path(), line))
                DeleteNamed(*folder, line);
        }
    }
    return DeleteNamed(*work, kPending);
}

void LogDeletion(HeldFolder* backup, const std::string& entry, const std::string& deletedPath) {
    if (backup)
        backup->writeProfileString(kLogFile, kSection, entry, deletedPath);
}

std::unique_ptr<HeldFolder> HoldBackupFolder(HeldFolder* work) {
    return work ? work->folder("Temp", true) : nullptr;
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
    const std::unique_ptr<HeldFolder> work = HoldWorkFolder(context);
    return work && WriteTextLines(*work, "ProcessList.txt", lines);
}

} // namespace pestrel
