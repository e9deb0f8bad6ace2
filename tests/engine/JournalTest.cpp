#include "engine/Journal.h"

#include "engine/Context.h"
#include "engine/KillPass.h"
#include "engine/Public.h"
#include "engine/Restore.h"
#include "platform/ForwardingPlatform.h"
#include "tests/engine/RecordingView.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

using test::ReadFile;
using test::WriteFile;

// The names are stored: a prefix's journal is found again only while its name stays the same.
TEST(JournalFolder, APrefixsNameIsReadableAndStable) {
    const struct {
        std::string folder, name;
    } cases[] = {
        {"/home/me/.wine", ".wine-b319f88270c51970"},
        {"/srv/wine prefix\x01\xe9", "wine_prefix__-62a4295d6ae9884d"},
        {"/", "prefix-af63a24c860189fe"},
        {"/srv/" + std::string(40, 'a'), std::string(32, 'a') + "-333f7a05d0d5f924"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WinePrefixUndoName(c.folder), c.name) << c.folder;
}

TEST(JournalLine, KeepsEveryByteOfItsFieldsOnOneLineAndRefusesWhatIsNotALine) {
    std::string controls;
    for (char c = 1; c < 0x20; ++c)
        controls += c;
    controls += '\x7F';
    JournalEntry odd;
    odd.time = "2026-12-07T22:30:00Z";
    odd.entry = "a\tb%41.exe";
    odd.place = "/home/u/" + controls + "/evil.exe";
    odd.kept = "/app/Undo/Kept/1-a\tb%41.exe";
    odd.restored = true;
    odd.digest = FileDigest{7, std::string(64, 'a')};
    odd.ownership = {1000, 100, 0755};
    const std::string line = FormatJournalLine(odd);
    for (char c : line)
        EXPECT_TRUE(c == '\t' || (static_cast<unsigned char>(c) >= 0x20 && c != '\x7F')) << line;
    const std::optional<JournalEntry> back = ParseJournalLine(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->place, odd.place);
    EXPECT_EQ(back->entry, odd.entry);
    EXPECT_EQ(back->digest, odd.digest);
    EXPECT_EQ(back->ownership, odd.ownership);
    EXPECT_TRUE(back->restored);
    // A line of an older journal still reads, but vouches for no copy.
    const std::optional<JournalEntry> older = ParseJournalLine("t\tfile\te\tp\tk\t");
    ASSERT_TRUE(older);
    EXPECT_FALSE(older->digest);

    // A value of its own name carries that name.
    const std::optional<JournalEntry> list =
        ParseJournalLine("t\tlist\te\tp\tk\t\t\t\t\tUser%09init");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->kind, JournalEntry::Kind::List);
    EXPECT_EQ(list->name, "User\tinit");
    EXPECT_EQ(FormatJournalLine(*list), "t\tlist\te\tp\tk\t\t\t\t\tUser%09init");

    for (const char* bad : {"", "t\tlist\te\tp\tk\t", "t\tfile\te\tp\tk\t\t\t\t\tname",
                            "t\tfile\te\tp\tk", "t\tfile\te\tp\tk\tdone", "t\tdir\te\tp\tk\t",
                            "t\tfile\t\tp\tk\t", "t\tfile\te\tp\t%4\t", "t\tfile\te\tp\t%zz\t",
                            "t\tfile\te\tp\tk\t\t7\tnothex\t0:0:644", "t\tfile\te\tp\tk\t\tx\t\t"})
        EXPECT_FALSE(ParseJournalLine(bad)) << bad;
}

class Journal : public ::testing::Test {
protected:
    bool pass(const std::vector<std::string>& entries) {
        test::RecordingView view(entries);
        return RunKillPass(context, view, view);
    }
    std::vector<PassAction> restore(const std::vector<std::string>& names) {
        PassLog log;
        RestoreDeleted(context, names, log);
        return log.actions;
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

    const std::string kept = KeptFolder(context);
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

// Another program writes the value named like the entry right after the pass found none.
class ValueWrittenAfterLook final : public ForwardingPlatform {
public:
    using ForwardingPlatform::ForwardingPlatform;
    std::optional<RegValue> queryValue(RegRoot root, const std::string& key,
                                       const std::string& name) override {
        std::optional<RegValue> seen = inner_.queryValue(root, key, name);
        inner_.setValue(root, key, name, RegValue{RegText, "C:\\late.exe", 0});
        return seen;
    }
};

TEST_F(Journal, AStartUpValueIsDeletedOnlyAsItWasRecorded) {
    ValueWrittenAfterLook platform(machine.platform());
    Context late(platform);
    InitialiseContext(late);
    EXPECT_EQ(DeleteRunValue(late, RegRoot::CurrentUser, "late.exe"), ValueDeletion::Absent);
    EXPECT_TRUE(machine.platform().queryValue(RegRoot::CurrentUser, kRunKey, "late.exe"));
    EXPECT_EQ(DeleteRunValue(late, RegRoot::CurrentUser, "late.exe"), ValueDeletion::Deleted);
    EXPECT_FALSE(machine.platform().queryValue(RegRoot::CurrentUser, kRunKey, "late.exe"));
}

TEST_F(Journal, AKeptCopyThatChangedOrAnEndOfTextByteChangeNothing) {
    WriteFile(context.SysDir + "one.exe", "one");
    WriteFile(context.SysDir + "two.exe", "two");
    ASSERT_TRUE(pass({"one.exe", "two.exe"}));
    WriteFile(JournalPath(context), ReadFile(JournalPath(context)).value() + "\x1A\r\n");
    WriteFile(context.SysDir + "three.exe", "three");
    ASSERT_TRUE(pass({"three.exe"}));
    ASSERT_EQ(ReadJournal(context)->size(), 3u) << "0x1A ends nothing";

    WriteFile(KeptFolder(context) + "1-two.exe", "forged");
    const std::vector<PassAction> actions = restore({});
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_FALSE(test::Exists(context.SysDir + "two.exe")) << "a changed copy is not put back";
    EXPECT_EQ(ReadFile(context.SysDir + "three.exe"), "three");
    EXPECT_EQ(ReadJournal(context)->size(), 3u) << "the rewrite keeps every line";
}

TEST_F(Journal, AnOlderJournalMovesIntoTheUndoFolderOnceAndIsListedButNotPutBack) {
    const std::string temp = context.backupFolder(), olderKept = temp + "Kept" + kPathSeparator;
    WriteFile(olderKept + "1-old.exe", "old copy");
    WriteFile(temp + "Journal.txt",
              "t\tfile\told.exe\t" + context.SysDir + "old.exe\t" + olderKept + "1-old.exe\t\r\n");
    ASSERT_TRUE(pass({"none.exe"}));

    EXPECT_FALSE(test::Exists(temp + "Journal.txt"));
    EXPECT_FALSE(test::Exists(olderKept + "1-old.exe"));
    const std::vector<JournalEntry> journal = ReadJournal(context).value();
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal.front().kept, KeptFolder(context) + "1-old.exe");
    EXPECT_EQ(ReadFile(journal.front().kept), "old copy");

    const std::vector<PassAction> actions = restore({});
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions.front().fields.back(), "unverified");
    EXPECT_FALSE(test::Exists(context.SysDir + "old.exe"));
}

} // namespace
} // namespace pestrel
