#include "engine/GuardSteps.h"

#include "engine/Context.h"
#include "engine/GuardList.h"
#include "engine/GuardPoll.h"
#include "engine/Journal.h"
#include "engine/PassFolders.h"
#include "engine/Public.h"
#include "engine/Restore.h"
#include "tests/engine/RecordingView.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace pestrel {
namespace {

class GuardSteps : public ::testing::Test {
protected:
    std::vector<std::string> verbs() const {
        std::vector<std::string> verbs;
        for (const PassAction& action : view.actions)
            verbs.push_back((action.failed ? "failed " : "") + std::string(VerbName(action.verb)));
        return verbs;
    }
    test::TestMachine machine;
    Context& context = machine.context();
    PassFolders folders = HoldPassFolders(context);
    const GuardList list{{"Guarded.exe"}};
    test::RecordingView view{{}};
    const std::string tools = machine.root() + "Tools" + kPathSeparator;
};

TEST_F(GuardSteps, ARoundEndsTheListedProgramOnlyAndDeletesItsFile) {
    auto listed = machine.startProgram(tools, "guarded.EXE");
    auto other = machine.startProgram(tools, "unguarded.exe");
    ListedProgramRounds rounds;
    EXPECT_TRUE(rounds.run(context, folders, view, list));
    EXPECT_TRUE(listed->ended());
    EXPECT_TRUE(other->alive());
    EXPECT_FALSE(test::Exists(tools + "guarded.EXE"));
    EXPECT_EQ(verbs(), (std::vector<std::string>{"terminate", "backup", "delete"}));
    EXPECT_FALSE(rounds.run(context, folders, view, list));
}

TEST_F(GuardSteps, ADroppedFileGoesWhenItsNameIsListed) {
    for (const char* name : {"GUARDED.exe", "guarded.exe.txt"})
        test::WriteFile(context.SysDir + name, "dropped");
    for (const char* name : {"GUARDED.exe", "guarded.exe.txt", "missing.exe"})
        RemoveDroppedFile(context, folders, view, list, context.SysDir, name);
    EXPECT_FALSE(test::Exists(context.SysDir + "GUARDED.exe"));
    EXPECT_TRUE(test::Exists(context.SysDir + "guarded.exe.txt"));
    EXPECT_EQ(verbs(), (std::vector<std::string>{"backup", "delete"}));
}

// A refused file is removed only while its name still is the file that was refused.
TEST_F(GuardSteps, ARefusedFileGoesOnlyWhileItIsTheFileRefused) {
    const std::string path = tools + "guarded.exe";
    test::WriteFile(path, "refused");
    auto held = context.platform.holdFolder(tools);
    ASSERT_TRUE(held);
    const FileIdentity refused = *held->fileIdentity("guarded.exe");
    test::WriteFile(tools + "other", "put in its place");
    std::filesystem::rename(tools + "other", path);
    RemoveDeniedFile(context, folders, view, "guarded.exe", path, refused);
    EXPECT_EQ(test::ReadFile(path), "put in its place");
    EXPECT_EQ(verbs(), (std::vector<std::string>{"denied"}));

    RemoveDeniedFile(context, folders, view, "guarded.exe", path,
                     *held->fileIdentity("guarded.exe"));
    EXPECT_FALSE(test::Exists(path));
    EXPECT_EQ(verbs(), (std::vector<std::string>{"denied", "denied", "backup", "delete"}));
}

// One file refused by its names one after the other costs one kept copy, which puts each name
// back; once its content changes, it is another file to keep.
TEST_F(GuardSteps, AFileRefusedByManyNamesIsKeptOnceAndEachNameComesBack) {
    namespace fs = std::filesystem;
    const std::vector<std::string> places = {tools + "a/guarded.exe", tools + "b/guarded.exe",
                                             tools + "c/guarded.exe"};
    test::WriteFile(places[0], std::string(100000, 'x'));
    for (const std::string& place : {places[1], places[2]}) {
        fs::create_directories(FolderOf(place));
        fs::create_hard_link(places[0], place);
    }
    const auto refuse = [&](const std::string& path) {
        auto held = context.platform.holdFolder(FolderOf(path));
        RemoveDeniedFile(context, folders, view, "guarded.exe", path,
                         *held->fileIdentity("guarded.exe"));
    };
    const auto keptCopies = [&] {
        return std::distance(fs::directory_iterator(KeptFolder(context)), fs::directory_iterator());
    };
    refuse(places[0]);
    refuse(places[1]);
    EXPECT_EQ(keptCopies(), 1);
    test::WriteFile(places[2], "changed");
    refuse(places[2]);
    EXPECT_EQ(keptCopies(), 2);

    PassLog log;
    EXPECT_EQ(RestoreDeleted(context, {}, log).restored, 3);
    EXPECT_EQ(test::ReadFile(places[1]), std::string(100000, 'x'));
    EXPECT_EQ(test::ReadFile(places[2]), "changed");
}

TEST_F(GuardSteps, ThePollEndsAListedProgramStartedWhileItRuns) {
    std::atomic<bool> stop{false};
    std::thread poll([&] {
        RunGuardPoll(
            context, view, [] { return std::vector<std::string>{"guarded.exe"}; },
            [](std::size_t) {}, stop);
    });
    auto listed = machine.startProgram(tools, "guarded.exe");
    EXPECT_TRUE(listed->ended());
    stop = true;
    poll.join();
    EXPECT_FALSE(test::Exists(tools + "guarded.exe"));
}

} // namespace
} // namespace pestrel
