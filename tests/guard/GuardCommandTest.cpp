#include "base/HeldFolder.h"
#include "engine/Journal.h"
#include "engine/Public.h"
#include "tests/guard/GuardRun.h"
#include "tests/support/TestFiles.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pestrel {
namespace {

namespace fs = std::filesystem;
using test::GuardRun;
using test::WaitUntil;

constexpr unsigned kNobody = 65534;

// The exec error of the command, 0 when it started; one that started is given a moment to end
// and then killed, so that a start that should have been refused never holds the test up.
int Start(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (error == 0 && !WaitUntil([&] { return ::waitpid(pid, nullptr, WNOHANG) == pid; },
                                 std::chrono::seconds(2))) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    return error;
}

class GuardCommand : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "the guard's refusals need root";
        test::WriteFile(list, listed + "\r\n");
    }
    // A copy of the helper under the listed name in `folder`, ready to start.
    std::string placeProgram(const std::string& folder) {
        fs::create_directories(folder);
        fs::copy_file(PESTREL_TEST_HELPER, folder + listed, fs::copy_options::overwrite_existing);
        return folder + listed;
    }
    bool journals(const std::string& path) {
        const auto journal = ReadJournal(context);
        return journal && std::any_of(journal->begin(), journal->end(), [&](const auto& entry) {
                   return entry.place == path && !entry.restored;
               });
    }

    test::CliMachine cli;
    Context& context = cli.context();
    const std::string listed = cli.name("guarded.exe");
    const std::string list = cli.machine.root() + "list.txt";
    const std::string tools = cli.machine.root() + "Tools/";
    const std::string mark = cli.machine.root() + "started";
};

TEST_F(GuardCommand, RefusesAListedStartThenRemovesTheFileForTheUndo) {
    const std::string program = placeProgram(tools);
    GuardRun guard(cli, {"--list", list});
    ASSERT_TRUE(guard.says("guarding")) << guard.err();

    EXPECT_EQ(Start({program, "--ready", mark}), EPERM);
    EXPECT_FALSE(test::Exists(mark)) << "the listed program ran";
    EXPECT_TRUE(WaitUntil([&] { return !test::Exists(program); })) << guard.out();
    EXPECT_EQ(Start({"/bin/true"}), 0) << "an unlisted program was refused";

    const test::CliResult stopped = guard.stop();
    EXPECT_EQ(stopped.status, 0) << stopped.err;
    EXPECT_NE(stopped.out.find("denied\t" + program + "\n"), std::string::npos) << stopped.out;
    EXPECT_NE(stopped.out.find("delete\t" + program + "\t"), std::string::npos) << stopped.out;
    EXPECT_TRUE(journals(program));

    EXPECT_EQ(cli.run({"--restore", listed}).status, 0);
    EXPECT_TRUE(test::Exists(program));
}

TEST_F(GuardCommand, RefusesAStartFromAFileSystemMountedWhileItRuns) {
    GuardRun guard(cli, {"--list", list});
    ASSERT_TRUE(guard.says("guarding")) << guard.err();
    const std::string mounted = cli.machine.root() + "mounted/";
    fs::create_directories(mounted);
    if (std::system(("mount -t tmpfs -o size=4m pestrel-test '" + mounted + "'").c_str()) != 0)
        GTEST_SKIP() << "cannot mount here";
    struct Unmount {
        std::string folder;
        ~Unmount() { std::system(("umount -l '" + folder + "'").c_str()); }
    } unmount{mounted};
    const std::string program = placeProgram(mounted);

    ASSERT_TRUE(guard.says("watch\t" + mounted.substr(0, mounted.size() - 1))) << guard.err();
    EXPECT_EQ(Start({program, "--ready", mark}), EPERM);
    EXPECT_FALSE(test::Exists(mark)) << "the listed program ran";
}

TEST_F(GuardCommand, RemovesAListedFileDroppedIntoTheSystemFolder) {
    GuardRun guard(cli, {"--list", list});
    ASSERT_TRUE(guard.says("guarding")) << guard.err();
    const std::string unlisted = cli.sysDir() + cli.name("other.exe");
    test::WriteFile(unlisted, "stays");
    test::WriteFile(cli.sysDir() + listed + ".part", "dropped");
    fs::rename(cli.sysDir() + listed + ".part", cli.sysDir() + listed);

    EXPECT_TRUE(WaitUntil([&] { return !test::Exists(cli.sysDir() + listed); })) << guard.err();
    EXPECT_TRUE(guard.stop().out.find("backup\t" + cli.sysDir() + listed) != std::string::npos);
    EXPECT_TRUE(test::Exists(unlisted));
    EXPECT_TRUE(journals(cli.sysDir() + listed));
}

TEST_F(GuardCommand, ANameAddedToTheListIsRemovedFromTheSystemFolder) {
    const std::string dropped = cli.sysDir() + cli.name("later.exe");
    test::WriteFile(dropped, "not listed yet");
    GuardRun guard(cli, {"--list", list});
    ASSERT_TRUE(guard.says("guarding")) << guard.err();
    EXPECT_TRUE(test::Exists(dropped));

    test::WriteFile(list + ".new", listed + "\n" + cli.name("later.exe") + "\n");
    fs::rename(list + ".new", list);
    EXPECT_TRUE(guard.says("reload\t2"));
    EXPECT_TRUE(WaitUntil([&] { return !test::Exists(dropped); })) << guard.out();
}

TEST_F(GuardCommand, TakesAListedProgramOutOfAStartUpValueWrittenMeanwhile) {
    GuardRun guard(cli, {"--list", list, "--clean-autostart"});
    ASSERT_TRUE(guard.says("guarding")) << guard.err();
    ASSERT_TRUE(WriteRegValue(cli.platform(), RegRoot::CurrentUser, kRunKey, RegText, "Updater",
                              "C:\\Tools\\" + listed + " /quiet"));
    EXPECT_TRUE(guard.says("autostart\t")) << guard.out();
    EXPECT_EQ(cli.platform().queryValue(RegRoot::CurrentUser, kRunKey, "Updater"), std::nullopt);
}

// Without the choice of cleaning every autostart place, root's guard and a user's own take the
// start-up value named like the entry, and leave a value of another name that starts it.
TEST_F(GuardCommand, WithoutTheChoiceOnlyTheStartUpValueNamedLikeTheEntryGoes) {
    for (const unsigned user : {0u, kNobody}) {
        if (user != 0) {
            ASSERT_EQ(std::system(("chown -R 65534:65534 " + cli.machine.root()).c_str()), 0);
        }
        GuardRun guard(cli, {"--list", list}, user);
        ASSERT_TRUE(guard.says(user == 0 ? "guarding" : "cannot refuse")) << guard.err();
        {
            // Two quick writes of the registry's owner, made with its ids.
            const OwnerRights owners(OpenFolderWithoutLinks(cli.machine.root()).get());
            ASSERT_TRUE(WriteRegValue(cli.platform(), RegRoot::CurrentUser, kRunKey, RegText,
                                      "Updater", "C:\\Tools\\" + listed));
            ASSERT_TRUE(WriteRegValue(cli.platform(), RegRoot::CurrentUser, kRunKey, RegText,
                                      listed, "C:\\Tools\\other.exe"));
        }
        EXPECT_TRUE(guard.says("regdelete\t")) << user << guard.out() << guard.err();
        // The guard ends between its steps only: once it has, the round that took the one value
        // has done all it would to the other.
        const test::CliResult stopped = guard.stop();
        EXPECT_EQ(stopped.status, 0) << stopped.err;
        EXPECT_EQ(stopped.out.find("autostart\t"), std::string::npos) << stopped.out;
        EXPECT_EQ(cli.platform().queryValue(RegRoot::CurrentUser, kRunKey, listed), std::nullopt);
        EXPECT_TRUE(cli.platform().queryValue(RegRoot::CurrentUser, kRunKey, "Updater")) << user;
        cli.platform().deleteValue(RegRoot::CurrentUser, kRunKey, "Updater");
    }
}

TEST_F(GuardCommand, RemovesATaskWrittenMeanwhileThatStartsAListedProgram) {
    const std::string tasks = cli.platform().tasksFolder() + "/";
    fs::create_directories(tasks);
    GuardRun guard(cli, {"--list", list, "--clean-autostart"});
    ASSERT_TRUE(guard.says("guarding")) << guard.err();
    test::WriteFile(tasks + "Refresh", "<Task><Actions><Exec><Command>C:\\Tools\\" + listed +
                                           "</Command></Exec></Actions></Task>");
    EXPECT_TRUE(guard.says("task\t")) << guard.out();
    EXPECT_FALSE(test::Exists(tasks + "Refresh"));
}

TEST_F(GuardCommand, AsAUserEndsAListedProgramSoonAfterItStarts) {
    const std::string program = placeProgram(tools);
    // Everything of the test machine becomes the user's, as a user's own guard has it.
    ASSERT_EQ(std::system(("chown -R 65534:65534 " + cli.machine.root()).c_str()), 0);
    GuardRun guard(cli, {"--list", list}, kNobody);
    ASSERT_TRUE(guard.says("cannot refuse")) << guard.err();

    test::ChildRun started = test::StartProgram(
        "/usr/bin/setpriv",
        {"--reuid", "65534", "--regid", "65534", "--clear-groups", "--", program}, {},
        cli.machine.root());
    int status = 0;
    const bool ended =
        WaitUntil([&] { return ::waitpid(started.pid, &status, WNOHANG) == started.pid; });
    if (!ended)
        ::kill(started.pid, SIGKILL);
    test::FinishProgram(started);
    EXPECT_TRUE(ended) << guard.out() << guard.err();
    EXPECT_NE(guard.stop().out.find("terminate\t" + std::to_string(started.pid)),
              std::string::npos);
}

// Four loops start 20,000 unlisted programs while the guard answers for each: every one
// finishes, and in bounded time.
TEST_F(GuardCommand, NeverHoldsUpTheMachine) {
    GuardRun guard(cli, {"--list", list});
    ASSERT_TRUE(guard.says("guarding")) << guard.err();
    const std::string script = cli.machine.root() + "loops.sh";
    test::WriteFile(script, "loop() { for i in $(seq 5000); do /bin/true || exit 1; done; }\n"
                            "loop & loop & loop & loop &\n"
                            "for j in 1 2 3 4; do wait -n || exit 1; done\n");
    EXPECT_EQ(std::system(("timeout -s KILL 400 bash " + script).c_str()), 0);
    EXPECT_EQ(guard.stop().status, 0);
}

} // namespace
} // namespace pestrel
