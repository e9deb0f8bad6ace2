#include "engine/Public.h"
#include "platform/posix/PosixPlatform.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace pestrel {
namespace {

// A process known by its id alone.
ProcessRecord RecordOf(std::uint32_t id) {
    ProcessRecord record;
    record.id = id;
    return record;
}

constexpr unsigned long kKernelThreadFlag = 0x00200000; // PF_KTHREAD

std::optional<ProcessRecord> Find(const std::vector<ProcessRecord>& records, std::uint32_t id) {
    for (const ProcessRecord& record : records) {
        if (record.id == id)
            return record;
    }
    return std::nullopt;
}

bool IsKernelThread(std::uint32_t id) {
    const auto stat = test::ReadFile("/proc/" + std::to_string(id) + "/stat");
    if (!stat)
        return false;
    std::istringstream fields(stat->substr(stat->rfind(')') + 2));
    std::string field;
    unsigned long flags = 0;
    for (int i = 0; i < 6 && fields >> field;) // state, ppid, pgrp, session, tty, tpgid
        ++i;
    fields >> flags;
    return flags & kKernelThreadFlag;
}

class ProcessTable : public ::testing::Test {
protected:
    std::string folder() { return machine.root() + "Tools/"; }
    test::TestMachine machine;
    Platform& platform = machine.platform();
};

TEST_F(ProcessTable, ListsUserProcessesInAscendingOrderWithTheirProgramFiles) {
    auto evil = machine.startProgram(folder(), "table-evil.exe");
    const std::vector<ProcessRecord> withPaths =
        platform.processSnapshot(SnapshotDetail::WithPaths);
    EXPECT_TRUE(std::is_sorted(withPaths.begin(), withPaths.end(),
                               [](const auto& a, const auto& b) { return a.id < b.id; }));
    EXPECT_TRUE(std::adjacent_find(withPaths.begin(), withPaths.end(), [](auto& a, auto& b) {
                    return a.id == b.id;
                }) == withPaths.end());

    const auto record = Find(withPaths, evil->id());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->exeFile, "table-evil.exe");
    EXPECT_EQ(record->exePath, folder() + "table-evil.exe");

    const auto self = Find(withPaths, static_cast<std::uint32_t>(::getpid()));
    ASSERT_TRUE(self);
    EXPECT_EQ(self->exePath, std::filesystem::read_symlink("/proc/self/exe").string());

    const std::vector<ProcessRecord> names = platform.processSnapshot(SnapshotDetail::Names);
    const auto named = Find(names, evil->id());
    ASSERT_TRUE(named);
    EXPECT_EQ(named->exeFile, "table-evil.exe");
    EXPECT_FALSE(named->exePath);
}

TEST_F(ProcessTable, LeavesOutKernelThreadsAndEndedProcesses) {
    auto ended = machine.startProgram(folder(), "table-ended.exe");
    ASSERT_TRUE(platform.terminateProcess(RecordOf(ended->id())));
    // Not yet reaped: a zombie, which is no longer a running program.
    const std::vector<ProcessRecord> records = platform.processSnapshot(SnapshotDetail::Names);
    EXPECT_FALSE(Find(records, ended->id()));
    for (const ProcessRecord& record : records)
        EXPECT_FALSE(IsKernelThread(record.id)) << record.id << " " << record.exeFile;
    if (IsKernelThread(2)) {
        EXPECT_FALSE(Find(records, 2)) << "kthreadd";
    }
}

TEST_F(ProcessTable, AProgramDeletedWhileRunningKeepsItsNameAndFolder) {
    auto evil = machine.startProgram(folder(), "table-gone.exe");
    std::filesystem::remove(folder() + "table-gone.exe");
    const auto record = Find(platform.processSnapshot(SnapshotDetail::WithPaths), evil->id());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->exeFile, "table-gone.exe");
    EXPECT_EQ(record->exePath, folder() + "table-gone.exe");
    EXPECT_EQ(FindProcessFolder(platform, "TABLE-GONE.EXE"), folder());
    EXPECT_TRUE(KillProcessByName(platform, "table-gone.exe"));
    EXPECT_TRUE(evil->ended());
}

// A lookup by name answers for the processes as they are at that moment, however it is kept:
// after a lookup, a program starts, becomes another, has its file renamed and ends.
TEST_F(ProcessTable, ALookupByNameFollowsEveryChangeOfTheProcesses) {
    const auto runs = [&](const std::string& name) {
        return platform.anyProgramPath(
            name, [&](std::string_view path) { return ProgramPathMatchesName(path, name); });
    };
    EXPECT_FALSE(runs("index-a.exe"));
    std::unique_ptr<test::RunningProgram> program;
    const struct {
        const char* step;
        std::function<void()> act;
        std::vector<std::string> running, gone;
    } steps[] = {
        {"started",
         [&] {
             program = machine.startProgram(folder(), "index-a.exe",
                                            {.execOnSignal = folder() + "index-b.exe"});
         },
         {"INDEX-A.EXE"},
         {"index-b.exe"}},
        {"became another",
         [&] {
             ::kill(static_cast<pid_t>(program->id()), SIGUSR1);
             ASSERT_TRUE(test::RunsFile(program->id(), folder() + "index-b.exe"));
         },
         {"index-b.exe"},
         {"index-a.exe"}},
        {"renamed",
         [&] {
             std::filesystem::rename(folder() + "index-b.exe", folder() + "index-c.exe");
             ASSERT_TRUE(test::RunsFile(program->id(), folder() + "index-c.exe"));
         },
         {"index-c.exe", folder() + "index-c.exe"},
         {"index-b.exe"}},
        {"ended",
         [&] {
             ASSERT_TRUE(platform.terminateProcess(RecordOf(program->id())));
             ASSERT_TRUE(program->ended());
         },
         {},
         {"index-c.exe"}},
    };
    for (const auto& s : steps) {
        s.act();
        for (const std::string& name : s.running)
            EXPECT_TRUE(runs(name)) << s.step << ": " << name;
        for (const std::string& name : s.gone)
            EXPECT_FALSE(runs(name)) << s.step << ": " << name;
    }
}

TEST_F(ProcessTable, TerminationEndsEvenAProgramThatIgnoresThePoliteRequest) {
    auto polite = machine.startProgram(folder(), "table-polite.exe");
    auto stubborn =
        machine.startProgram(folder(), "table-stubborn.exe", {.ignoreCloseRequest = true});
    EXPECT_TRUE(platform.terminateProcess(RecordOf(polite->id())));
    EXPECT_TRUE(platform.terminateProcess(RecordOf(stubborn->id())));
    EXPECT_TRUE(polite->ended());
    EXPECT_TRUE(stubborn->ended());

    EXPECT_FALSE(platform.terminateProcess(RecordOf(0)));
    EXPECT_FALSE(platform.terminateProcess(RecordOf(static_cast<std::uint32_t>(INT_MAX) + 1)));
}

} // namespace
} // namespace pestrel
