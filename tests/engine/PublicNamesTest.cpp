#include "base/AsciiCase.h"
#include "engine/Public.h"
#include "tests/support/TestMachine.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

const std::string S(1, kPathSeparator);

TEST(JoinName, KeepsEveryNameInsideItsFolder) {
    const std::string folder = "base" + S;
    struct Case {
        std::string name;
        bool joins;
    } cases[] = {
        {"virus.exe", true},
        {"  virus.exe ", true},
        {"病毒.exe", true},
        {"", false},
        {".", false},
        {"..", false},
        {"../evil.exe", false},
        {"..\\evil.exe", false},
        {"sub/evil.exe", false},
        {"sub\\evil.exe", false},
        {"/etc/passwd", false},
        {"C:evil.exe", false},
        {"evil.exe:stream", false},
        {"a..b.dll", true},
        {"setup..exe", true},
        {"...", false},
        {".. ", false},
        {" ", false},
        {"..exe", true},
        {std::string("a\0b", 3), false},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> joined = JoinName(folder, c.name);
        EXPECT_EQ(joined.has_value(), c.joins) << "name: " << c.name;
        if (joined) {
            EXPECT_EQ(*joined, folder + c.name);
        }
    }
    EXPECT_FALSE(JoinName("", "virus.exe")) << "an empty folder never means the current one";
}

TEST(FolderNames, EndInExactlyOneSeparator) {
    EXPECT_EQ(WithTrailingSeparator("dir"), "dir" + S);
    EXPECT_EQ(WithTrailingSeparator("dir" + S), "dir" + S);
    EXPECT_EQ(WithTrailingSeparator(S), S);
    EXPECT_EQ(WithTrailingSeparator(""), "");

    EXPECT_EQ(FolderOf(S + "tools" + S + "evil.exe"), S + "tools" + S);
    EXPECT_EQ(FolderOf(S + "evil.exe"), S);
    EXPECT_EQ(FolderOf("evil.exe"), "");
#ifdef _WIN32
    // Windows takes '/' too: the name is what follows the folder, whichever separator ends it.
    for (const std::string path : {"C:\\tools/evil.exe", "C:evil.exe"})
        EXPECT_EQ(path.substr(FolderOf(path).size()), "evil.exe") << path;
#endif
}

TEST(FolderNames, MachineFoldersEndInTheSeparator) {
    test::TestMachine machine;
    const std::string win = GetWinDir(machine.platform());
    const std::string sys = GetSysDir(machine.platform());
    ASSERT_FALSE(win.empty());
    ASSERT_FALSE(sys.empty());
    EXPECT_EQ(win.back(), kPathSeparator);
    EXPECT_EQ(sys.back(), kPathSeparator);
    EXPECT_EQ(win.find(S + S), std::string::npos);
    EXPECT_EQ(machine.context().WinDir, win);
    EXPECT_EQ(machine.context().SysDir, sys);
    EXPECT_EQ(machine.context().AppPath, machine.root() + "app" + S);
    EXPECT_EQ(machine.context().backupFolder(), machine.root() + "app" + S + "Temp" + S);
}

TEST(NameMatch, ComparesAsciiLettersWithoutCaseAndAllOtherBytesExactly) {
    struct Case {
        std::string exeFile, name;
        bool matches;
    } cases[] = {
        {"virus.exe", "VIRUS.EXE", true},
        {"VIRUS.EXE", "virus.exe", true},
        {"virus.exe", "virus.exe ", false},
        {"virus.exe", "virus", false},
        {"virus.exe", "irus.exe", false},
        {"病毒.exe", "病毒.EXE", true},
        {"病毒.exe", "病母.exe", false},
        {"\xC3\xA4.exe", "\xC3\x84.exe", false}, // non-ASCII letters keep their case
        {S + "tools" + S + "virus.exe", "VIRUS.exe", true},
        {S + "tools" + S + "virus.exe", S + "tools" + S + "virus.exe", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProcessMatchesName(c.exeFile, c.name), c.matches)
            << c.exeFile << " vs " << c.name;
    EXPECT_EQ(UpperAscii("aZ09_\xE7\x97\x85"), "AZ09_\xE7\x97\x85");
}

} // namespace
} // namespace pestrel
