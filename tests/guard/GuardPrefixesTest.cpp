#include "tests/guard/GuardRun.h"
#include "tests/support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pestrel {
namespace {

namespace fs = std::filesystem;
using test::GuardRun;
using test::WaitUntil;

// One guard over two Wine prefixes made of files only: no Wine runs for them.
class GuardPrefixes : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "the guard's refusals need root";
        const std::string registry = "WINE REGISTRY Version 2\n\n[Software] 1\n#time=1\n";
        for (const std::string& prefix : prefixes) {
            fs::create_directories(prefix + "drive_c/windows/system32");
            fs::create_directories(prefix + "dosdevices");
            test::WriteFile(prefix + "system.reg", registry);
            test::WriteFile(prefix + "user.reg", registry);
        }
        test::WriteFile(list, names[0] + "\n" + names[1] + "\n");
    }
    std::string system32(int at) const { return prefixes[at] + "drive_c/windows/system32/"; }

    test::CliMachine cli;
    const std::string prefixes[2] = {cli.machine.root() + "first/", cli.machine.root() + "second/"};
    const std::string names[2] = {cli.name("first.exe"), cli.name("second.exe")};
    const std::string list = cli.machine.root() + "list.txt";
};

TEST_F(GuardPrefixes, RemovesAFileDroppedIntoEachPrefixForThatPrefixsUndo) {
    GuardRun guard(cli,
                   {"--list", list, "--wine-prefix", prefixes[0], "--wine-prefix", prefixes[1]});
    ASSERT_TRUE(guard.says("guarding")) << guard.err();
    // The first files may go with the guard's look at the folders as it starts; the second ones
    // can only go as they arrive.
    for (const char* content : {"dropped", "dropped again"}) {
        for (int at : {0, 1}) {
            test::WriteFile(system32(at) + names[at] + ".part", content);
            fs::rename(system32(at) + names[at] + ".part", system32(at) + names[at]);
        }
        for (int at : {0, 1})
            EXPECT_TRUE(WaitUntil([&] { return !test::Exists(system32(at) + names[at]); }))
                << guard.out() << guard.err();
    }
    const test::CliResult stopped = guard.stop();
    EXPECT_EQ(stopped.status, 0) << stopped.err;

    for (int at : {0, 1}) {
        EXPECT_NE(stopped.out.find("delete\t" + system32(at) + names[at] + "\t"), std::string::npos)
            << stopped.out;
        const test::CliResult restored =
            cli.run({"--restore", "--wine-prefix", prefixes[at], names[at]});
        EXPECT_EQ(restored.status, 0) << restored.out << restored.err;
        EXPECT_EQ(test::ReadFile(system32(at) + names[at]), "dropped again") << restored.out;
        EXPECT_EQ(test::Exists(system32(1) + names[1]), at == 1) << "the other prefix's came back";
    }
}

TEST_F(GuardPrefixes, TakesAListedProgramOutOfTheRegistryOfThePrefixWhoseRegistryChanged) {
    GuardRun guard(cli, {"--list", list, "--clean-autostart", "--wine-prefix", prefixes[0],
                         "--wine-prefix", prefixes[1]});
    ASSERT_TRUE(guard.says("guarding")) << guard.err();
    const std::string user = prefixes[1] + "user.reg";
    // As with the files, the second value can only go as the registry's change is seen.
    for (const char* value : {"Updater", "Helper"}) {
        test::WriteFile(user + ".new",
                        "WINE REGISTRY Version 2\n\n"
                        "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1\n"
                        "#time=1\n\"" +
                            std::string(value) + "\"=\"C:\\\\" + names[1] + "\"\n");
        fs::rename(user + ".new", user);
        EXPECT_TRUE(WaitUntil([&] {
            return test::ReadFile(user).value_or("").find(names[1]) == std::string::npos;
        })) << guard.out()
            << guard.err();
    }
    const std::string out = guard.stop().out;
    EXPECT_NE(out.find("\tHelper\tC:\\" + names[1]), std::string::npos) << out;
}

TEST_F(GuardPrefixes, OnlyTheGuardTakesSeveralPrefixesAndEachMustOpen) {
    const std::string missing = cli.machine.root() + "missing/";
    const struct {
        std::vector<std::string> arguments;
        std::string says;
    } cases[] = {
        {{"--kill", "--list", list}, "--wine-prefix goes more than once only with --guard"},
        {{"--restore"}, "--wine-prefix goes more than once only with --guard"},
        {{"--guard", "--list", list, "--wine-prefix", missing}, missing}, // named
    };
    for (const auto& c : cases) {
        // The action, the two prefixes, then the rest.
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin() + 1,
                         {"--wine-prefix", prefixes[0], "--wine-prefix", prefixes[1]});
        // Bounded: a guard that were to start would stay.
        arguments.insert(arguments.begin(),
                         {"-s", "KILL", "20", cli.context().AppPath + "pestrel"});
        const test::CliResult result = test::FinishProgram(test::StartProgram(
            "/usr/bin/timeout", arguments, {"XDG_DATA_HOME=" + cli.machine.root() + "home"},
            cli.machine.root()));
        EXPECT_EQ(result.status, 2) << c.arguments.front() << result.out << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_EQ(result.out.find("guarding"), std::string::npos) << result.out;
    }
}

} // namespace
} // namespace pestrel
