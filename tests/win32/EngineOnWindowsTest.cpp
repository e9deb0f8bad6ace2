// The engine's effects on Windows, read back with Windows' own tools and attributes: what the
// repairs and the kill pass leave in the registry as reg.exe sees it, and what the library step
// does to files marked system, hidden or read-only.
#include "engine/Context.h"
#include "engine/KillPass.h"
#include "engine/Public.h"
#include "platform/win32/Win32Platform.h"
#include "tests/engine/RecordingView.h"
#include "tests/support/TestFiles.h"
#include "tests/support/win32/ChildProcess.h"
#include "tests/support/win32/RegTool.h"
#include "tests/support/win32/RegistrySandbox.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

namespace fs = std::filesystem;

TEST(RepairsOnWindows, RegExeReadsEveryRepairedValue) {
    test::RegistrySandbox sandbox;
    Win32Platform platform;
    ASSERT_TRUE(WriteRegValue(platform, RegRoot::LocalMachine,
                              "Software\\Microsoft\\Internet Explorer\\Main", RegText, "Start Page",
                              "http://hijack.example"));
    EXPECT_TRUE(RepairSystemSettings(platform));

    const std::string policies = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    const std::string main = "\\Software\\Microsoft\\Internet Explorer\\Main";
    const std::string zone3 =
        "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3";
    const std::string classes = sandbox.machineKey() + "\\Software\\Classes";
    struct Row {
        std::string key, name, data;
    } rows[] = {
        {sandbox.machineKey() + policies, "DisableRegistryTools", "0x0"},
        {sandbox.userKey() + policies, "DisableRegistryTools", "0x0"},
        {classes + "\\txtfile\\shell\\open\\command", "", "Notepad.exe \"%1\" "},
        {classes + "\\exefile\\shell\\open\\command", "", "\"%1\" %*"},
        {sandbox.userKey() + "\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel",
         "HomePage", "0x0"},
        {sandbox.machineKey() + zone3, "1803", "0x0"},
        {sandbox.userKey() + zone3, "1803", "0x0"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(test::RegQueryData(row.key, row.name), row.data) << row.key << " / " << row.name;
    for (const std::string& root : {sandbox.machineKey(), sandbox.userKey()}) {
        EXPECT_EQ(test::RegQueryData(root + main, "Windows Title"), "Microsoft Internet Explorer");
        for (const char* name :
             {"Start Page", "Default_Page_URL", "Default_Search_URL", "Search Page"})
            EXPECT_EQ(test::RegQueryData(root + main, name), "about:blank") << root << name;
    }
}

class KillPassOnWindows : public ::testing::Test {
protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() / ("pestrel-kill-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(root_ / "app");
        fs::create_directories(root_ / "Windows" / "System32");
        context_.AppPath = (root_ / "app").string() + "\\";
        context_.WinDir = (root_ / "Windows").string() + "\\";
        context_.SysDir = (root_ / "Windows" / "System32").string() + "\\";
    }
    void TearDown() override {
        for (const auto& item : fs::recursive_directory_iterator(root_))
            SetFileAttributesA(item.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(root_);
    }

    test::RegistrySandbox sandbox_;
    Win32Platform platform_;
    Context context_{platform_};
    fs::path root_;
};

TEST_F(KillPassOnWindows, RunValuesThatStartTheEntryAreGoneForRegExe) {
    context_.cleanAutostart = true;
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        for (const char* name : {"Evil.exe", "Updater"})
            ASSERT_TRUE(WriteRegValue(platform_, root, kRunKey, RegText, name, "C:\\evil.exe"));
        ASSERT_TRUE(WriteRegValue(platform_, root, kRunKey, RegText, "Other", "C:\\good.exe"));
    }
    const std::string folder = (root_ / "Tools").string();
    fs::create_directories(folder);
    test::ChildProcess evil(folder + "\\evil.exe", "", (root_ / "ready").string());
    ASSERT_TRUE(evil.started());

    test::RecordingView view({"evil.exe"});
    EXPECT_TRUE(RunKillPass(context_, view, view));

    EXPECT_TRUE(evil.waitForExit(0));
    EXPECT_FALSE(platform_.fileExists(folder + "\\evil.exe"));
    EXPECT_EQ(
        platform_.readProfileString(context_.backupFolder() + "Log.ini", "RunData", "evil.exe", ""),
        folder + "\\evil.exe");
    for (const std::string& root : {sandbox_.machineKey(), sandbox_.userKey()}) {
        const std::string run = root + "\\" + kRunKey;
        EXPECT_FALSE(test::RegQuery(run, "Evil.exe")) << run;
        EXPECT_FALSE(test::RegQuery(run, "Updater")) << run;
        EXPECT_EQ(test::RegQueryData(run, "Other"), "C:\\good.exe") << run;
    }
}

TEST_F(KillPassOnWindows, LibraryStepKeepsSystemFilesAndClearsReadOnlyAndHidden) {
    const auto make = [this](const std::string& path, DWORD attributes) {
        test::WriteFile(path, "MZ");
        ASSERT_TRUE(platform_.setFileAttributes(path, attributes));
    };
    // Marked system: the library step leaves it alone, and its read-only flag then keeps the
    // later deletion from succeeding.
    make(context_.WinDir + "core.dll", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    make(context_.SysDir + "hook.dll", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    make(context_.WinDir + "hook.dll", FILE_ATTRIBUTE_HIDDEN);

    test::RecordingView view({"core.dll", "hook.dll"});
    EXPECT_TRUE(RunKillPass(context_, view, view));

    EXPECT_FALSE(platform_.fileExists(context_.WinDir + "hook.dll"));
    EXPECT_FALSE(platform_.fileExists(context_.SysDir + "hook.dll"));
    ASSERT_TRUE(platform_.fileExists(context_.WinDir + "core.dll"));
    EXPECT_EQ(GetFileAttributesA((context_.WinDir + "core.dll").c_str()) &
                  (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY),
              DWORD(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(test::ReadFile(context_.AppPath + "Temp.~txt"), "hook.dll\r\n");
}

} // namespace
} // namespace pestrel
