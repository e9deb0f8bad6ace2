// The actions of the command line: a kill pass (or its dry run), the journal, the restore and
// the list of autostart entries.
#include "app/CommandLine.h"
#include "app/Messages.h"
#include "app/Printer.h"
#include "app/RunGuard.h"
#include "app/RunList.h"
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
#include <exception>
#include <set>

namespace pestrel {
namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(pestrel::RunCommandLine)
};

Printer::Format FormatOf(const CommandLine& command) {
    return command.json ? Printer::Format::Json : Printer::Format::Text;
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
    return ReadRunListOrSay(command, context.platform, RunListPath(command, context.AppPath));
}

int Kill(const CommandLine& command, Platform& machine) {
    DryRunPlatform dryRun(machine);
    Platform& platform = command.dryRun ? dryRun : machine;
    Context context(platform);
    InitialiseContext(context);
    context.scanFolders = command.scanFolders;
    if (const std::optional<int> refused = RefuseWhenUnsafe(context))
        return *refused;
#ifdef _WIN32
    // Said before the list is read: no list makes rules work here.
    if (!command.ruleFolders.empty())
        return Refuse(Texts::tr("rules are not matched on Windows: use hash lines")
                          .toLocal8Bit()
                          .toStdString());
#endif
    const std::optional<ListFile> list = ReadList(command, context);
    if (!list)
        return kBadInput;

    for (const std::string& warning : list->warnings)
        Complain("warning: " + warning);
#ifndef _WIN32
    const std::string listFolder = command.list ? FolderOf(*command.list) : context.AppPath;
    const RulesLoad rules = LoadListRules(platform, listFolder, command.ruleFolders);
    for (const std::string& problem : rules.problems)
        Complain("rules: " + problem);
    context.contentRules = rules.rules.get();
#endif
    if (command.maxFileBytes)
        context.scanLimits.maxFileBytes = *command.maxFileBytes;
    context.cleanAutostart = command.cleanAutostart;

    Printer printer(FormatOf(command));
    FixedList entries(list->entries);
    const bool finished = RunKillPass(context, entries, printer);
    if (!command.noRepair) {
        RepairReport repairs(platform, printer);
        RepairSystemSettings(repairs);
    }
    printer.summary(printer.passCounts(entries.count()), finished);
    if (command.dryRun)
        Complain(Message(Texts::tr("dry run, %1 changes not made"),
                         std::to_string(dryRun.changes().size())));
    return finished && !printer.anyFailed() ? kDone : kIncomplete;
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
    Printer printer(FormatOf(command));
    int marked = 0;
    for (const AutostartEntry& entry : places.entries()) {
        const bool named = listed.count(UpperAscii(ProgramFileName(entry.program))) > 0;
        marked += named;
        // Which choice takes it: every pass a start-up value named like an entry, only
        // --clean-autostart a place that merely starts a listed program.
        const char* taken = IsRunValue(entry) && listed.count(UpperAscii(entry.name))
                                ? "pass"
                                : (named ? "clean-autostart" : nullptr);
        printer.autostartEntry(AutostartPlaceText(entry), entry.name, entry.program, named, taken);
    }
    for (const PassAction& malformed : places.malformed())
        printer.report(malformed);
    printer.listingEnd(
        {{"entries", static_cast<int>(places.entries().size())}, {"listed", marked}});
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
    Printer printer(FormatOf(command));
    int restored = 0;
    for (const JournalEntry& item : *journal) {
        restored += item.restored;
        printer.journalEntry(item);
    }
    printer.listingEnd({{"entries", static_cast<int>(journal->size())}, {"restored", restored}});
    return kDone;
}

int Restore(const CommandLine& command, Platform& platform) {
    Context context(platform);
    InitialiseContext(context);
    if (const std::optional<int> refused = RefuseWhenUnsafe(context))
        return *refused;
    Printer printer(FormatOf(command));
    const RestoreOutcome outcome = RestoreDeleted(context, command.names, printer);
    if (!outcome.journalRead)
        return Refuse(Message(Texts::tr("cannot read the journal '%1'"), JournalPath(context)));
    for (const std::string& name : outcome.notFound)
        Complain(Message(Texts::tr("no deletion of '%1' is recorded"), name));
    if (!outcome.journalWritten)
        Complain(
            Message(Texts::tr("cannot mark the restored items in '%1'"), JournalPath(context)));
    printer.summary(
        {{"restored", outcome.restored}, {"skipped", outcome.skipped}, {"failed", outcome.failed}});
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
        Complain(Message(Texts::tr("stopped: %1"), failure.what()));
        return kIncomplete;
    }
    return kBadInput;
}

} // namespace pestrel
