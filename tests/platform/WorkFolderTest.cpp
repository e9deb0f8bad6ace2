#include "platform/posix/WorkFolder.h"

#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <filesystem>
#include <gtest/gtest.h>
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

} // namespace
} // namespace pestrel
