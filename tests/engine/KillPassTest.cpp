#include "engine/KillPass.h"

#include "engine/Context.h"
#include "engine/Public.h"
#include "platform/ForwardingPlatform.h"
#include "tests/engine/RecordingView.h"
#include "tests/support/HeldPath.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace pestrel {
namespace {

using test::Exists;
using test::ReadFile;
using test::WriteFile;

const std::string S(1, kPathSeparator);

// The real machine, counting what the pass asks of it; some files can be made to stay or to
// count as system files, and pauses return at once.
class WatchedPlatform;

// A held folder of the watched platform: its copies are counted and its undeletable files stay.
class WatchedFolder final : public HeldFolder {
public:
    WatchedFolder(WatchedPlatform& platform, std::unique_ptr<HeldFolder> real)
        : platform_(platform), real_(std::move(real)) {}
    const std::string& path() const override { return real_->path(); }
    std::optional<FileIdentity> fileIdentity(const std::string& name) override {
        return real_->fileIdentity(name);
    }
    std::optional<FileOwnership> fileOwnership(const std::string& name) override {
        return real_->fileOwnership(name);
    }
    std::optional<FileDigest> fileDigest(const std::string& name, std::uint64_t maxBytes) override {
        return real_->fileDigest(name, maxBytes);
    }
    std::optional<FileStamp> fileStamp(const std::string& name) override {
        return real_->fileStamp(name);
    }
    std::optional<FolderEntries> entries() override { return real_->entries(); }
    std::optional<FileSystemOf> fileSystem() override { return real_->fileSystem(); }
    std::unique_ptr<MappedFile> mapFile(const std::string& name,
                                        const FileIdentity& identity) override {
        return real_->mapFile(name, identity);
    }
    bool deleteFile(const std::string& name, const FileIdentity& identity) override;
    bool copyFile(const std::string& name, const FileIdentity& identity, HeldFolder& to,
                  const std::string& toName) override;
    bool linkFile(const std::string& name, HeldFolder& to, const std::string& toName) override {
        return real_->linkFile(name, Real(to), toName);
    }
    bool restoreFile(HeldFolder& from, const std::string& fromName, const std::string& name,
                     const FileOwnership& ownership) override {
        return real_->restoreFile(Real(from), fromName, name, ownership);
    }
    std::unique_ptr<HeldFolder> folder(const std::string& name, bool create) override {
        std::unique_ptr<HeldFolder> real = real_->folder(name, create);
        return real ? std::make_unique<WatchedFolder>(platform_, std::move(real)) : nullptr;
    }
    std::vector<std::string> entryNames() override { return real_->entryNames(); }
    bool hasEntry(const std::string& name) override { return real_->hasEntry(name); }
    std::optional<std::string> readFile(const std::string& name, std::uint64_t maxBytes) override {
        return real_->readFile(name, maxBytes);
    }
    bool replaceFile(const std::string& name, const std::string& bytes) override {
        return real_->replaceFile(name, bytes);
    }
    bool appendFile(const std::string& name, const std::string& bytes) override {
        return real_->appendFile(name, bytes);
    }
    std::uint32_t fileAttributes(const std::string& name) override;
    bool setFileAttributes(const std::string& name, std::uint32_t attributes) override {
        return real_->setFileAttributes(name, attributes);
    }
    std::string readProfileString(const std::string& name, const std::string& section,
                                  const std::string& key, const std::string& fallback) override {
        return real_->readProfileString(name, section, key, fallback);
    }
    bool writeProfileString(const std::string& name, const std::string& section,
                            const std::string& key, const std::string& value) override;

private:
    static HeldFolder& Real(HeldFolder& folder) {
        return *static_cast<WatchedFolder&>(folder).real_;
    }
    WatchedPlatform& platform_;
    std::unique_ptr<HeldFolder> real_;
};

class WatchedPlatform : public ForwardingPlatform {
public:
    using ForwardingPlatform::ForwardingPlatform;
    std::unique_ptr<HeldFolder> holdFolder(const std::string& path) override {
        std::unique_ptr<HeldFolder> real = ForwardingPlatform::holdFolder(path);
        return real ? std::make_unique<WatchedFolder>(*this, std::move(real)) : nullptr;
    }
    void requestClose(const std::string& name) override {
        ++closeRequests;
        ForwardingPlatform::requestClose(name);
    }
    void sleepMs(std::uint32_t milliseconds) override { sleeps.push_back(milliseconds); }
    // The machine's own walk, as the pass meets it outside the tests.
    bool anyProgramPath(std::string_view name,
                        const std::function<bool(std::string_view)>& matches) override {
        return inner_.anyProgramPath(name, matches);
    }

    std::set<std::string> undeletable, systemFiles;
    int closeRequests = 0, copies = 0, profileWrites = 0;
    std::vector<std::uint32_t> sleeps;
};

bool WatchedFolder::deleteFile(const std::string& name, const FileIdentity& identity) {
    return !platform_.undeletable.count(path() + name) && real_->deleteFile(name, identity);
}

std::uint32_t WatchedFolder::fileAttributes(const std::string& name) {
    return platform_.systemFiles.count(path() + name) ? FileAttribute::System
                                                      : real_->fileAttributes(name);
}

bool WatchedFolder::writeProfileString(const std::string& name, const std::string& section,
                                       const std::string& key, const std::string& value) {
    ++platform_.profileWrites;
    return real_->writeProfileString(name, section, key, value);
}

bool WatchedFolder::copyFile(const std::string& name, const FileIdentity& identity, HeldFolder& to,
                             const std::string& toName) {
    ++platform_.copies;
    return real_->copyFile(name, identity, Real(to), toName);
}

class KillPass : public ::testing::Test {
protected:
    KillPass() {
        context.AppPath = machine.context().AppPath;
        context.WinDir = machine.context().WinDir;
        context.SysDir = machine.context().SysDir;
    }
    std::string folder(const std::string& name) { return machine.root() + name + S; }
    std::string backup(const std::string& entry) { return context.backupFolder() + entry; }
    std::string logged(const std::string& entry) {
        return test::ProfileValue(platform, backup("Log.ini"), "RunData", entry, "");
    }
    bool runValue(RegRoot root, const std::string& name) {
        return platform.queryValue(root, kRunKey, name).has_value();
    }
    void addRunValue(RegRoot root, const std::string& name) {
        ASSERT_TRUE(WriteRegValue(platform, root, kRunKey, RegText, name, "C:\\evil.exe"));
    }
    bool run(test::RecordingView& view) { return RunKillPass(context, view, view); }

    test::TestMachine machine;
    WatchedPlatform platform{machine.platform()};
    Context context{platform};
};

TEST_F(KillPass, EndsBacksUpLogsAndDeletesARunningProgram) {
    auto evil = machine.startProgram(folder("Tools"), "pass-evil.exe");
    const std::string file = folder("Tools") + "pass-evil.exe";
    addRunValue(RegRoot::LocalMachine, "PASS-EVIL.EXE");
    addRunValue(RegRoot::CurrentUser, "pass-evil.exe");
    addRunValue(RegRoot::CurrentUser, "Updater");
    const std::string program = ReadFile(file).value();

    test::RecordingView view({"pass-evil.exe"});
    EXPECT_TRUE(run(view));

    EXPECT_TRUE(evil->ended());
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(ReadFile(backup("pass-evil.exe")) == program) << "the backup is a byte copy";
    EXPECT_EQ(logged("pass-evil.exe"), file);
    EXPECT_FALSE(runValue(RegRoot::LocalMachine, "pass-evil.exe"));
    EXPECT_FALSE(runValue(RegRoot::CurrentUser, "pass-evil.exe"));
    EXPECT_TRUE(runValue(RegRoot::CurrentUser, "Updater"));
    EXPECT_EQ(view.statusTexts, std::vector<std::string>{file});
}

// Each name is looked up when its turn comes: a program that runs under it only from a moment
// before that turn is ended and its file goes, although a name looked up just before found
// nothing. It may have been started then, or be another program, running from before the pass,
// that became it, or whose file was renamed to it (which the process table shows at once).
TEST_F(KillPass, FindsAProgramThatRunsUnderItsNameOnlyFromAMomentBeforeItsTurn) {
    enum class Since { Started, Became, Renamed };
    const struct {
        const char* name;
        Since since;
    } cases[] = {
        {"pass-late.exe", Since::Started},
#ifndef _WIN32
        {"pass-became.exe", Since::Became},
        {"pass-renamed.exe", Since::Renamed},
#endif
    };
    for (const auto& c : cases) {
        const std::string file = folder("Tools") + c.name;
        const std::string before = folder("Tools") + "pass-before.exe";
        std::unique_ptr<test::RunningProgram> program;
        if (c.since == Since::Became)
            program =
                machine.startProgram(folder("Tools"), "pass-before.exe", {.execOnSignal = file});
        else if (c.since == Since::Renamed)
            program = machine.startProgram(folder("Tools"), "pass-before.exe");
        test::RecordingView view({c.name, "pass-absent.exe"});
        bool acted = false;
        view.beforeEntry = [&](int index) {
            // The first entry's turn, after the other name's lookup.
            if (index != 0 || view.walked.empty() || acted)
                return;
            acted = true;
            if (c.since == Since::Started) {
                program = machine.startProgram(folder("Tools"), c.name);
                return;
            }
#ifndef _WIN32
            if (c.since == Since::Became)
                ::kill(static_cast<pid_t>(program->id()), SIGUSR1);
            else
                std::filesystem::rename(before, file);
            ASSERT_TRUE(test::RunsFile(program->id(), file));
#endif
        };
        EXPECT_TRUE(run(view));

        ASSERT_TRUE(program) << c.name;
        EXPECT_TRUE(program->ended()) << c.name;
        EXPECT_FALSE(Exists(file)) << c.name;
        EXPECT_TRUE(Exists(backup(c.name))) << c.name;
    }
}

TEST_F(KillPass, AFileThatWillNotGoAwayIsHandledTwentyTwoTimes) {
    auto evil = machine.startProgram(folder("Tools"), "pass-stuck.exe");
    const std::string file = folder("Tools") + "pass-stuck.exe";
    platform.undeletable.insert(file);

    test::RecordingView view({"pass-stuck.exe"});
    EXPECT_TRUE(run(view));

    EXPECT_EQ(platform.closeRequests, kMaxTerminationRounds);
    EXPECT_EQ(platform.copies, kMaxTerminationRounds);
    EXPECT_EQ(platform.profileWrites, kMaxTerminationRounds);
    EXPECT_EQ(std::count(view.statusTexts.begin(), view.statusTexts.end(), file),
              kMaxTerminationRounds);
    EXPECT_TRUE(Exists(file));
}

TEST_F(KillPass, NotRunningFilesAreTakenFromWindowsThenSystemFolder) {
    WriteFile(context.WinDir + "both.exe", "windows copy");
    WriteFile(context.SysDir + "both.exe", "system copy");
    addRunValue(RegRoot::LocalMachine, "absent.exe");

    test::RecordingView view({"both.exe", "absent.exe"});
    EXPECT_TRUE(run(view));

    EXPECT_FALSE(Exists(context.WinDir + "both.exe"));
    EXPECT_FALSE(Exists(context.SysDir + "both.exe"));
    EXPECT_EQ(ReadFile(backup("both.exe")), "system copy");
    EXPECT_EQ(logged("both.exe"), context.SysDir + "both.exe");
    // An entry found nowhere only loses its start-up values.
    EXPECT_FALSE(runValue(RegRoot::LocalMachine, "absent.exe"));
    EXPECT_FALSE(Exists(backup("absent.exe")));
    EXPECT_EQ(logged("absent.exe"), "");
    EXPECT_TRUE(view.statusTexts.empty());
}

TEST_F(KillPass, LowerCaseLibrariesAreDeletedAndRecordedForTheNextStart) {
    WriteFile(context.WinDir + "hook.dll", "w");
    WriteFile(context.SysDir + "hook.dll", "s");
    test::SetAttributes(platform, context.SysDir + "hook.dll", FileAttribute::ReadOnly);
    WriteFile(context.SysDir + "Upper.DLL", "u");
    WriteFile(context.SysDir + "core.dll", "system");
    platform.systemFiles.insert(context.SysDir + "core.dll");

    test::RecordingView view({"hook.dll", "Upper.DLL", "core.dll"});
    EXPECT_TRUE(run(view));

    EXPECT_FALSE(Exists(context.WinDir + "hook.dll"));
    EXPECT_FALSE(Exists(context.SysDir + "hook.dll"));
    EXPECT_FALSE(Exists(backup("hook.dll"))) << "the library step makes no copy";
    EXPECT_EQ(ReadFile(context.AppPath + "Temp.~txt"), "hook.dll\r\n");
    // The other two skip the library step and are handled like any file that is not running.
    EXPECT_FALSE(Exists(context.SysDir + "Upper.DLL"));
    EXPECT_EQ(ReadFile(backup("Upper.DLL")), "u");
    EXPECT_EQ(ReadFile(backup("core.dll")), "system");
}

TEST_F(KillPass, ReadsTheNumberOnceAndEachEntryAtItsTurnFromLastToFirst) {
    test::RecordingView view({"a.exe", "b.exe", "c.exe"});
    EXPECT_TRUE(run(view));
    EXPECT_EQ(view.countReads, 1);
    EXPECT_EQ(view.walked, (std::vector<int>{2, 1, 0}));
    EXPECT_TRUE(platform.sleeps.empty());
}

TEST_F(KillPass, EndsEarlyWhenTheListIsEmptiedMeanwhile) {
    addRunValue(RegRoot::CurrentUser, "first.exe");
    addRunValue(RegRoot::CurrentUser, "last.exe");
    test::RecordingView view({"first.exe", "last.exe"});
    view.beforeEntry = [&view](int index) { // once the walk has reached the first entry
        if (index == 0 && !view.walked.empty())
            view.entries.clear();
    };
    EXPECT_FALSE(run(view));
    EXPECT_FALSE(runValue(RegRoot::CurrentUser, "last.exe"));
    EXPECT_TRUE(runValue(RegRoot::CurrentUser, "first.exe"));
    EXPECT_TRUE(view.statusTexts.empty());
}

TEST_F(KillPass, EndsEarlyWhenALibraryCannotBeRecorded) {
    std::filesystem::create_directories(context.AppPath + "Temp.~txt"); // cannot be appended to
    WriteFile(context.WinDir + "hook.dll", "w");
    addRunValue(RegRoot::CurrentUser, "hook.dll");
    test::RecordingView view({"other.exe", "hook.dll"});
    EXPECT_FALSE(run(view));
    EXPECT_TRUE(runValue(RegRoot::CurrentUser, "hook.dll"));
    EXPECT_TRUE(view.statusTexts.empty());
}

TEST_F(KillPass, NamesWithTwoDotsInsideAreHandledLikeAnyOther) {
    auto running = machine.startProgram(folder("Tools"), "setup..exe");
    const std::string file = folder("Tools") + "setup..exe";
    WriteFile(context.SysDir + "a..b.dll", "library");
    WriteFile(context.SysDir + "x..y.exe", "resting");
    addRunValue(RegRoot::CurrentUser, "setup..exe");

    test::RecordingView view({"setup..exe", "a..b.dll", "x..y.exe"});
    EXPECT_TRUE(run(view));

    EXPECT_TRUE(running->ended());
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(Exists(backup("setup..exe")));
    EXPECT_EQ(logged("setup..exe"), file);
    EXPECT_FALSE(runValue(RegRoot::CurrentUser, "setup..exe"));
    EXPECT_FALSE(Exists(context.SysDir + "a..b.dll"));
    EXPECT_EQ(ReadFile(context.AppPath + "Temp.~txt"), "a..b.dll\r\n");
    EXPECT_FALSE(Exists(context.SysDir + "x..y.exe"));
    EXPECT_EQ(ReadFile(backup("x..y.exe")), "resting");
}

TEST_F(KillPass, EntriesThatArePathsTouchNothingOutsideTheFolders) {
    auto evil = machine.startProgram(folder("Tools"), "pass-path.exe");
    WriteFile(machine.root() + "data" + S + "outside.exe", "stays");
    WriteFile(machine.root() + "outside.dll", "stays");
    const std::vector<std::string> entries = {
        "Tools" + S + "pass-path.exe",
        ".." + S + "outside.exe",
        ".." + S + ".." + S + ".." + S + "outside.dll",
        folder("Tools") + "pass-path.exe",
    };
    test::RecordingView view(entries);
    EXPECT_TRUE(run(view));

    EXPECT_TRUE(Exists(folder("Tools") + "pass-path.exe"));
    EXPECT_TRUE(Exists(machine.root() + "data" + S + "outside.exe"));
    EXPECT_TRUE(Exists(machine.root() + "outside.dll"));
    EXPECT_FALSE(Exists(context.AppPath + "Temp.~txt"));
    EXPECT_EQ(platform.copies, 0);
    EXPECT_TRUE(evil->alive());
}

TEST_F(KillPass, EmptyFolderValuesSkipTheirSteps) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(machine.root());
    WriteFile(machine.root() + "bare.exe", "stays");
    WriteFile(machine.root() + "bare.dll", "stays");
    context.WinDir.clear();
    context.SysDir.clear();
    test::RecordingView view({"bare.exe", "bare.dll"});
    const bool finished = run(view);
    std::filesystem::current_path(before);

    EXPECT_TRUE(finished);
    EXPECT_TRUE(Exists(machine.root() + "bare.exe"));
    EXPECT_TRUE(Exists(machine.root() + "bare.dll"));
    EXPECT_EQ(platform.copies, 0);
}

} // namespace
} // namespace pestrel
