#include "engine/Journal.h"

#include "engine/Context.h"
#include "engine/KillPass.h"
#include "engine/Public.h"
#include "engine/Restore.h"
#include "tests/engine/RecordingView.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

using test::ReadFile;
using test::WriteFile;

TEST(JournalLine, KeepsEveryByteOfItsFieldsAndRefusesWhatIsNotALine) {
    const JournalEntry odd{"2026-12-07T22:30:00Z",   JournalEntry::Kind::Text,      "a\tb%41.exe",
                           "HKEY_CURRENT_USER\\Run", "C:\\x.exe\r\n%SystemRoot%\t", true};
    const std::optional<JournalEntry> back = ParseJournalLine(FormatJournalLine(odd));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->entry, odd.entry);
    EXPECT_EQ(back->kept, odd.kept);
    EXPECT_TRUE(back->restored);
    EXPECT_EQ(FormatJournalLine(odd).find_first_of("\r\n"), std::string::npos);

    for (const char* line : {"", "t\tfile\te\tp\tk", "t\tfile\te\tp\tk\tdone", "t\tdir\te\tp\tk\t",
                             "t\tfile\t\tp\tk\t", "t\tfile\te\tp\t%4\t", "t\tfile\te\tp\t%zz\t"})
        EXPECT_FALSE(ParseJournalLine(line)) << line;
}

class Journal : public ::testing::Test {
protected:
    bool pass(const std::vector<std::string>& entries) {
        test::RecordingView view(entries);
        return RunKillPass(context, view, 0);
    }
    std::vector<PassAction> restore(const std::vector<std::string>& names) {
        std::vector<PassAction> actions;
        RestoreDeleted(context, names, [&](const PassAction& a) { actions.push_back(a); });
        return actions;
    }

    test::TestMachine machine;
    Context& context = machine.context();
};

TEST_F(Journal, CopiesOfOneNameNeverReplaceEachOtherAndEachPlaceComesBack) {
    WriteFile(context.WinDir + "twice.exe", "windows copy");
    WriteFile(context.SysDir + "twice.exe", "system copy");
    ASSERT_TRUE(pass({"twice.exe"}));
    WriteFile(context.SysDir + "twice.exe", "second system copy");
    ASSERT_TRUE(pass({"twice.exe"}));

    const std::string kept = context.backupFolder() + "Kept" + kPathSeparator;
    EXPECT_EQ(ReadFile(kept + "1-twice.exe"), "windows copy");
    EXPECT_EQ(ReadFile(kept + "2-twice.exe"), "system copy");
    EXPECT_EQ(ReadFile(kept + "3-twice.exe"), "second system copy");
    EXPECT_EQ(ReadFile(context.backupFolder() + "twice.exe"), "second system copy");
    EXPECT_EQ(ReadJournal(context)->size(), 3u);

    EXPECT_EQ(restore({"TWICE.EXE"}).size(), 2u) << "the latest of each place";
    EXPECT_EQ(ReadFile(context.WinDir + "twice.exe"), "windows copy");
    EXPECT_EQ(ReadFile(context.SysDir + "twice.exe"), "second system copy");
    EXPECT_TRUE(restore({}).empty()) << "a restored item is not restored twice";
}

} // namespace
} // namespace pestrel
