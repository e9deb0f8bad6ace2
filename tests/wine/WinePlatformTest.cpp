#include "platform/wine/WinePlatform.h"

#include "base/FileBytes.h"
#include "platform/posix/PosixPlatform.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pestrel::wine {
namespace {

namespace fs = std::filesystem;

const std::string kSystem = "WINE REGISTRY Version 2\n"
                            ";; All keys relative to REGISTRY\\\\Machine\n"
                            "\n"
                            "[Software\\\\Classes\\\\txtfile\\\\shell\\\\open\\\\command] 1\n"
                            "#time=1\n"
                            "@=\"evil.exe %1\"\n"
                            "\n"
                            "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1\n"
                            "#time=1\n"
                            "\"evil.exe\"=\"C:\\\\evil.exe\"\n"
                            "\n"
                            "[Software\\\\Wine] 1\n"
                            "#time=1\n"
                            "\"Untouched\"=hex(7):61,00,00,00\n";
const std::string kUser = "WINE REGISTRY Version 2\n"
                          ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n";
const char* const kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A prefix of files only: no Wine runs for it.
class WinePlatformFiles : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("pestrel-wine-platform-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "pfx" / "drive_c" / "windows" / "system32");
        fs::create_directories(root_ / "pfx" / "dosdevices");
        ReplaceFileAtomically((root_ / "pfx" / "system.reg").string(), kSystem);
        ReplaceFileAtomically((root_ / "pfx" / "user.reg").string(), kUser);
    }
    void TearDown() override {
        fs::remove_all(root_);
        fs::remove_all(standIn_.dataRoot());
    }

    std::string file(const char* name) const {
        return ReadFileBytes((root_ / "pfx" / name).string()).value_or("");
    }
    WinePlatform open() {
        return WinePlatform(std::get<WinePrefix>(WinePrefix::Open(root_ / "pfx")), standIn_);
    }

    fs::path root_;
    PosixPlatform standIn_{fs::temp_directory_path() /
                           ("pestrel-wine-stand-in-" + std::to_string(::getpid()))};
};

TEST_F(WinePlatformFiles, WritesEachRootToItsFileAndKeepsTheRest) {
    WinePlatform platform = open();
    EXPECT_EQ(platform.windowsFolder(), (root_ / "pfx" / "drive_c" / "windows").string());
    EXPECT_TRUE(platform.processSnapshot(SnapshotDetail::Names).empty());

    EXPECT_TRUE(platform.createKey(RegRoot::LocalMachine, kRun)); // exists: no change
    EXPECT_EQ(file("system.reg"), kSystem);
    EXPECT_TRUE(platform.deleteValue(RegRoot::LocalMachine, kRun, "EVIL.EXE"));
    EXPECT_FALSE(platform.deleteValue(RegRoot::LocalMachine, kRun, "evil.exe"));
    EXPECT_TRUE(platform.setValue(RegRoot::ClassesRoot, "\\txtfile\\shell\\open\\command", "",
                                  RegValue{RegText, "Notepad.exe \"%1\" ", 0}));
    EXPECT_TRUE(platform.setValue(RegRoot::CurrentUser, kRun, "x", RegValue{RegInteger, "", 7}));

    const std::string system = file("system.reg");
    EXPECT_EQ(system.find("evil.exe\"="), std::string::npos);
    EXPECT_NE(system.find("@=\"Notepad.exe \\\"%1\\\" \"\n"), std::string::npos);
    EXPECT_TRUE(
        system.ends_with("[Software\\\\Wine] 1\n#time=1\n\"Untouched\"=hex(7):61,00,00,00\n"));
    EXPECT_TRUE(file("user.reg").starts_with(kUser));
    EXPECT_EQ(platform.queryValue(RegRoot::CurrentUser, kRun, "X")->number, 7u);
    // A second platform reads what the first wrote.
    EXPECT_EQ(open().queryValue(RegRoot::ClassesRoot, "txtfile\\shell\\open\\command", "")->text,
              "Notepad.exe \"%1\" ");
    EXPECT_FALSE(platform.takeRefusal());
}

TEST_F(WinePlatformFiles, NeverRewritesAFileItCannotParse) {
    const std::string broken = kSystem.substr(0, kSystem.size() - 10); // cut inside a line
    ReplaceFileAtomically((root_ / "pfx" / "system.reg").string(), broken);
    WinePlatform platform = open();
    const std::optional<std::string> problem = platform.registryProblem();
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("system.reg is not in Wine's format (line 14: the file ends inside"),
              std::string::npos)
        << *problem;
    EXPECT_FALSE(platform.deleteValue(RegRoot::LocalMachine, kRun, "evil.exe"));
    EXPECT_FALSE(platform.setValue(RegRoot::LocalMachine, "Software\\New", "a",
                                   RegValue{RegInteger, "", 1}));
    EXPECT_FALSE(platform.queryValue(RegRoot::LocalMachine, kRun, "evil.exe"));
    EXPECT_EQ(file("system.reg"), broken);
    // The other file stays usable.
    EXPECT_TRUE(platform.createKey(RegRoot::CurrentUser, kRun));
}

TEST_F(WinePlatformFiles, SeesARewriteThatKeepsSizeAndModificationTime) {
    const fs::path system = root_ / "pfx" / "system.reg";
    struct stat before {};
    ASSERT_EQ(::stat(system.c_str(), &before), 0);
    // Past the time a written file needs to settle, so that the parsed hive is kept.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    WinePlatform platform = open();
    ASSERT_EQ(platform.queryValue(RegRoot::LocalMachine, kRun, "evil.exe")->text, "C:\\evil.exe");

    std::string rewritten = kSystem;
    rewritten.replace(rewritten.find("C:\\\\evil"), 1, "D");
    std::ofstream(system, std::ios::binary | std::ios::trunc) << rewritten; // the same inode
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, system.c_str(), times, 0), 0);
    EXPECT_EQ(platform.queryValue(RegRoot::LocalMachine, kRun, "evil.exe")->text, "D:\\evil.exe");
}

TEST_F(WinePlatformFiles, RootRefusesAPrefixOthersCanChange) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the administrator checks who else can change a folder";
    // The stand-in's folders exist, so that /tmp does not stand in for them.
    fs::create_directories(standIn_.dataRoot() / "Windows" / "System32");
    fs::create_directories(standIn_.dataRoot() / "Registry");
    WinePlatform platform = open();
    ASSERT_EQ(platform.foldersOthersCanChange({}), std::vector<std::string>{});
    fs::permissions(root_ / "pfx" / "drive_c" / "windows", fs::perms::all);
    EXPECT_EQ(platform.foldersOthersCanChange({}),
              (std::vector<std::string>{platform.windowsFolder(), platform.systemFolder()}));
}

} // namespace
} // namespace pestrel::wine
