#include "platform/wine/WineProcesses.h"

#include "platform/wine/WinePrefix.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pestrel::wine {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

TEST(WineProcesses, RecognisesWindowsProgramsFromProcRecords) {
    const std::string env = "HOME=/home/ann\0WINEPREFIX=/pfx\0"s;
    const struct {
        const char* what;
        ProcFacts facts;
        WineRole role;
        const char* prefix;
        const char* name;
    } cases[] = {
        {"a program",
         {1, "/usr/lib/wine/wine64", "evil.exe", "C:\\evil.exe\0-n\0\0\0"s, env, "/"},
         WineRole::Program,
         "/pfx",
         "evil.exe"},
        {"a long name cut in comm",
         {2, "/usr/lib/wine/wine64-preloader", "averyveryverylo",
          "C:\\Program Files\\averyveryverylong.exe\0"s, env, "/"},
         WineRole::Program,
         "/pfx",
         "averyveryverylong.exe"},
        {"still starting",
         {3, "/usr/bin/wine", "wine", "/usr/bin/wine\0C:\\x\\a.exe\0"s, env, "/"},
         WineRole::Program,
         "/pfx",
         "a.exe"},
        {"run again through the preloader",
         {14, "/usr/lib/wine/wine64-preloader", "wine64-preloader",
          "/usr/lib/wine/wine64-preloader\0/usr/lib/wine/wine64\0/usr/lib/wine/wine64\0C:\\b.exe\0"s,
          env, "/"},
         WineRole::Program,
         "/pfx",
         "b.exe"},
        {"no arguments to read",
         {4, "/usr/lib/wine/wine64", "evil.exe", "", env, "/"},
         WineRole::Program,
         "/pfx",
         "evil.exe"},
        {"Wine's service",
         {5, "/usr/lib/wine/wine64", "services.exe", "C:\\windows\\system32\\services.exe\0"s, env,
          "/"},
         WineRole::Service,
         "/pfx",
         "services.exe"},
        {"Wine's explorer",
         {6, "/usr/lib/wine/wine64", "explorer.exe", "C:\\WINDOWS\\explorer.exe\0/desktop\0"s, env,
          "/"},
         WineRole::Service,
         "/pfx",
         "explorer.exe"},
        {"a service name elsewhere",
         {7, "/usr/lib/wine/wine64", "svchost.exe", "C:\\users\\ann\\svchost.exe\0"s, env, "/"},
         WineRole::Program,
         "/pfx",
         "svchost.exe"},
        {"no WINEPREFIX",
         {8, "/usr/lib/wine/wine64", "a.exe", "C:\\a.exe\0"s, "HOME=/home/bo\0"s, "/"},
         WineRole::Program,
         "/home/bo/.wine",
         "a.exe"},
        {"no HOME either",
         {9, "/usr/lib/wine/wine64", "a.exe", "C:\\a.exe\0"s, "", "/"},
         WineRole::Program,
         "/fallback/.wine",
         "a.exe"},
        {"a relative prefix",
         {10, "/usr/lib/wine/wine64", "a.exe", "C:\\a.exe\0"s, "WINEPREFIX=p\0"s, "/work"},
         WineRole::Program,
         "/work/p",
         "a.exe"},
        {"the server",
         {11, "/usr/lib/wine/wineserver64", "wineserver64", "", env, "/tmp"},
         WineRole::Server,
         "/pfx",
         ""},
        {"a Linux program",
         {12, "/usr/bin/bash", "bash", "bash\0"s, env, "/"},
         WineRole::Other,
         "",
         ""},
        {"a Linux program named like Wine",
         {13, "/usr/bin/wine64x", "x", "C:\\a.exe\0"s, env, "/"},
         WineRole::Other,
         "",
         ""},
    };
    for (const auto& c : cases) {
        const WineProcess process = RecognizeProcess(c.facts, "/fallback");
        EXPECT_EQ(process.role, c.role) << c.what;
        if (c.role == WineRole::Other)
            continue;
        EXPECT_EQ(process.prefix, c.prefix) << c.what;
        EXPECT_EQ(process.name, c.name) << c.what;
    }
}

class WinePrefixFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("pestrel-wine-prefix-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "pfx" / "drive_c" / "windows" / "System32");
        fs::create_directories(root_ / "pfx" / "dosdevices");
        fs::create_directories(root_ / "other" / "Tools");
        fs::create_symlink("../drive_c", root_ / "pfx" / "dosdevices" / "c:");
        fs::create_symlink(root_ / "other", root_ / "pfx" / "dosdevices" / "d:");
        for (const char* hive : {"system.reg", "user.reg"})
            std::ofstream(root_ / "pfx" / hive) << "WINE REGISTRY Version 2\n";
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(WinePrefixFolder, MapsWindowsPathsThroughTheDriveLinks) {
    const auto opened = WinePrefix::Open(root_ / "pfx" / "");
    ASSERT_TRUE(std::holds_alternative<WinePrefix>(opened));
    const WinePrefix& prefix = std::get<WinePrefix>(opened);
    const std::string pfx = (root_ / "pfx").string();
    EXPECT_EQ(prefix.systemFolder(), pfx + "/drive_c/windows/system32");
    const struct {
        const char* windows;
        std::optional<std::string> linux;
    } cases[] = {
        {"C:\\evil.exe", pfx + "/drive_c/evil.exe"},
        {"c:\\WINDOWS\\system32\\a.exe", pfx + "/drive_c/windows/System32/a.exe"},
        {"\\\\?\\C:\\windows\\a.exe", pfx + "/drive_c/windows/a.exe"},
        {"C:\\..\\..\\..\\etc\\passwd", pfx + "/drive_c/etc/passwd"},
        {"D:\\tools\\b.exe", (root_ / "other" / "Tools" / "b.exe").string()},
        {"E:\\a.exe", std::nullopt},
        {"a.exe", std::nullopt},
        {"\\\\server\\share\\a.exe", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(prefix.linuxPath(c.windows), c.linux) << c.windows;
    EXPECT_TRUE(prefix.isSameFolder(pfx + "/dosdevices/c:/.."));
    EXPECT_FALSE(prefix.isSameFolder((root_ / "other").string()));
}

TEST_F(WinePrefixFolder, SaysWhatMakesAFolderNoPrefix) {
    fs::remove(root_ / "pfx" / "user.reg");
    const struct {
        fs::path folder;
        const char* says;
    } cases[] = {
        {root_ / "missing", "is not a folder"},
        {root_ / "other", "has no drive_c/windows folder"},
        {root_ / "pfx", "has no user.reg registry file"},
    };
    for (const auto& c : cases) {
        const auto opened = WinePrefix::Open(c.folder);
        ASSERT_TRUE(std::holds_alternative<std::string>(opened)) << c.folder;
        EXPECT_NE(std::get<std::string>(opened).find(c.says), std::string::npos)
            << std::get<std::string>(opened);
    }
}

} // namespace
} // namespace pestrel::wine
