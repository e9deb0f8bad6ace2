#include "engine/PassAction.h"
#include "engine/Public.h"
#include "tests/cli/CliRun.h"
#include "tests/support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

using test::CliResult;
using test::ReadFile;
using test::WriteFile;

class RestoreCommand : public ::testing::Test {
protected:
    RestoreCommand() {
        WriteFile(context.WinDir + stray, "stray program");
        WriteFile(context.SysDir + hook, "hook library");
        WriteFile(context.AppPath + "VirusList.txt",
                  evil + "\r\n" + stray + "\r\n" + hook + "\r\n");
        WriteRegValue(platform, RegRoot::LocalMachine, kRunKey, RegText, evil, "C:\\e.exe /q");
        WriteRegValue(platform, RegRoot::CurrentUser, kRunKey, RegInteger, stray, "7");
    }
    std::optional<std::string> runValue(RegRoot root, const std::string& name) {
        const std::optional<RegValue> value = platform.queryValue(root, kRunKey, name);
        return value ? std::optional(RegData(*value)) : std::nullopt;
    }

    test::CliMachine cli;
    Context& context = cli.context();
    Platform& platform = cli.platform();
    const std::string tools = cli.machine.root() + "Tools/";
    const std::string evil = cli.name("evil.exe"), stray = cli.name("stray.exe"),
                      hook = cli.name("hook.dll");
};

TEST_F(RestoreCommand, PutsBackEveryDeletedFileAndValueOnce) {
    auto running = cli.machine.startProgram(tools, evil);
    const std::string program = ReadFile(tools + evil).value();
    ASSERT_EQ(cli.run({"--kill", "--no-repair"}).status, 0);
    ASSERT_FALSE(test::Exists(tools + evil));
    ASSERT_TRUE(test::Exists(context.AppPath + "Temp.~txt"));

    const CliResult restore = cli.run({"--restore"});
    EXPECT_EQ(restore.status, 0) << restore.out << restore.err;
    EXPECT_EQ(restore.lines().size(), 5u + 1u) << restore.out;
    EXPECT_TRUE(ReadFile(tools + evil) == program) << "the program is back byte for byte";
    EXPECT_EQ(ReadFile(context.WinDir + stray), "stray program");
    EXPECT_EQ(ReadFile(context.SysDir + hook), "hook library");
    EXPECT_EQ(runValue(RegRoot::LocalMachine, evil), "C:\\e.exe /q");
    EXPECT_EQ(runValue(RegRoot::CurrentUser, stray), "7");
    EXPECT_EQ(platform.queryValue(RegRoot::CurrentUser, kRunKey, stray)->kind, RegInteger);
    EXPECT_FALSE(test::Exists(context.AppPath + "Temp.~txt")) << "the library stays back";
    EXPECT_EQ(ReadFile(context.backupFolder() + evil), program) << "Temp/<name> stays as it was";

    const CliResult again = cli.run({"--restore"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.lines(), std::vector<std::string>{"summary\trestored=0\tskipped=0\tfailed=0"});
    const CliResult listing = cli.run({"--list-backups"});
    EXPECT_EQ(listing.lines().size(), 5u);
    for (const std::string& line : listing.lines())
        EXPECT_TRUE(line.ends_with("  (restored)")) << line;
}

TEST_F(RestoreCommand, NeverReplacesAFileThatExistsAgain) {
    ASSERT_EQ(cli.run({"--kill", "--no-repair"}).status, 0);
    WriteFile(context.WinDir + stray, "a new stray");

    const CliResult restore = cli.run({"--restore", stray, cli.name("unknown.exe")});
    EXPECT_EQ(restore.status, 1);
    EXPECT_EQ(restore.lines(),
              (std::vector<std::string>{"skip\t" + cli.winDir() + stray + "\texists",
                                        "regrestore\t" + RegPlace(RegRoot::CurrentUser, kRunKey) +
                                            "\t" + stray + "\t7",
                                        "summary\trestored=1\tskipped=1\tfailed=0"}));
    EXPECT_NE(restore.err.find("unknown.exe"), std::string::npos);
    EXPECT_EQ(ReadFile(context.WinDir + stray), "a new stray");
    EXPECT_FALSE(test::Exists(context.SysDir + hook)) << "only the names asked for come back";

    // Once the new file has gone the kept one can come back.
    std::filesystem::remove(context.WinDir + stray);
    const CliResult later = cli.run({"--restore", stray});
    EXPECT_EQ(later.status, 0);
    EXPECT_EQ(ReadFile(context.WinDir + stray), "stray program");
}

// A name asked for that the journal does not hold is said on standard error with no raw control
// byte: it cannot rewrite the terminal that reads it.
TEST_F(RestoreCommand, ANameNotRecordedIsSaidWithoutItsControlBytes) {
    ASSERT_EQ(cli.run({"--kill", "--no-repair"}).status, 0);
    const CliResult restore = cli.run({"--restore", "evil\x1b]0;owned\x07.exe"});
    EXPECT_EQ(restore.status, 1);
    EXPECT_NE(restore.err.find("'evil?]0;owned?.exe'"), std::string::npos) << restore.err;
}

} // namespace
} // namespace pestrel
