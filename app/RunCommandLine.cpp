// The actions of the command line: a kill pass (or its dry run), the journal, the restore and
// the list of autostart entries.
#include "app/ActionLine.h"
#include "app/CommandLine.h"
#include "app/ConsoleView.h"
#include "app/JsonView.h"
#include "app/NamedList.h"
#include "app/RunGuard.h"
#include "base/AsciiCase.h"
#include "engine/AutostartPlaces.h"
#include "engine/CommandLineProgram.h"
#include "engine/Context.h"
#include "engine/Journal.h"
#include "engine/Public.h"
#include "engine/RepairReport.h"
#include "engine/Restore.h"
#include "engine/RootCheck.h"
#include "engine/WorkFiles.h"
#include "platform/DryRunPlatform.h"
#ifndef _WIN32
#include "rules/YaraRules.h"
#endif

#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <memory>
#include <set>

namespace pestrel {
namespace {

constexpr int kDone = 0, kIncomplete = 1, kBadInput = 2;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(pestrel::RunCommandLine)
};

// `text` in the user's language with `field` in place of its %1, byte for byte.
std::string Message(const QString& text, const std::string& field) {
    std::string message = text.toLocal8Bit().toStdString();
    if (const std::size_t at = message.find("%1"); at != std::string::npos)
        message.replace(at, 2, field);
    return message;
}

int Refuse(const std::string& message) {
    std::fprintf(stderr, "pestrel: %s\n", Printable(message).c_str());
    return kBadInput;
}

// As root over folders that others can change, nothing is read or written; the reason is the
// one line on standard error.
// The words are the window's (translated in its context), the folders byte for byte.
std::optional<int> RefuseWhenUnsafe(Context& context) {
    const std::vector<std::string> unsafe = UnsafeFolders(context);
    if (unsafe.empty())
        return std::nullopt;
    constexpr const char* kWindowTexts = "pestrel::EngineText";
    const std::string separator = QCoreApplication::translate(kWindowTexts, kRootRefusalSeparator)
                                      .toLocal8Bit()
                                      .toStdString();
    std::string folders;
    for (const std::string& folder : unsafe)
        folders.append(folders.empty() ? "" : separator).append(folder);
    return Refuse(Message(QCoreApplication::translate(kWindowTexts, kRootRefusalText), folders));
}

// The list of --list, or the program's own; nothing, with the refusal printed, when it cannot be
// read.
std::optional<ListFile> ReadList(const CommandLine& command, const Context& context) {
    const std::string path =
        command.list ? *command.list : JoinName(context.AppPath, "VirusList.txt").value_or("");
    // The program's own list is never read through a link.
    ListFile list = command.list ? ReadNamedList(path) : ReadListFile(context.platform, path);
    if (list.status == ListFile::Status::Unreadable)
        Refuse(Message(Texts::tr("cannot read the list '%1'"), path));
    else if (list.status == ListFile::Status::NotText)
        Refuse(Message(Texts::tr("the list '%1' is not text (it holds control bytes)"), path));
    else
        return list;
    return std::nullopt;
}

int Kill(const CommandLine& command, Platform& machine) {
    DryRunPlatform dryRun(machine);
    Platform& platform = command.dryRun ? dryRun : machine;
    Context context(platform);
    InitialiseContext(context);
    context.scanFolders = command.scanFolders;
    if (const std::optional<int> refused = RefuseWhenUnsafe(context))
        return *refused;
    const std::optional<ListFile> list = ReadList(command, context);
    if (!list)
        return kBadInput;

    for (const std::string& warning : list->warnings)
        std::fprintf(stderr, "pestrel: warning: %s\n", Printable(warning).c_str());
#ifdef _WIN32
    if (!command.ruleFolders.empty())
        return Refuse(Texts::tr("rules are not matched on Windows: use hash lines")
                          .toLocal8Bit()
                          .toStdString());
#else
    const std::string listFolder = command.list ? FolderOf(*command.list) : context.AppPath;
    const RulesLoad rules = LoadListRules(platform, listFolder, command.ruleFolders);
    for (const std::string& problem : rules.problems)
        std::fprintf(stderr, "pestrel: rules: %s\n", Printable(problem).c_str());
    context.contentRules = rules.rules.get();
#endif
    if (command.maxFileBytes)
        context.scanLimits.maxFileBytes = *command.maxFileBytes;
    context.cleanAutostart = command.cleanAutostart;

    const std::unique_ptr<ConsoleView> shown = command.json
                                                   ? std::make_unique<JsonView>(list->entries)
                                                   : std::make_unique<ConsoleView>(list->entries);
    ConsoleView& view = *shown;
    const bool finished = RunKillPass(context, view, 0);
    if (!command.noRepair) {
        RepairReport repairs(platform, view);
        RepairSystemSettings(repairs);
    }
    PrintLine(view.summary(finished));
    if (command.dryRun)
        std::fprintf(stderr, "pestrel: %s\n",
                     Message(Texts::tr("dry run, %1 changes not made"),
                             std::to_string(dryRun.changes().size()))
                         .c_str());
    return finished && !view.anyFailed() ? kDone : kIncomplete;
}

// One line per autostart entry: place, value name, program, and "listed" when the program's file
// name is on the list. A missing list marks nothing.
int ListAutostart(const CommandLine& command, Platform& platform) {
    Context context(platform);
    InitialiseContext(context);
    if (const std::optional<int> refused = RefuseWhenUnsafe(context))
        return *refused;
    std::set<std::string> listed;
    if (command.list || RegularFileAt(platform, context.AppPath + "VirusList.txt")) {
        const std::optional<ListFile> list = ReadList(command, context);
        if (!list)
            return kBadInput;
        for (const std::string& entry : list->entries)
            listed.insert(UpperAscii(entry));
    }
    const AutostartIndex places = ReadAutostartPlaces(context);
    int marked = 0;
    for (const AutostartEntry& entry : places.entries()) {
        const bool named = listed.count(UpperAscii(ProgramFileName(entry.program))) > 0;
        marked += named;
        // Which choice takes it: every pass a start-up value named like an entry, only
        // --clean-autostart a place that merely starts a listed program.
        const char* taken = IsRunValue(entry) && listed.count(UpperAscii(entry.name))
                                ? "pass"
                                : (named ? "clean-autostart" : nullptr);
        if (command.json)
            PrintLine(JsonLine(AutostartObject(AutostartPlaceText(entry), entry.name, entry.program,
                                               named, taken)));
        else
            PrintLine(Printable(AutostartPlaceText(entry)) + '\t' + Printable(entry.name) + '\t' +
                      Printable(entry.program) + (named ? "\tlisted" : "") +
                      (taken ? std::string("\t") + taken : std::string()));
    }
    for (const PassAction& malformed : places.malformed())
        PrintLine(command.json ? JsonLine(ActionObject(malformed)) : ActionLine(malformed));
    if (command.json)
        PrintLine(JsonLine(SummaryObject(
            {{"entries", static_cast<int>(places.entries().size())}, {"listed", marked}})));
    return kDone;
}

int ListBackups(const CommandLine& command, Platform& platform) {
    Context context(platform);
    InitialiseContext(context);
    if (const std::optional<int> refused = RefuseWhenUnsafe(context))
        return *refused;
    const std::optional<std::vector<JournalEntry>> journal = ReadJournal(context);
    if (!journal)
        return Refuse(Message(Texts::tr("cannot read the journal '%1'"), JournalPath(context)));
    int restored = 0;
    for (const JournalEntry& item : *journal) {
        restored += item.restored;
        if (command.json) {
            PrintLine(JsonLine(JournalObject(item)));
            continue;
        }
        const BackupWords words = BackupWordsOf(item);
        const std::string name = item.name.empty() ? "" : "  name " + Printable(item.name);
        PrintLine(Printable(item.time) + "  " + Printable(item.entry) + "  " + words.verb + " " +
                  Printable(item.place) + name + "  " + words.kept + " " + Printable(item.kept) +
                  (item.restored ? "  (restored)" : ""));
    }
    if (command.json)
        PrintLine(JsonLine(SummaryObject(
            {{"entries", static_cast<int>(journal->size())}, {"restored", restored}})));
    return kDone;
}

int Restore(const CommandLine& command, Platform& platform) {
    Context context(platform);
    InitialiseContext(context);
    if (const std::optional<int> refused = RefuseWhenUnsafe(context))
        return *refused;
    const RestoreOutcome outcome =
        RestoreDeleted(context, command.names, [&command](const PassAction& action) {
            PrintLine(command.json ? JsonLine(ActionObject(action)) : ActionLine(action));
        });
    if (!outcome.journalRead)
        return Refuse(Message(Texts::tr("cannot read the journal '%1'"), JournalPath(context)));
    for (const std::string& name : outcome.notFound)
        std::fprintf(stderr, "pestrel: %s\n",
                     Message(Texts::tr("no deletion of '%1' is recorded"), name).c_str());
    if (!outcome.journalWritten)
        std::fprintf(
            stderr, "pestrel: %s\n",
            Message(Texts::tr("cannot mark the restored items in '%1'"), JournalPath(context))
                .c_str());
    if (command.json)
        PrintLine(JsonLine(SummaryObject({{"restored", outcome.restored},
                                          {"skipped", outcome.skipped},
                                          {"failed", outcome.failed}})));
    else
        PrintLine("summary\trestored=" + std::to_string(outcome.restored) + "\tskipped=" +
                  std::to_string(outcome.skipped) + "\tfailed=" + std::to_string(outcome.failed));
    const bool complete = outcome.skipped == 0 && outcome.failed == 0 && outcome.notFound.empty() &&
                          outcome.journalWritten;
    return complete ? kDone : kIncomplete;
}

} // namespace

int RunCommandLine(const CommandLine& command, Platform& platform) {
    return RunCommandLine(command, std::vector<Platform*>{&platform});
}

int RunCommandLine(const CommandLine& command, const std::vector<Platform*>& platforms) {
    if (!command.error.empty())
        return Refuse(command.error);
    Platform& platform = *platforms.front();
    // The boundary of a command-line run: a failure that escapes ends it with one line.
    try {
        switch (command.action) {
        case CommandLine::Action::Kill:
            return Kill(command, platform);
        case CommandLine::Action::ListBackups:
            return ListBackups(command, platform);
        case CommandLine::Action::Restore:
            return Restore(command, platform);
        case CommandLine::Action::Autostart:
            return ListAutostart(command, platform);
        case CommandLine::Action::Guard:
#ifdef _WIN32
            return RunGuard(command, platform);
#else
            return RunGuard(command, platforms);
#endif
        case CommandLine::Action::Window:
            break;
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "pestrel: %s\n",
                     Message(Texts::tr("stopped: %1"), failure.what()).c_str());
        return kIncomplete;
    }
    return kBadInput;
}

} // namespace pestrel
