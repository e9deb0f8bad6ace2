#include "engine/WorkFiles.h"

#include "engine/Context.h"
#include "engine/Public.h"
#include "tests/support/HeldPath.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

using test::Exists;
using test::ReadFile;
using test::WriteFile;

class WorkFiles : public ::testing::Test {
protected:
    std::string app(const std::string& name) { return context.AppPath + name; }
    test::TestMachine machine;
    Context& context = machine.context();
};

TEST(TextLines, EndAtLineFeedDropCarriageReturnsAndStopAtEndOfFileMark) {
    test::TestMachine machine;
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"a\rb\r\n", {"ab"}},
        {"a\r\r\n\r\n\r", {"a", ""}},
        {"a\r\nb\x1A"
         "c\r\nd\r\n",
         {"a", "b"}},
        {"  x \r\n", {"  x "}},
    };
    const auto root = machine.platform().holdFolder(machine.root());
    ASSERT_TRUE(root);
    for (const Case& c : cases) {
        WriteFile(machine.root() + "lines.txt", c.bytes);
        std::vector<std::string> lines;
        ASSERT_TRUE(ReadTextLines(*root, "lines.txt", lines));
        EXPECT_EQ(lines, c.lines) << "bytes: " << c.bytes;
    }
    std::vector<std::string> lines;
    EXPECT_FALSE(ReadTextLines(*root, "missing.txt", lines));
}

TEST_F(WorkFiles, VirusListLoadKeepsVisibleLinesAndRewritesOnlyListsOfTwoOrMore) {
    struct Case {
        std::string file;
        std::vector<std::string> entries;
        std::string fileAfter;
    } cases[] = {
        {"virus.exe\r\n\r\n  \r\n\t\r\n", {"virus.exe"}, "virus.exe\r\n\r\n  \r\n\t\r\n"},
        {"a.exe\r\n\r\n \r\nb.dll", {"a.exe", "b.dll"}, "a.exe\r\nb.dll\r\n"},
        {"  virus.exe \n病毒.exe\n", {"  virus.exe ", "病毒.exe"}, "  virus.exe \r\n病毒.exe\r\n"},
        {"", {}, ""},
        {"a.exe\r\nb.exe\r\n", {"a.exe", "b.exe"}, "a.exe\r\nb.exe\r\n"},
    };
    for (const Case& c : cases) {
        WriteFile(app("VirusList.txt"), c.file);
        const auto before = std::filesystem::last_write_time(app("VirusList.txt"));
        std::filesystem::last_write_time(app("VirusList.txt"), before - std::chrono::hours(1));
        const VirusListLoad load = LoadVirusList(context);
        EXPECT_TRUE(load.ok);
        EXPECT_EQ(load.entries, c.entries);
        EXPECT_EQ(ReadFile(app("VirusList.txt")), c.fileAfter);
        // A list already in its written form is left as it is.
        EXPECT_EQ(std::filesystem::last_write_time(app("VirusList.txt")) < before,
                  c.file == c.fileAfter)
            << c.file;
    }
}

// The bytes of `text` in UTF-16 of the given byte order, after its byte-order mark.
std::string Utf16File(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// As Notepad saves a list: the mark goes, UTF-16 is read as text, and a list of two or more
// entries is written back in the working files' form, as any such list is.
TEST_F(WorkFiles, ListsWithAByteOrderMarkAreReadAsTheirText) {
    // ASCII in UTF-16: Windows decodes it into its ANSI code page, whichever that is.
    const std::u16string two = u"a.exe\r\nb.dll\r\n";
    const std::string twoWritten = "a.exe\r\nb.dll\r\n";
    const std::string mark = "\xEF\xBB\xBF";
    struct Case {
        std::string file;
        std::vector<std::string> entries;
        std::string fileAfter;
    } cases[] = {
        {mark + "病毒.exe\r\nb.dll\r\n", {"病毒.exe", "b.dll"}, "病毒.exe\r\nb.dll\r\n"},
        {mark + "a.exe\r\n\r\n", {"a.exe"}, mark + "a.exe\r\n\r\n"},
        {Utf16File(two, false), {"a.exe", "b.dll"}, twoWritten},
        {Utf16File(two, true), {"a.exe", "b.dll"}, twoWritten},
        {Utf16File(u"a.exe", false), {"a.exe"}, Utf16File(u"a.exe", false)},
    };
    for (const Case& c : cases) {
        WriteFile(app("VirusList.txt"), c.file);
        const VirusListLoad load = LoadVirusList(context);
        EXPECT_TRUE(load.ok);
        EXPECT_EQ(load.entries, c.entries) << c.file;
        EXPECT_EQ(ReadFile(app("VirusList.txt")), c.fileAfter);
        const ListFile list = ParseListFile(c.file);
        EXPECT_EQ(list.status, ListFile::Status::Read);
        EXPECT_EQ(list.entries, c.entries);
    }
    // A list whose first entry begins like a mark once its blank line is gone stays as it was:
    // written back, it would read as UTF-16.
    const std::string markLike = "\r\n\xFE\xFFx.exe\r\nb.dll\r\n";
    WriteFile(app("VirusList.txt"), markLike);
    for (int load = 0; load < 2; ++load) {
        const VirusListLoad again = LoadVirusList(context);
        EXPECT_TRUE(again.ok);
        EXPECT_EQ(again.entries, (std::vector<std::string>{"\xFE\xFFx.exe", "b.dll"}));
        EXPECT_EQ(ReadFile(app("VirusList.txt")), markLike);
    }
    // UTF-16 that does not decode (an odd byte) is no text and stays as it was.
    const std::string broken = Utf16File(u"a.exe\r\nb.exe", false) + "x";
    WriteFile(app("VirusList.txt"), broken);
    const VirusListLoad load = LoadVirusList(context);
    EXPECT_FALSE(load.ok);
    EXPECT_TRUE(load.entries.empty());
    EXPECT_EQ(ReadFile(app("VirusList.txt")), broken);
    EXPECT_EQ(ParseListFile(broken).status, ListFile::Status::NotText);
}

TEST_F(WorkFiles, MissingVirusListIsCreatedEmpty) {
    const VirusListLoad load = LoadVirusList(context);
    EXPECT_TRUE(load.ok);
    EXPECT_TRUE(load.entries.empty());
    EXPECT_EQ(ReadFile(app("VirusList.txt")), "");
}

TEST_F(WorkFiles, FailedSaveIsReportedAndLeavesNothingBehind) {
    ASSERT_TRUE(SaveVirusList(context, {"a.exe", "b.exe"}));
    EXPECT_EQ(ReadFile(app("VirusList.txt")), "a.exe\r\nb.exe\r\n");

    // A folder standing where the list belongs cannot be replaced.
    std::filesystem::remove(app("VirusList.txt"));
    WriteFile(app("VirusList.txt") + kPathSeparator + "keep.txt", "kept");
    EXPECT_FALSE(SaveVirusList(context, {"c.exe"}));
    EXPECT_EQ(ReadFile(app("VirusList.txt") + kPathSeparator + "keep.txt"), "kept");

    context.AppPath = machine.root() + "no-such-folder" + kPathSeparator;
    EXPECT_FALSE(SaveVirusList(context, {"c.exe"}));
    context.AppPath.clear();
    EXPECT_FALSE(SaveVirusList(context, {"c.exe"}));

    // No temporary file is left in the program folder.
    std::size_t files = 0;
    for (const auto& item : std::filesystem::directory_iterator(machine.root() + "app"))
        files += item.path().filename() != "VirusList.txt";
    EXPECT_EQ(files, 0u);
}

TEST_F(WorkFiles, ListsAreSavedInAProgramFolderWithANonAsciiName) {
    // 0x80 is a character of the Windows code pages (the euro sign): the folder name must reach
    // the platform as the same bytes on every step of a save, the final rename included.
    const std::string folder = machine.root() + "\x80 Pestrel" + kPathSeparator;
    ASSERT_TRUE(test::MakeFolder(machine.platform(), folder));
    context.AppPath = folder;

    ASSERT_TRUE(SaveVirusList(context, {"a.exe", "b.exe"}));
    ASSERT_TRUE(SaveVirusList(context, {"c.exe", "d.exe"}));
    EXPECT_EQ(ReadFile(folder + "VirusList.txt"), "c.exe\r\nd.exe\r\n");
    EXPECT_EQ(LoadVirusList(context).entries, (std::vector<std::string>{"c.exe", "d.exe"}));
    ASSERT_TRUE(WriteProcessList(context, {{"evil.exe", folder}}));
    EXPECT_EQ(ReadFile(folder + "ProcessList.txt"), "evil.exe  #" + folder + "#\r\n\r\n");
}

TEST_F(WorkFiles, FirstStartIsRecordedOnlyForTheExactTextTrue) {
    struct Case {
        std::string config;
        bool firstRun;
        std::string firstRunAfter;
        std::string version;
    } cases[] = {
        {"", true, "False", ""},
        {"[RunData]\r\nVersion=2.1\r\n", true, "False", "2.1"},
        {"[RunData]\r\nFirstRun=True\r\n", true, "False", ""},
        {"[RunData]\r\nFirstRun=true\r\n", false, "true", ""},
        {"[RunData]\r\nFirstRun=False\r\nVersion=V3\r\n", false, "False", "V3"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(app("Config.ini"));
        if (!c.config.empty())
            WriteFile(app("Config.ini"), c.config);
        const StartupSettings settings = ReadStartupSettings(context);
        EXPECT_EQ(settings.firstRun, c.firstRun) << c.config;
        EXPECT_EQ(settings.version, c.version);
        EXPECT_EQ(test::ProfileValue(machine.platform(), app("Config.ini"), "RunData", "FirstRun",
                                     "<missing>"),
                  c.firstRunAfter);
    }
}

TEST_F(WorkFiles, PendingDeletionsRemoveLibrariesOnlyInsideTheirFolders) {
    WriteFile(context.WinDir + "a.dll", "a");
    WriteFile(context.SysDir + "a.dll", "a");
    WriteFile(context.SysDir + "b.dll", "b");
    WriteFile(context.WinDir + "outside.dll", "stays");
    WriteFile(machine.root() + "victim.dll", "stays");
    const auto work = HoldWorkFolder(context);
    ASSERT_TRUE(RecordPendingDeletion(work.get(), "a.dll"));
    ASSERT_TRUE(RecordPendingDeletion(work.get(), "b.dll"));
    ASSERT_TRUE(RecordPendingDeletion(work.get(), "gone.dll"));
    ASSERT_TRUE(
        RecordPendingDeletion(work.get(), std::string("..") + kPathSeparator + "victim.dll"));
    ASSERT_TRUE(RecordPendingDeletion(work.get(), std::string("System32") + kPathSeparator + ".." +
                                                      kPathSeparator + "outside.dll"));
    EXPECT_EQ(ReadFile(app("Temp.~txt")).value().substr(0, 14), "a.dll\r\nb.dll\r\n");

    EXPECT_TRUE(RunPendingDeletions(context));
    EXPECT_FALSE(Exists(context.WinDir + "a.dll"));
    EXPECT_FALSE(Exists(context.SysDir + "a.dll"));
    EXPECT_FALSE(Exists(context.SysDir + "b.dll"));
    EXPECT_TRUE(Exists(context.WinDir + "outside.dll"));
    EXPECT_TRUE(Exists(machine.root() + "victim.dll"));
    EXPECT_FALSE(Exists(app("Temp.~txt")));
    EXPECT_TRUE(RunPendingDeletions(context)) << "nothing pending";
}

TEST_F(WorkFiles, EmptyFolderValuesNeverReachTheCurrentDirectory) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(machine.root());
    WriteFile(machine.root() + "bare.dll", "stays");
    context.WinDir.clear();
    context.SysDir.clear();
    ASSERT_TRUE(RecordPendingDeletion(HoldWorkFolder(context).get(), "bare.dll"));
    EXPECT_TRUE(RunPendingDeletions(context));
    std::filesystem::current_path(before);
    EXPECT_TRUE(Exists(machine.root() + "bare.dll"));
}

TEST_F(WorkFiles, LogBackupAndProcessListing) {
    const auto backup = HoldBackupFolder(HoldWorkFolder(context).get());
    ASSERT_TRUE(test::IsFolder(machine.platform(), context.backupFolder()));
    Platform& platform = machine.platform();
    const auto windows = platform.holdFolder(context.WinDir);
    ASSERT_TRUE(backup && windows);
    for (const char* content : {"one", "two"}) {
        WriteFile(context.WinDir + "evil.exe", content);
        const auto identity = windows->fileIdentity("evil.exe");
        ASSERT_TRUE(identity && BackupFile(*backup, *windows, "evil.exe", *identity, "evil.exe"));
    }
    EXPECT_EQ(ReadFile(context.backupFolder() + "evil.exe"), "two");
    const FileIdentity identity = windows->fileIdentity("evil.exe").value();
    EXPECT_FALSE(BackupFile(*backup, *windows, "evil.exe", identity,
                            std::string("..") + kPathSeparator + "evil.exe"));
    EXPECT_FALSE(BackupFile(*backup, *windows, "evil.exe", identity, "LOG.INI"));
    EXPECT_FALSE(Exists(app("evil.exe")));

    LogDeletion(backup.get(), "evil.exe", context.WinDir + "evil.exe");
    LogDeletion(backup.get(), "evil.exe", context.SysDir + "evil.exe");
    EXPECT_EQ(ReadFile(context.backupFolder() + "Log.ini"),
              "[RunData]\r\nevil.exe=" + context.SysDir + "evil.exe\r\n");

    ASSERT_TRUE(WriteProcessList(context, {{"init", "/sbin/"}, {"evil.exe", ""}}));
    EXPECT_EQ(ReadFile(app("ProcessList.txt")), "init  #/sbin/#\r\n\r\nevil.exe  ##\r\n\r\n");
    ASSERT_TRUE(WriteProcessList(context, {}));
    EXPECT_EQ(ReadFile(app("ProcessList.txt")), "");
}

} // namespace
} // namespace pestrel
