#include "engine/Public.h"
#include "tests/engine/TestMachine.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

const std::string S(1, kPathSeparator);

class ProcessLookup : public ::testing::Test {
protected:
    std::string folder(const std::string& name) { return machine.root() + name + S; }
    test::TestMachine machine;
    Platform& platform = machine.platform();
};

TEST_F(ProcessLookup, ListsARunningProgramAndFindsItsFolderWithoutCase) {
    auto evil = machine.startProgram(folder("Tools"), "Evil.exe");
    const std::vector<std::string> names = ListProcesses(platform);
    EXPECT_NE(std::find(names.begin(), names.end(), "Evil.exe"), names.end());

    EXPECT_EQ(FindProcessFolder(platform, "evil.exe"), folder("Tools"));
    EXPECT_EQ(FindProcessFolder(platform, "EVIL.EXE"), folder("Tools"));
    // A part of the path is enough; a trailing blank is not.
    EXPECT_EQ(FindProcessFolder(platform, "VIL.EX"), folder("Tools"));
    EXPECT_EQ(FindProcessFolder(platform, "evil.exe "), "");
    EXPECT_EQ(FindProcessFolder(platform, "no-such-program-7f3a.exe"), "");
}

TEST_F(ProcessLookup, FirstOfTwoSameNamedProgramsIsFoundAndEndedFirst) {
    auto first = machine.startProgram(folder("one"), "twin.exe");
    auto second = machine.startProgram(folder("two"), "twin.exe");
    // Which one the snapshot lists first is the platform's order.
    std::string firstFolder;
    for (const ProcessRecord& record : platform.processSnapshot(SnapshotDetail::Names)) {
        if (record.id == first->id() || record.id == second->id()) {
            firstFolder = record.id == first->id() ? folder("one") : folder("two");
            break;
        }
    }
    ASSERT_FALSE(firstFolder.empty());
    EXPECT_EQ(FindProcessFolder(platform, "twin.exe"), firstFolder);

    EXPECT_TRUE(KillProcessByName(platform, "TWIN.EXE"));
    test::RunningProgram& endedFirst = firstFolder == folder("one") ? *first : *second;
    test::RunningProgram& survivor = firstFolder == folder("one") ? *second : *first;
    EXPECT_TRUE(endedFirst.ended());
    EXPECT_TRUE(survivor.alive());

    EXPECT_TRUE(KillProcessByName(platform, "twin.exe"));
    EXPECT_TRUE(survivor.ended());
    EXPECT_FALSE(KillProcessByName(platform, "twin.exe"));
}

TEST_F(ProcessLookup, KillMatchesTheWholeFileNameOnly) {
    auto evil = machine.startProgram(folder("t"), "evil.exe");
    EXPECT_FALSE(KillProcessByName(platform, "evil"));
    EXPECT_FALSE(KillProcessByName(platform, "evil.exe "));
    EXPECT_TRUE(evil->alive());
}

TEST_F(ProcessLookup, ProgramIgnoringThePoliteRequestIsStillEnded) {
    auto stubborn = machine.startProgram(folder("t"), "stubborn.exe", {.ignoreCloseRequest = true});
    EXPECT_TRUE(KillProcessByName(platform, "stubborn.exe"));
    EXPECT_TRUE(stubborn->ended());
}

TEST_F(ProcessLookup, IndexGivesTheAnswersOfFreshLookups) {
    auto a = machine.startProgram(folder("a"), "alpha.exe");
    auto b = machine.startProgram(folder("b"), "ALPHA.exe");
    auto c = machine.startProgram(folder("c"), "beta.exe");
    const ProcessFolderIndex index(platform);
    // Only names whose answers cannot change while other programs come and go.
    const std::string names[] = {"alpha.exe", "ALPHA.EXE",        "BETA.EXE",
                                 "ta.ex",     "missing-7f3a.exe", S + "b" + S + "alpha.exe"};
    for (const std::string& name : names)
        EXPECT_EQ(index.find(name), FindProcessFolder(platform, name)) << "name: " << name;
    EXPECT_EQ(index.find(S + "b" + S + "ALPHA"), folder("b"));
    EXPECT_EQ(index.find("beta.exe"), folder("c"));
}

} // namespace
} // namespace pestrel
