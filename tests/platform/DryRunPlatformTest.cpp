#include "platform/DryRunPlatform.h"

#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

using test::ReadFile;
using test::WriteFile;

constexpr const char* kKey = "Software\\Run";

RegValue Text(const std::string& text) {
    RegValue value;
    value.text = text;
    return value;
}

bool Lists(Platform& platform, std::uint32_t id) {
    for (const ProcessRecord& record : platform.processSnapshot(SnapshotDetail::Names)) {
        if (record.id == id)
            return true;
    }
    return false;
}

TEST(DryRunPlatform, ChangesAreSeenButNotMade) {
    test::TestMachine machine;
    Platform& real = machine.platform();
    DryRunPlatform dry(real);
    const std::string file = machine.root() + "file.exe", copy = machine.root() + "copy.exe";
    WriteFile(file, "bytes");
    ASSERT_TRUE(real.setValue(RegRoot::CurrentUser, kKey, "Old", Text("C:\\old.exe")));
    auto program = machine.startProgram(machine.root() + "bin/", "dry-run-helper.exe");

    EXPECT_TRUE(dry.terminateProcess(program->id()));
    EXPECT_FALSE(Lists(dry, program->id()));
    EXPECT_TRUE(Lists(real, program->id()));

    EXPECT_TRUE(dry.copyFile(file, copy));
    EXPECT_TRUE(dry.fileExists(copy));
    EXPECT_TRUE(dry.deleteFile(file));
    EXPECT_FALSE(dry.fileExists(file));
    EXPECT_EQ(dry.fileAttributes(file), FileAttribute::Invalid);
    EXPECT_FALSE(dry.deleteFile(file)) << "a file is deleted once";
    EXPECT_FALSE(dry.copyFile(file, copy)) << "a deleted file cannot be copied";
    EXPECT_TRUE(dry.appendToFile(machine.root() + "new.txt", "line"));

    EXPECT_TRUE(dry.deleteValue(RegRoot::CurrentUser, "\\SOFTWARE\\run", "old"));
    EXPECT_FALSE(dry.queryValue(RegRoot::CurrentUser, kKey, "Old"));
    EXPECT_FALSE(dry.deleteValue(RegRoot::CurrentUser, kKey, "Old"));
    EXPECT_TRUE(dry.setValue(RegRoot::ClassesRoot, "txtfile", "", Text("Notepad")));
    EXPECT_EQ(dry.queryValue(RegRoot::LocalMachine, "Software\\Classes\\txtfile", "")->text,
              "Notepad");
    EXPECT_TRUE(dry.writeProfileString(machine.root() + "Log.ini", "RunData", "a", "b"));
    EXPECT_EQ(dry.readProfileString(machine.root() + "Log.ini", "rundata", "A", ""), "b");
    EXPECT_TRUE(dry.createFolder(machine.root() + "Temp"));
    EXPECT_TRUE(dry.folderExists(machine.root() + "Temp"));

    // None of it reached the machine.
    EXPECT_TRUE(program->alive());
    EXPECT_EQ(ReadFile(file), "bytes");
    EXPECT_FALSE(test::Exists(copy));
    EXPECT_FALSE(test::Exists(machine.root() + "new.txt"));
    EXPECT_FALSE(test::Exists(machine.root() + "Log.ini"));
    EXPECT_FALSE(test::Exists(machine.root() + "Temp"));
    EXPECT_TRUE(real.queryValue(RegRoot::CurrentUser, kKey, "Old"));
    EXPECT_FALSE(real.queryValue(RegRoot::ClassesRoot, "txtfile", ""));
    EXPECT_EQ(dry.changes().size(), 8u);
}

} // namespace
} // namespace pestrel
