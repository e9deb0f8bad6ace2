// Two Wine prefixes made of files only (no Wine runs for them) and the machine's own stand-in:
// what a kill pass takes out of one system comes back into that system only.
#include "tests/cli/CliRun.h"
#include "tests/support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::ReadFile;

const std::string kRegistry = "WINE REGISTRY Version 2\n\n";
const std::string kRunSection =
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1\n#time=1\n";

class PrefixJournal : public ::testing::Test {
protected:
    PrefixJournal() {
        for (const std::string& prefix : prefixes) {
            fs::create_directories(prefix + "drive_c/windows/system32");
            fs::create_directories(prefix + "dosdevices");
            test::WriteFile(prefix + "system.reg", kRegistry);
        }
        // A has a value of its own under another name; B holds the listed program and its value.
        test::WriteFile(prefixes[0] + "user.reg", kRegistry + kRunSection + "\"Other\"=\"x\"\n");
        test::WriteFile(prefixes[1] + "user.reg",
                        kRegistry + kRunSection + "\"" + evil + "\"=\"C:\\\\" + evil + "\"\n");
        test::WriteFile(program, "evil program");
        test::WriteFile(list, evil + "\n");
    }
    std::string userHive(int at) const { return ReadFile(prefixes[at] + "user.reg").value_or(""); }
    bool valueIn(int at) const {
        return userHive(at).find("\"" + evil + "\"=") != std::string::npos;
    }

    test::CliMachine cli;
    const std::string prefixes[2] = {cli.machine.root() + "a/", cli.machine.root() + "b/"};
    const std::string evil = cli.name("evil.exe");
    const std::string program = prefixes[1] + "drive_c/windows/system32/" + evil;
    const std::string list = cli.machine.root() + "list.txt";
};

TEST_F(PrefixJournal, EachSystemPutsBackOnlyWhatWasTakenOutOfIt) {
    const CliResult kill =
        cli.run({"--kill", "--no-repair", "--wine-prefix", prefixes[1], "--list", list});
    ASSERT_EQ(kill.status, 0) << kill.out << kill.err;
    ASSERT_FALSE(test::Exists(program)) << kill.out;
    ASSERT_FALSE(valueIn(1)) << userHive(1);
    const std::string hiveA = userHive(0);

    const std::string nothing = "summary\trestored=0\tskipped=0\tfailed=0";
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        std::vector<std::string> lines;
    } elsewhere[] = {
        {"the other prefix", {"--restore", "--wine-prefix", prefixes[0]}, {nothing}},
        {"the other prefix, by name", {"--restore", "--wine-prefix", prefixes[0], evil}, {nothing}},
        {"the other prefix's list", {"--list-backups", "--wine-prefix", prefixes[0]}, {}},
        {"the stand-in", {"--restore"}, {nothing}},
        {"the stand-in's list", {"--list-backups"}, {}},
    };
    for (const auto& c : elsewhere) {
        const CliResult result = cli.run(c.arguments);
        EXPECT_EQ(result.lines(), c.lines) << c.what << "\n" << result.out << result.err;
        EXPECT_FALSE(test::Exists(program)) << c.what;
        EXPECT_FALSE(valueIn(1)) << c.what;
        EXPECT_EQ(userHive(0), hiveA) << c.what;
    }

    // The prefix named by another spelling of its folder finds its own journal.
    const std::string spelled = cli.machine.root() + "a/../b";
    const CliResult listed = cli.run({"--list-backups", "--wine-prefix", spelled});
    EXPECT_EQ(listed.lines().size(), 2u) << listed.out << listed.err;
    const CliResult restore = cli.run({"--restore", "--wine-prefix", spelled});
    EXPECT_EQ(restore.status, 0) << restore.out << restore.err;
    EXPECT_EQ(restore.lines().back(), "summary\trestored=2\tskipped=0\tfailed=0") << restore.out;
    EXPECT_EQ(ReadFile(program), "evil program");
    EXPECT_TRUE(valueIn(1)) << userHive(1);
    EXPECT_EQ(userHive(0), hiveA);
}

} // namespace
} // namespace pestrel
