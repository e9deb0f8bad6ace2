#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <optional>

namespace pestrel {
namespace {

std::string Bytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

// "1048576", "512K", "256M", "2G", "1T" as bytes; nothing for anything else, for 0 and for a
// size past 64 bits.
std::optional<std::uint64_t> SizeOfText(const QString& text) {
    static const QString kUnits = QStringLiteral("KMGT");
    QString digits = text;
    int shift = 0;
    if (const qsizetype unit = kUnits.indexOf(digits.right(1).toUpper());
        !digits.isEmpty() && unit >= 0) {
        shift = 10 * static_cast<int>(unit + 1);
        digits.chop(1);
    }
    bool number = false;
    const qulonglong count = digits.toULongLong(&number);
    if (!number || digits.isEmpty() || !digits.front().isDigit() || count == 0 ||
        count > (~0ull >> shift))
        return std::nullopt;
    return std::uint64_t{count} << shift;
}

// The options' descriptions and the errors, in the user's language.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(pestrel::CommandLine)
};

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        Texts::tr("Removes harmful programs by the name of their program file. Without options the "
                  "window opens."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption kill("kill",
                                  Texts::tr("Run one kill pass over the list, without a window."));
    const QCommandLineOption list(
        "list", Texts::tr("Read the names from FILE instead of VirusList.txt."), "FILE");
    const QCommandLineOption scan(
        "scan",
        Texts::tr("Also match the files below DIR against the list's hash lines (links are not "
                  "followed). May be given more than once."),
        "DIR");
    const QCommandLineOption noRepair("no-repair",
                                      Texts::tr("Skip the repairs of hijacked settings."));
    const QCommandLineOption dryRun("dry-run",
                                    Texts::tr("Show what --kill would do and change nothing."));
    const QCommandLineOption listBackups("list-backups",
                                         Texts::tr("Show every deletion kept for undo."));
    const QCommandLineOption rules(
        "rules",
        Texts::tr("Also match files with the YARA rules of every *.yar file in DIR (those of the "
                  "Rules folder beside the list always count). May be given more than once."),
        "DIR");
    const QCommandLineOption maxFileSize(
        "max-file-size",
        Texts::tr("Hash and scan by rules only files up to SIZE bytes (a K, M, G or T after the "
                  "number counts 1024s; 256M when not given). Larger files are skipped, a line "
                  "each."),
        "SIZE");
    const QCommandLineOption cleanAutostart(
        "clean-autostart",
        Texts::tr("Besides the start-up values named like an entry, take a listed program out of "
                  "every autostart place that starts it, whatever the place calls it, and delete "
                  "the program files those places name (each with the rights of the place's "
                  "owner)."));
    const QCommandLineOption restore(
        "restore",
        Texts::tr("Put back the latest deleted files and start-up values of each NAME (of "
                  "every name without one)."));
    const QCommandLineOption winePrefix(
        "wine-prefix",
        Texts::tr("Clean the Wine prefix DIR (its folders, programs and registry). With --guard "
                  "it may be given more than once: one guard watches every prefix."),
        "DIR");
    const QCommandLineOption stopWine(
        "stop-wine",
        Texts::tr("With --wine-prefix: let a registry change end the prefix's wineserver."));
    const QCommandLineOption autostart(
        "autostart",
        Texts::tr("List every autostart entry: place, name, program, 'listed' when a name of the "
                  "list matches, and which pass takes it: 'pass' (every pass: a start-up value "
                  "named like an entry) or 'clean-autostart' (only with --clean-autostart)."));
    const QCommandLineOption json(
        "json", Texts::tr("Write one JSON object per line instead of TAB-separated fields."));
    const QCommandLineOption guard(
        "guard", Texts::tr("Keep the listed programs from running until ended by SIGTERM: refuse "
                           "their start (as root), end them, and remove listed files as they "
                           "appear. SIGHUP reloads the list."));
    parser.addOptions({kill, guard, list, scan, rules, maxFileSize, cleanAutostart, noRepair,
                       dryRun, listBackups, restore, autostart, winePrefix, stopWine, json});
    parser.addPositionalArgument("NAME", Texts::tr("With --restore: the names to put back."),
                                 "[NAME...]");

    CommandLine command;
    if (!parser.parse(arguments)) {
        command.error = Bytes(parser.errorText());
        return command;
    }
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();

    const int actions = parser.isSet(kill) + parser.isSet(listBackups) + parser.isSet(restore) +
                        parser.isSet(autostart) + parser.isSet(guard);
    if (actions > 1) {
        command.error = Bytes(
            Texts::tr("--kill, --guard, --list-backups, --restore and --autostart go alone."));
        return command;
    }
    if (parser.isSet(kill))
        command.action = CommandLine::Action::Kill;
    else if (parser.isSet(listBackups))
        command.action = CommandLine::Action::ListBackups;
    else if (parser.isSet(restore))
        command.action = CommandLine::Action::Restore;
    else if (parser.isSet(autostart))
        command.action = CommandLine::Action::Autostart;
    else if (parser.isSet(guard))
        command.action = CommandLine::Action::Guard;

    const bool killOnly = parser.isSet(scan) || parser.isSet(rules) || parser.isSet(maxFileSize) ||
                          parser.isSet(noRepair) || parser.isSet(dryRun);
    const bool listed = command.action == CommandLine::Action::Kill ||
                        command.action == CommandLine::Action::Autostart ||
                        command.action == CommandLine::Action::Guard;
    if (killOnly && command.action != CommandLine::Action::Kill)
        command.error = Bytes(Texts::tr(
            "--scan, --rules, --max-file-size, --no-repair and --dry-run go with --kill."));
    else if (parser.isSet(cleanAutostart) && command.action != CommandLine::Action::Kill &&
             command.action != CommandLine::Action::Guard)
        command.error = Bytes(Texts::tr("--clean-autostart goes with --kill or --guard."));
    else if (parser.isSet(list) && !listed)
        command.error = Bytes(Texts::tr("--list goes with --kill, --autostart or --guard."));
    else if (!parser.positionalArguments().isEmpty() &&
             command.action != CommandLine::Action::Restore)
        command.error =
            Bytes(Texts::tr("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    else if (parser.isSet(json) && (command.action == CommandLine::Action::Window ||
                                    command.action == CommandLine::Action::Guard))
        command.error =
            Bytes(Texts::tr("--json goes with --kill, --list-backups, --restore or --autostart."));
    else if (parser.values(winePrefix).size() > 1 && command.action != CommandLine::Action::Guard)
        command.error = Bytes(Texts::tr("--wine-prefix goes more than once only with --guard."));
    else if (parser.isSet(stopWine) && !parser.isSet(winePrefix))
        command.error = Bytes(Texts::tr("--stop-wine goes with --wine-prefix."));
    else if (command.action == CommandLine::Action::Window && arguments.size() > 1 &&
             !parser.isSet(winePrefix))
        command.error =
            Bytes(Texts::tr("Nothing to do: give --kill, --guard, --list-backups, --restore or "
                            "--autostart."));
    if (parser.isSet(list))
        command.list = Bytes(parser.value(list));
    for (const QString& folder : parser.values(scan))
        command.scanFolders.push_back(Bytes(folder));
    for (const QString& folder : parser.values(rules))
        command.ruleFolders.push_back(Bytes(folder));
    if (parser.isSet(maxFileSize)) {
        command.maxFileBytes = SizeOfText(parser.value(maxFileSize));
        if (!command.maxFileBytes && command.error.empty())
            command.error =
                Bytes(Texts::tr("--max-file-size takes a size such as 512M or 2G, not '%1'.")
                          .arg(parser.value(maxFileSize)));
    }
    command.noRepair = parser.isSet(noRepair);
    command.cleanAutostart = parser.isSet(cleanAutostart);
    command.dryRun = parser.isSet(dryRun);
    for (const QString& folder : parser.values(winePrefix))
        command.winePrefixes.push_back(Bytes(folder));
    command.stopWine = parser.isSet(stopWine);
    command.json = parser.isSet(json);
    for (const QString& name : parser.positionalArguments())
        command.names.push_back(Bytes(name));
    return command;
}

} // namespace pestrel
