#include "platform/DryRunPlatform.h"

#include "tests/support/HeldPath.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

// The pass itself runs over this platform end to end in the command-line tests; here, the
// answers a later call gets after a change that was not made.
TEST(DryRunPlatform, LaterCallsSeeChangesThatWereNotMade) {
    test::TestMachine machine;
    Platform& real = machine.platform();
    DryRunPlatform dry(real);
    const std::string file = machine.root() + "file.exe", copy = machine.root() + "copy.exe";
    test::WriteFile(file, "bytes");
    RegValue value;
    value.text = "C:\\old.exe";
    ASSERT_TRUE(real.setValue(RegRoot::CurrentUser, "Software\\Run", "Old", value));

    const auto folder = dry.holdFolder(machine.root());
    ASSERT_TRUE(folder);
    const FileIdentity identity = folder->fileIdentity("file.exe").value();
    EXPECT_TRUE(folder->copyFile("file.exe", identity, *folder, "copy.exe"));
    EXPECT_TRUE(RegularFileAt(dry, copy));
    EXPECT_TRUE(folder->deleteFile("file.exe", identity));
    EXPECT_FALSE(RegularFileAt(dry, file));
    EXPECT_FALSE(folder->deleteFile("file.exe", identity)) << "a file is deleted once";
    EXPECT_FALSE(folder->copyFile("file.exe", identity, *folder, "copy.exe"))
        << "a deleted file cannot be copied";
    EXPECT_FALSE(dry.holdFolder(machine.root() + "Undo"));
    const auto created = folder->folder("Undo", true);
    ASSERT_TRUE(created);
    EXPECT_TRUE(folder->folder("Undo", false)) << "a folder made in the dry run is there for it";
    EXPECT_TRUE(dry.deleteValue(RegRoot::CurrentUser, "\\SOFTWARE\\run", "old"));
    EXPECT_FALSE(dry.queryValue(RegRoot::CurrentUser, "Software\\Run", "Old"));
    EXPECT_TRUE(dry.setValue(RegRoot::CurrentUser, "Software\\Run", "New", value));
    EXPECT_EQ(dry.valueNames(RegRoot::CurrentUser, "software\\run"),
              (std::vector<std::string>{"New"}));
    const std::vector<std::string> entries = folder->entryNames();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "copy.exe"), 1);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "file.exe"), 0);
    EXPECT_TRUE(dry.setValue(RegRoot::ClassesRoot, "txtfile", "", value));
    EXPECT_TRUE(dry.queryValue(RegRoot::LocalMachine, "Software\\Classes\\txtfile", ""));
    EXPECT_TRUE(test::SetProfileValue(dry, machine.root() + "Log.ini", "RunData", "a", "b"));
    EXPECT_EQ(test::ProfileValue(dry, machine.root() + "Log.ini", "rundata", "A", ""), "b");
    EXPECT_TRUE(folder->appendFile("Temp.~txt", "a\r\n"));
    EXPECT_TRUE(folder->appendFile("Temp.~txt", "b\r\n"));
    EXPECT_EQ(folder->readFile("Temp.~txt"), "a\r\nb\r\n") << "written bytes read back";

    EXPECT_EQ(test::ReadFile(file), "bytes");
    EXPECT_FALSE(test::Exists(copy));
    EXPECT_FALSE(test::Exists(machine.root() + "Log.ini"));
    EXPECT_FALSE(test::Exists(machine.root() + "Temp.~txt"));
    EXPECT_TRUE(real.queryValue(RegRoot::CurrentUser, "Software\\Run", "Old"));
    EXPECT_EQ(dry.changes().size(), 9u);
    EXPECT_FALSE(test::Exists(machine.root() + "Undo"));
}

} // namespace
} // namespace pestrel
