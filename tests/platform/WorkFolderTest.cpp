#include "platform/posix/WorkFolder.h"

#include "platform/posix/FolderTrust.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pestrel {
namespace {

namespace fs = std::filesystem;

TEST(WorkFolder, BesideAWritablePortableProgramElseInTheDataFolder) {
    test::TestMachine machine;
    const fs::path root = machine.root();
    const fs::path data = root / "data";
    const bool root_user = ::geteuid() == 0; // root may write into any folder
    test::WriteFile((root / "portable/pestrel").string(), "");
    test::WriteFile((root / "locked/pestrel").string(), "");
    fs::permissions(root / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    test::WriteFile((root / "usr/bin/pestrel").string(), "");
    test::WriteFile((root / "usr/share/applications" / kDesktopEntryName).string(), "");
    test::WriteFile((root / "opt/bin/pestrel").string(), "");
    test::WriteFile((root / "opt/share/doc/pestrel/Readme.txt").string(), "");
    test::WriteFile((root / "other/bin/pestrel").string(), "");
    fs::create_directories(root / "other/share");

    const struct {
        const char* program;
        fs::path expected;
        fs::path readme;
    } cases[] = {
        {"portable/pestrel", root / "portable", {}},
        {"locked/pestrel", root_user ? root / "locked" : data, {}},
        {"usr/bin/pestrel", data, root / "usr/share/doc/pestrel/Readme.txt"},
        {"opt/bin/pestrel", data, root / "opt/share/doc/pestrel/Readme.txt"},
        {"other/bin/pestrel", root / "other/bin", {}}, // a share/ without our files
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseWorkFolder(root / c.program, data), c.expected) << c.program;
        EXPECT_EQ(InstalledReadme(root / c.program), c.readme) << c.program;
    }
    fs::permissions(root / "locked", fs::perms::owner_all);
}

TEST(FolderTrust, EveryComponentAsGivenIsRootsAloneAndNoneIsALink) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "Only folders of root's can be trusted, and only root can make them.";
    test::TestMachine machine;
    const std::string root = machine.root();
    fs::create_directories(root + "safe");
    fs::create_directory_symlink(root + "safe", root + "link");
    fs::create_directory_symlink(root + "missing", root + "dangling");
    test::WriteFile(root + "file", "");
    fs::create_directories(root + "group");
    ::chmod((root + "group").c_str(), 0770);
    fs::create_directories(root + "sticky/inner");
    ::chmod((root + "sticky").c_str(), 01777);
    fs::create_directories(root + "users/inner");
    ASSERT_EQ(::chown((root + "users").c_str(), 65534, 65534), 0);

    const struct {
        std::string folder;
        bool changeable;
    } cases[] = {
        {root + "safe", false},
        {root + "safe/missing/deeper", false}, // judged by the folder above
        {root + "safe/", false},
        {root + "link", true},
        {root + "link/missing", true},
        {root + "dangling/missing", true},
        {root + "file/missing", true},
        {root + "group", true},
        {root + "sticky/inner", false}, // others cannot rename what root owns in it
        {root + "sticky", true},
        {root + "users/inner", true},
        {root + "safe/../safe", true},
        {"relative/folder", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OthersCanChange(c.folder), c.changeable) << c.folder;
}

} // namespace
} // namespace pestrel
