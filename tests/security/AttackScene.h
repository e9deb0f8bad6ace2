#pragma once
// The attack scene shared by the attack tables: Pestrel run by root on a machine where another
// user, the attacker (uid 65534 through setpriv), prepares files and links beforehand, and the
// checker every row ends with: nothing outside the program's files changed, nothing Pestrel
// created can be read by others, the right programs ended.

#include "engine/Context.h"
#include "engine/KillPass.h"
#include "tests/engine/RecordingView.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace pestrel::attack {

namespace fs = std::filesystem;
using test::Exists;
using test::ReadFile;
using test::WriteFile;

constexpr uid_t kAttacker = 65534;

struct Entry {
    ino_t inode;
    mode_t mode;
    std::string bytes;
    bool operator==(const Entry&) const = default;
};

// Every entry below `root`, links not followed.
inline std::map<std::string, Entry> Survey(const std::string& root) {
    std::map<std::string, Entry> entries;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        struct stat info;
        if (::lstat(item.path().c_str(), &info) != 0)
            continue;
        // Contents of small files only: a planted file may be a huge sparse one.
        const bool small = S_ISREG(info.st_mode) && info.st_size < (1 << 20);
        entries[item.path().string()] = {info.st_ino, info.st_mode,
                                         small ? ReadFile(item.path()).value() : std::string()};
    }
    return entries;
}

// One machine with a root-only folder beside the program's: a private file and a root program.
struct Scene {
    Scene() {
        ::chmod(machine.root().c_str(), 0711); // the attacker may pass through
        WriteFile(secret + "secret.txt", "root's secret");
        WriteFile(secret + "tool", "#!/bin/sh\necho root's tool\n");
        ::chmod(secret.c_str(), 0700);
        ::chmod((secret + "secret.txt").c_str(), 0600);
        ::chmod((secret + "tool").c_str(), 0755);
    }

    std::string at(const std::string& path) const { return machine.root() + path; }
    std::string app(const std::string& path) const { return context.AppPath + path; }
    void giveToAttacker(const std::string& path) {
        fs::create_directories(path);
        ASSERT_EQ(::chown(path.c_str(), kAttacker, kAttacker), 0) << path;
    }
    void asAttacker(const std::string& script) {
        const std::string command = "setpriv --reuid=" + std::to_string(kAttacker) +
                                    " --regid=" + std::to_string(kAttacker) +
                                    " --clear-groups sh -c '" + script + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << script;
    }
    test::RunningProgram& start(const std::string& folder, const std::string& name,
                                test::ProgramOptions options = {}) {
        programs.push_back(machine.startProgram(at(folder) + "/", name, options));
        return *programs.back();
    }
    // A kill pass: whether it went through the whole list, and whether any action failed.
    struct Outcome {
        bool finished = false;
        bool anyFailed = false;
    };
    Outcome pass(const std::vector<std::string>& entries) {
        test::RecordingView view(entries);
        const bool finished = RunKillPass(context, view, view);
        return {finished, view.anyFailed()};
    }
    bool killPass(const std::vector<std::string>& entries) { return pass(entries).finished; }

    test::TestMachine machine;
    Context& context = machine.context();
    Platform& platform = machine.platform();
    const std::string secret = machine.root() + "secret/";
    std::vector<std::unique_ptr<test::RunningProgram>> programs;
    std::vector<test::RunningProgram*> mustEnd, mustLive;
    std::set<std::string> putBack; // files a restore puts back with their own modes
};

struct Attack {
    const char* name;
    std::function<void(Scene&)> prepare; // the attacker's work, and the programs running
    std::function<void(Scene&)> act;     // Pestrel, with checks of its own
};

// Runs one row: the attacker's preparation, a survey, Pestrel, and the checks.
inline void Replay(const Attack& attack) {
    Scene scene;
    attack.prepare(scene);
    if (::testing::Test::HasFatalFailure())
        return;
    const auto secretBefore = Survey(scene.secret);
    const auto before = Survey(scene.machine.root());

    attack.act(scene);

    EXPECT_EQ(Survey(scene.secret), secretBefore) << "the root-only folder changed";
    std::set<ino_t> known;
    for (const auto& [path, entry] : before)
        known.insert(entry.inode);
    for (const auto& [path, entry] : Survey(scene.machine.root())) {
        // Links and renamed entries are the attacker's doing; files put back keep their modes.
        if (known.count(entry.inode) || S_ISLNK(entry.mode) || scene.putBack.count(path))
            continue;
        // Created by Pestrel: its owner's alone, and never a program.
        const mode_t forbidden = S_ISDIR(entry.mode) ? 077 : 07177;
        EXPECT_EQ(entry.mode & forbidden, 0u) << path << " mode " << std::oct << entry.mode;
    }
    for (test::RunningProgram* program : scene.mustEnd)
        EXPECT_TRUE(program->ended()) << "still running: " << program->id();
    for (test::RunningProgram* program : scene.mustLive)
        EXPECT_TRUE(program->alive()) << "ended: " << program->id();
}

// Rows run only as root: the attacker is another uid.
class RootAttack : public ::testing::TestWithParam<Attack> {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "The attacks are replayed only when the tests run as root.";
    }
};

} // namespace pestrel::attack

namespace pestrel::attack {

// What `folder` holds on disk: the allocated bytes of every file below it, each once however
// many names it has there; links not followed.
inline std::uint64_t StoredBytes(const std::string& folder) {
    std::set<std::pair<dev_t, ino_t>> counted;
    std::uint64_t bytes = 0;
    std::error_code unreadable;
    for (auto item = fs::recursive_directory_iterator(folder, unreadable);
         item != fs::recursive_directory_iterator(); item.increment(unreadable)) {
        struct stat info;
        if (::lstat(item->path().c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            counted.insert({info.st_dev, info.st_ino}).second)
            bytes += static_cast<std::uint64_t>(info.st_blocks) * 512;
    }
    return bytes;
}

// The guard rows' checker: no listed start ran (listed code writes `mark` when it runs), and
// root's working folder grew from `storedBefore` by no more than one copy of each file the
// attacker started (`copyBytes` each, `files` of them) and the lines its journal and log took.
inline void ExpectGuardHeld(const std::string& mark, const std::string& workFolder,
                            std::uint64_t storedBefore, std::uint64_t copyBytes, int files) {
    constexpr std::uint64_t kLines = 2 << 20;
    EXPECT_FALSE(test::Exists(mark)) << "a listed start ran";
    const std::uint64_t stored = StoredBytes(workFolder);
    EXPECT_LE(stored, storedBefore + copyBytes * files + kLines)
        << "root's working folder grew from " << storedBefore << " to " << stored;
}

} // namespace pestrel::attack
