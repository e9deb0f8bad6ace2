#include "engine/Public.h"
#include "tests/support/TestMachine.h"

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
    auto evil = machine.startProgram(folder("Tools"), "Lookup-Evil.exe");
    const std::vector<std::string> names = ListProcesses(platform);
    EXPECT_NE(std::find(names.begin(), names.end(), "Lookup-Evil.exe"), names.end());

    EXPECT_EQ(FindProcessFolder(platform, "lookup-evil.exe"), folder("Tools"));
    EXPECT_EQ(FindProcessFolder(platform, "LOOKUP-EVIL.EXE"), folder("Tools"));
    // The whole file name counts: a part of it, or a trailing blank, finds nothing.
    EXPECT_EQ(FindProcessFolder(platform, "UP-EVIL.EX"), "");
    EXPECT_EQ(FindProcessFolder(platform, "lookup-evil.exe "), "");
    EXPECT_EQ(FindProcessFolder(platform, "no-such-program-7f3a.exe"), "");
}

TEST_F(ProcessLookup, FirstOfTwoSameNamedProgramsIsFoundAndEndedFirst) {
    auto first = machine.startProgram(folder("one"), "lookup-twin.exe");
    auto second = machine.startProgram(folder("two"), "lookup-twin.exe");
    // Which one the snapshot lists first is the platform's order.
    std::string firstFolder;
    for (const ProcessRecord& record : platform.processSnapshot(SnapshotDetail::Names)) {
        if (record.id == first->id() || record.id == second->id()) {
            firstFolder = record.id == first->id() ? folder("one") : folder("two");
            break;
        }
    }
    ASSERT_FALSE(firstFolder.empty());
    EXPECT_EQ(FindProcessFolder(platform, "lookup-twin.exe"), firstFolder);

    EXPECT_TRUE(KillProcessByName(platform, "LOOKUP-TWIN.EXE"));
    test::RunningProgram& endedFirst = firstFolder == folder("one") ? *first : *second;
    test::RunningProgram& survivor = firstFolder == folder("one") ? *second : *first;
    EXPECT_TRUE(endedFirst.ended());
    EXPECT_TRUE(survivor.alive());

    EXPECT_TRUE(KillProcessByName(platform, "lookup-twin.exe"));
    EXPECT_TRUE(survivor.ended());
    EXPECT_FALSE(KillProcessByName(platform, "lookup-twin.exe"));
}

TEST_F(ProcessLookup, KillMatchesTheWholeFileNameOnly) {
    auto evil = machine.startProgram(folder("t"), "lookup-whole.exe");
    EXPECT_FALSE(KillProcessByName(platform, "lookup-whole"));
    EXPECT_FALSE(KillProcessByName(platform, "lookup-whole.exe "));
    EXPECT_TRUE(evil->alive());
}

TEST_F(ProcessLookup, ProgramIgnoringThePoliteRequestIsStillEnded) {
    auto stubborn =
        machine.startProgram(folder("t"), "lookup-stubborn.exe", {.ignoreCloseRequest = true});
    EXPECT_TRUE(KillProcessByName(platform, "lookup-stubborn.exe"));
    EXPECT_TRUE(stubborn->ended());
}

TEST_F(ProcessLookup, IndexGivesTheAnswersOfFreshLookups) {
    auto a = machine.startProgram(folder("a"), "lookup-alpha.exe");
    auto b = machine.startProgram(folder("b"), "LOOKUP-ALPHA.exe");
    auto c = machine.startProgram(folder("c"), "lookup-beta.exe");
    const ProcessFolderIndex index(platform);
    // Only names whose answers cannot change while other programs come and go.
    const std::string names[] = {"lookup-alpha.exe", "LOOKUP-ALPHA.EXE",
                                 "LOOKUP-BETA.EXE",  "kup-beta.ex",
                                 "missing-7f3a.exe", S + "b" + S + "lookup-alpha.exe"};
    for (const std::string& name : names) {
        EXPECT_EQ(index.find(name), FindProcessFolder(platform, name)) << "name: " << name;
        EXPECT_EQ(ProgramRuns(platform, name), !index.find(name).empty()) << "name: " << name;
    }
    EXPECT_EQ(index.find(S + "b" + S + "LOOKUP-ALPHA"), "");
    EXPECT_EQ(index.find("lookup-beta.exe"), folder("c"));
}

} // namespace
} // namespace pestrel
