#include "engine/PassAction.h"
#include "engine/Public.h"
#include "tests/cli/CliRun.h"
#include "tests/support/TestFiles.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pestrel {
namespace {

using test::CliResult;
using test::WriteFile;

class KillCommand : public ::testing::Test {
protected:
    void writeList(const std::vector<std::string>& entries) {
        std::string bytes;
        for (const std::string& entry : entries)
            bytes += entry + "\r\n";
        WriteFile(context.AppPath + "VirusList.txt", bytes);
    }
    std::string runKey(RegRoot root) { return RegPlace(root, kRunKey); }

    test::CliMachine cli;
    Context& context = cli.context();
    Platform& platform = cli.platform();
    const std::string tools = cli.machine.root() + "Tools/";
    const std::string evil = cli.name("evil.exe"), stray = cli.name("stray.exe"),
                      hook = cli.name("hook.dll"), none = cli.name("none.exe");
};

TEST_F(KillCommand, DryRunPrintsTheLinesOfTheRealRunAndChangesNothing) {
    auto running = cli.machine.startProgram(tools, evil);
    WriteFile(context.WinDir + stray, "stray program");
    WriteFile(context.SysDir + hook, "hook library");
    ASSERT_TRUE(WriteRegValue(platform, RegRoot::LocalMachine, kRunKey, RegText, evil, "C:\\e"));
    ASSERT_TRUE(WriteRegValue(platform, RegRoot::CurrentUser, kRunKey, RegText, stray, "C:\\s"));
    writeList({none, hook, stray, evil}); // the pass goes from the last entry to the first
    const auto before = cli.snapshot();

    const CliResult dry = cli.run({"--kill", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_TRUE(cli.snapshot() == before) << "the dry run changed a file";
    EXPECT_TRUE(running->alive());

    const CliResult real = cli.run({"--kill"});
    EXPECT_EQ(real.status, 0) << real.err;
    EXPECT_EQ(dry.lines(), real.lines());
    EXPECT_TRUE(running->ended());

    const std::string temp = context.backupFolder(), kept = context.AppPath + "Undo/Kept/";
    const std::vector<std::string> actions = {
        "terminate\t" + std::to_string(running->id()) + "\t" + evil,
        "backup\t" + tools + evil + "\t" + temp + evil,
        "delete\t" + tools + evil + "\t" + kept + "1-" + evil,
        "regdelete\t" + runKey(RegRoot::LocalMachine) + "\t" + evil,
        "backup\t" + cli.winDir() + stray + "\t" + temp + stray,
        "delete\t" + cli.winDir() + stray + "\t" + kept + "1-" + stray,
        "regdelete\t" + runKey(RegRoot::CurrentUser) + "\t" + stray,
        "delete\t" + cli.sysDir() + hook + "\t" + kept + "1-" + hook,
        "pending\t" + hook,
    };
    std::vector<std::string> lines = real.lines();
    ASSERT_EQ(lines.size(), actions.size() + 17 + 1) << real.out;
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9), actions);
    EXPECT_EQ(lines[9], "repair\tHKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion"
                        "\\Policies\\System\tDisableRegistryTools\t0");
    EXPECT_EQ(lines.back(), "summary\tentries=4\tbackup=2\tdelete=3\tpending=1\tregdelete=2"
                            "\trepair=17\tterminate=1\tfailed=0\tfinished");
    EXPECT_FALSE(test::Exists(context.WinDir + stray));
}

TEST_F(KillCommand, AutostartListsEveryEntryAndMarksTheListedOnes) {
    ASSERT_TRUE(WriteRegValue(platform, RegRoot::CurrentUser, kRunKey, RegText, "Updater",
                              "\"C:\\A b\\" + evil + "\" /min"));
    ASSERT_TRUE(
        WriteRegValue(platform, RegRoot::CurrentUser, kRunKey, RegText, evil, "C:\\other.exe"));
    ASSERT_TRUE(WriteRegValue(platform, RegRoot::LocalMachine, kRunKey, RegText, "Tool",
                              "C:\\tool.exe " + evil));
    const std::string tasks = platform.tasksFolder() + "/";
    WriteFile(tasks + "Refresh", "<Task><Actions><Exec><Command>\"C:\\A b\\" + evil +
                                     "\"</Command></Exec></Actions></Task>");
    const std::string broken = platform.startupFolders().back() + "/Broken.lnk";
    WriteFile(broken, "not a shortcut");
    writeList({evil});
    const CliResult result = cli.run({"--autostart"});
    EXPECT_EQ(result.status, 0) << result.err;
    // The stand-in's places; the machine's own Linux places are listed too.
    std::vector<std::string> lines = result.lines();
    std::erase_if(lines, [&](const std::string& line) {
        return !line.starts_with("HKEY_") && !line.starts_with(tasks) &&
               !line.starts_with("failed\tshortcut");
    });
    // Every pass takes the value named like the entry; only --clean-autostart the places that
    // merely start it.
    const std::string onlyCleaning = "\tlisted\tclean-autostart";
    EXPECT_EQ(
        lines,
        (std::vector<std::string>{
            runKey(RegRoot::LocalMachine) + "\tTool\tC:\\tool.exe",
            runKey(RegRoot::CurrentUser) + "\tUpdater\tC:\\A b\\" + evil + onlyCleaning,
            runKey(RegRoot::CurrentUser) + "\t" + evil + "\tC:\\other.exe\tpass",
            tasks + "\tRefresh\tC:\\A b\\" + evil + onlyCleaning, "failed\tshortcut\t" + broken}));
}

TEST_F(KillCommand, AFailedActionGivesStatusOne) {
    WriteFile(context.WinDir + stray, "stray program");
    std::filesystem::create_directories(context.backupFolder() + stray); // the backup cannot go
    writeList({stray});
    const CliResult run = cli.run({"--kill", "--no-repair"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lines().front(),
              "failed\tbackup\t" + cli.winDir() + stray + "\t" + context.backupFolder() + stray);
    EXPECT_EQ(run.lines().back().substr(run.lines().back().find("failed=")), "failed=1\tfinished");
}

TEST_F(KillCommand, ReadsANamedListThroughTheUsersLink) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "As root, links in a named list's path are the security table's rows.";
    const std::string list = cli.machine.root() + "suspects.txt";
    WriteFile(list, none + "\r\n");
    std::filesystem::create_symlink(list, cli.machine.root() + "link.txt");
    const CliResult result =
        cli.run({"--kill", "--dry-run", "--no-repair", "--list", cli.machine.root() + "link.txt"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("entries=1"), std::string::npos) << result.out;
}

TEST_F(KillCommand, BadInputGetsOneLineAndStatusTwo) {
    WriteFile(context.AppPath + "binary.txt", std::string("evil.exe\r\n\x7F"
                                                          "ELF\0\x01\x02",
                                                          14));
    writeList({evil});
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--kill", "--list", context.AppPath + "missing.txt"}, "cannot read the list"},
        {{"--kill", "--list", context.AppPath + "binary.txt"}, "is not text"},
        {{"--frobnicate"}, "Unknown option 'frobnicate'"},
        {{"--kill", "--restore"}, "go alone"},
        {{"--restore", "--dry-run"}, "go with --kill"},
        {{"--list-backups", "--scan", context.AppPath}, "go with --kill"},
        {{"--kill", "extra"}, "Unexpected argument 'extra'"},
        {{"--kill", "--max-file-size", "0"}, "takes a size"},
        {{"--kill", "--max-file-size", "12X"}, "takes a size"},
        {{"--kill", "--max-file-size", "M"}, "takes a size"},
        {{"--kill", "--max-file-size", "17179869184T"}, "takes a size"},
        {{"--autostart", "--max-file-size", "1G"}, "go with --kill"},
    };
    for (const auto& c : cases) {
        const CliResult result = cli.run(c.arguments);
        SCOPED_TRACE(c.arguments.back());
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
}

TEST_F(KillCommand, HashLinesWarnWhenMalformedAndPrintWhatMatched) {
    const std::string scanned = cli.machine.root() + "Scanned/", file = scanned + "renamed.bin";
    WriteFile(file, "EICAR-like test content");
    const std::string hash =
        "sha256:" + platform.holdFolder(scanned)->fileDigest("renamed.bin")->sha256;
    const std::string bad = "sha256:" + hash.substr(8, 63);
    writeList({hash, bad});
    const CliResult run = cli.run({"--kill", "--no-repair", "--scan", scanned});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "pestrel: warning: '" + bad +
                  "' is not a hash line (sha256: and 64 hex digits); it matches no file\n");
    ASSERT_FALSE(run.lines().empty());
    EXPECT_EQ(run.lines().front(), "match\t" + file + "\t" + hash);
    EXPECT_FALSE(test::Exists(file));
}

TEST_F(KillCommand, HelpAndVersion) {
    const CliResult help = cli.run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option :
         {"--kill", "--list", "--scan", "--no-repair", "--dry-run", "--list-backups", "--restore"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const CliResult version = cli.run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "pestrel " PESTREL_VERSION "\n");
}

} // namespace
} // namespace pestrel
