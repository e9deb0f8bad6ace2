#include "engine/ContentMatch.h"

#include "base/AsciiCase.h"
#include "engine/AutostartPlaces.h"
#include "engine/Context.h"
#include "engine/HashLine.h"
#include "engine/KillPass.h"
#include "engine/PassFolders.h"
#include "engine/Public.h"
#include "engine/Restore.h"
#include "tests/engine/RecordingView.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

using test::Exists;
using test::ReadFile;
using test::WriteFile;

// The anti-virus test string: harmless, and known to every scanner.
const std::string kEicar =
    R"(X5O!P%@AP[4\PZX54(P^)7CC)7}$EICAR-STANDARD-ANTIVIRUS-TEST-FILE!$H+H*)";
const std::string kEicarHash = "275a021bbfb6489e54d471899f7db9d1663fc695ec2fe2a2c4538aabf651fd0f";

class ContentMatch : public ::testing::Test {
protected:
    std::string folder(const std::string& name) { return machine.root() + name + kPathSeparator; }
    std::string hashLine(const std::string& path) {
        const std::string at = FolderOf(path);
        return "sha256:" + platform.holdFolder(at)->fileDigest(path.substr(at.size()))->sha256;
    }
    std::vector<std::string> matched(const test::RecordingView& view) {
        std::vector<std::string> paths;
        for (const PassAction& action : view.actions) {
            if (action.verb == PassVerb::Match)
                paths.push_back(action.fields.at(0));
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    test::TestMachine machine;
    Platform& platform = machine.platform();
    Context& context = machine.context();
};

TEST_F(ContentMatch, MatchedFilesAreHandledUnderTheirOwnNamesAndNothingElse) {
    const std::string scanned = folder("Scanned"), tools = folder("Tools");
    const std::string renamed = context.SysDir + "notepad2.exe";
    const std::string nested = scanned + "a" + kPathSeparator + "b" + kPathSeparator + "x.com";
    const std::string decoy = context.WinDir + "x.com", outside = folder("Outside") + "y.exe";
    for (const std::string& path : {renamed, nested, outside})
        WriteFile(path, kEicar);
    WriteFile(decoy, "a harmless program of the same name");
    std::error_code noLinksHere; // Wine makes no symbolic link: then there is none to follow
    std::filesystem::create_symlink(outside, scanned + "link.exe", noLinksHere);
    auto running = machine.startProgram(tools, "content-runs.exe");
    const std::string image = tools + "content-runs.exe";
    ASSERT_TRUE(WriteRegValue(platform, RegRoot::CurrentUser, kRunKey, RegText, "notepad2.exe",
                              "C:\\n.exe"));
    context.scanFolders = {scanned};
    test::RecordingView view({"other.exe", "SHA256:" + UpperAscii(kEicarHash), hashLine(image)});

    EXPECT_TRUE(RunKillPass(context, view, view));
    std::vector<std::string> expected = {image, nested, renamed};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(matched(view), expected);
    EXPECT_TRUE(running->ended());
    for (const std::string& path : expected)
        EXPECT_FALSE(Exists(path)) << path;
    EXPECT_EQ(ReadFile(outside), kEicar) << "a link was followed";
    EXPECT_TRUE(Exists(decoy)) << "a file was taken for its name alone";
    EXPECT_TRUE(platform.queryValue(RegRoot::CurrentUser, kRunKey, "notepad2.exe"))
        << "a matched file's name became a list entry";
    EXPECT_FALSE(view.anyFailed());
    EXPECT_NE(std::find(view.statusTexts.begin(), view.statusTexts.end(),
                        "match " + renamed + " sha256:" + kEicarHash),
              view.statusTexts.end());

    PassLog log;
    const RestoreOutcome restored = RestoreDeleted(context, {"notepad2.exe", "x.com"}, log);
    EXPECT_EQ(restored.restored, 2);
    EXPECT_EQ(ReadFile(renamed), kEicar);
    EXPECT_EQ(ReadFile(nested), kEicar);
}

TEST_F(ContentMatch, EachFileIsReadOncePerStampAndAgainWhenItChanges) {
    const std::string system = context.SysDir;
    WriteFile(system + "a.exe", kEicar);
    WriteFile(system + "b.exe", "other");
    ContentScan scan({kEicarHash});
    const std::shared_ptr<HeldFolder> held = platform.holdFolder(system);
    std::filesystem::create_hard_link(system + "a.exe", system + "same.exe");

    EXPECT_EQ(scan.walk(held, 0).size(), 2u); // a.exe and same.exe: one file, two names
    EXPECT_TRUE(scan.check(held, "a.exe"));
    EXPECT_EQ(scan.filesRead(), 2u);
    WriteFile(system + "b.exe", kEicar);
    EXPECT_TRUE(scan.check(held, "b.exe"));
    EXPECT_EQ(scan.filesRead(), 3u);
}

TEST_F(ContentMatch, FilesReadTogetherAndDigestsKeptAcrossScansStillFollowEachChange) {
    // Enough bytes that the files are read on several threads.
    const std::string system = context.SysDir;
    std::set<std::string> wanted;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "f" + std::to_string(i) + ".bin";
        WriteFile(system + name, std::string(64 << 10, static_cast<char>('a' + i % 20)) + name);
        if (i % 13 == 0)
            wanted.insert(hashLine(system + name).substr(7));
    }
    DigestCache digests;
    const std::shared_ptr<HeldFolder> held = platform.holdFolder(system);
    const auto found = [&](const std::set<std::string>& hashes) {
        std::vector<std::string> names;
        for (const ContentFound& file : ContentScan(hashes, nullptr, {}, &digests).walk(held, 0))
            names.push_back(file.name);
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(found(wanted), (std::vector<std::string>{"f0.bin", "f13.bin", "f26.bin", "f39.bin"}));
    WriteFile(system + "f1.bin", kEicar); // rewritten after its digest was kept
    EXPECT_EQ(found({kEicarHash}), std::vector<std::string>{"f1.bin"});
}

TEST_F(ContentMatch, TheProgramItselfAndTheCopiesOfEarlierPassesAreNeverTaken) {
    context.scanFolders = {context.AppPath};
    WriteFile(platform.programFile(), kEicar);
    for (int pass = 0; pass < 2; ++pass) {
        WriteFile(context.SysDir + "a.exe", kEicar);
        test::RecordingView view({"sha256:" + kEicarHash});
        EXPECT_TRUE(RunKillPass(context, view, view));
        EXPECT_EQ(matched(view), std::vector<std::string>{context.SysDir + "a.exe"});
    }
    EXPECT_EQ(ReadFile(platform.programFile()), kEicar);
    EXPECT_EQ(ReadFile(context.AppPath + "Undo/Kept/1-a.exe"), kEicar);
    EXPECT_EQ(ReadFile(context.backupFolder() + "a.exe"), kEicar);
}

TEST_F(ContentMatch, ProgramsNamedByPathAreHandledThroughThePassScan) {
    const std::string tools = folder("Tools"), program = tools + "startup.exe";
    WriteFile(program, kEicar);
    WriteFile(tools + "other.exe", "other");
    PassFolders folders = HoldPassFolders(context);
    ContentScan scan({kEicarHash});
    test::RecordingView view({});
    RemoveMatchingPrograms(context, folders, view, scan,
                           {{program}, {tools + "other.exe"}, {tools + "missing.exe"}, {tools}});
    EXPECT_EQ(matched(view), std::vector<std::string>{program});
    EXPECT_FALSE(Exists(program));
    EXPECT_TRUE(Exists(tools + "other.exe"));
    EXPECT_EQ(scan.filesRead(), 2u);
}

TEST_F(ContentMatch, AProgramOnlyAnAutostartValueNamesIsMatchedWhenAutostartIsCleaned) {
    // A renamed copy where no walk of the pass looks, started by a value of another name.
    ASSERT_TRUE(platform.createFolder(context.WinDir + "Cache"));
    const std::string program = context.WinDir + "Cache" + kPathSeparator + "helper.exe";
    WriteFile(program, kEicar);
    ASSERT_TRUE(platform.setValue(RegRoot::CurrentUser, kRunKey, "Updater",
                                  {RegText, "\"" + program + "\" /min"}));
    for (const bool clean : {false, true}) {
        context.cleanAutostart = clean;
        test::RecordingView view({"sha256:" + kEicarHash});
        EXPECT_TRUE(RunKillPass(context, view, view));
        EXPECT_EQ(matched(view),
                  clean ? std::vector<std::string>{program} : std::vector<std::string>{});
        EXPECT_EQ(Exists(program), !clean);
        EXPECT_FALSE(view.anyFailed());
    }
    // The file goes by its content; a value that is not named like an entry stays.
    EXPECT_TRUE(platform.queryValue(RegRoot::CurrentUser, kRunKey, "Updater"));
}

TEST_F(ContentMatch, MalformedHashLinesMatchNothing) {
    WriteFile(context.SysDir + "a.exe", kEicar);
    test::RecordingView view({"sha256:" + kEicarHash.substr(1), "sha256:" + kEicarHash + "0"});
    EXPECT_TRUE(RunKillPass(context, view, view));
    EXPECT_TRUE(view.actions.empty());
    EXPECT_TRUE(Exists(context.SysDir + "a.exe"));
}

} // namespace
} // namespace pestrel
