#include "base/IniFile.h"

#include "platform/ProfileFile.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

TEST(IniText, ReadsSectionsAndKeysWithoutCase) {
    const std::string text = "; comment\r\n[Other]\r\nFirstRun=no\r\n"
                             "[RunData]\r\n FirstRun = False \r\nVersion=1.2\nEmpty=\r\n";
    EXPECT_EQ(ini::Read(text, "rundata", "FIRSTRUN"), "False");
    EXPECT_EQ(ini::Read(text, "RunData", "Version"), "1.2");
    EXPECT_EQ(ini::Read(text, "RunData", "Empty"), "");
    EXPECT_EQ(ini::Read(text, "RunData", "Missing"), std::nullopt);
    EXPECT_EQ(ini::Read(text, "Missing", "FirstRun"), std::nullopt);
    EXPECT_EQ(ini::Read("", "RunData", "FirstRun"), std::nullopt);
}

TEST(IniText, WriteReplacesOrAddsAndKeepsTheRest) {
    EXPECT_EQ(ini::Write("", "RunData", "FirstRun", "False"), "[RunData]\r\nFirstRun=False\r\n");

    const std::string text = "[A]\r\nx=1\r\n\r\n[RunData]\r\nFirstRun=True\r\nVersion=2\r\n\r\n"
                             "[B]\r\ny=3\r\n";
    EXPECT_EQ(ini::Write(text, "rundata", "firstrun", "False"),
              "[A]\r\nx=1\r\n\r\n[RunData]\r\nfirstrun=False\r\nVersion=2\r\n\r\n[B]\r\ny=3\r\n");
    EXPECT_EQ(ini::Write(text, "RunData", "New", "v"),
              "[A]\r\nx=1\r\n\r\n[RunData]\r\nFirstRun=True\r\nVersion=2\r\nNew=v\r\n\r\n"
              "[B]\r\ny=3\r\n");
    EXPECT_EQ(ini::Write("[A]\nx=1\n", "C", "k", "v"), "[A]\r\nx=1\r\n[C]\r\nk=v\r\n");
}

TEST(ProfileFile, WritesReadBackAndRefusesWhatWouldNotReadBack) {
    test::TestMachine machine;
    const std::string file = machine.root() + "Log.ini";
    const auto root = machine.platform().holdFolder(machine.root());
    ASSERT_TRUE(root);
    EXPECT_EQ(ReadProfile(*root, "Log.ini", "RunData", "a", "fallback"), "fallback");
    ASSERT_TRUE(WriteProfile(*root, "Log.ini", "RunData", "evil.exe", machine.root() + "evil.exe"));
    ASSERT_TRUE(WriteProfile(*root, "Log.ini", "RunData", "evil.exe", "second"));
    EXPECT_EQ(test::ReadFile(file), "[RunData]\r\nevil.exe=second\r\n");

    EXPECT_FALSE(WriteProfile(*root, "Log.ini", "RunData", "a=b", "v"));
    EXPECT_FALSE(WriteProfile(*root, "Log.ini", "RunData", "k", "line\r\n[Injected]"));
    EXPECT_FALSE(WriteProfile(*root, "Log.ini", "Run]Data", "k", "v"));
    EXPECT_FALSE(WriteProfile(*root, "Log.ini", "RunData", "", "v"));
    EXPECT_EQ(test::ReadFile(file), "[RunData]\r\nevil.exe=second\r\n");

    // What cannot be read is not replaced: it would be lost.
    std::filesystem::create_directory(machine.root() + "Folder.ini");
    EXPECT_FALSE(WriteProfile(*root, "Folder.ini", "S", "k", "v"));
}

// Names with outer blanks name the same section and key as without them, in both directions.
TEST(ProfileFile, NamesWithOuterBlanksReadBack) {
    test::TestMachine machine;
    const std::string file = machine.root() + "Log.ini";
    const auto root = machine.platform().holdFolder(machine.root());
    ASSERT_TRUE(root);
    struct Case {
        const char *section, *key, *value, *readSection, *readKey;
    } cases[] = {
        {"RunData", " virus.exe ", "1", "RunData", " virus.exe "},
        {"RunData", "virus.exe", "2", "RunData", " virus.exe\t"},
        {" Other\t", "k", "3", "Other", "k"},
        {"Other", "\tk", "4", " Other ", "k "},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteProfile(*root, "Log.ini", c.section, c.key, c.value));
        EXPECT_EQ(ReadProfile(*root, "Log.ini", c.readSection, c.readKey, "missing"), c.value)
            << c.section << "/" << c.key;
    }
    EXPECT_EQ(test::ReadFile(file), "[RunData]\r\nvirus.exe=2\r\n[Other]\r\nk=4\r\n");
}

} // namespace
} // namespace pestrel
