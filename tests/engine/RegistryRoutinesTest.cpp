#include "engine/Public.h"
#include "tests/support/TestMachine.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

constexpr const char* kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr const char* kBrowserPolicy =
    "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";
constexpr const char* kBrowserMain = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kZone3 =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3";

struct Expected {
    RegRoot root;
    const char* key;
    const char* name;
    std::optional<std::string> text; // a text value, or else the integer 0
};

std::vector<Expected> RepairedValues(bool localMachine, bool currentUser) {
    std::vector<Expected> rows;
    if (localMachine) {
        rows.push_back({RegRoot::LocalMachine, kPolicies, "DisableRegistryTools", {}});
        rows.push_back(
            {RegRoot::ClassesRoot, "txtfile\\shell\\open\\command", "", "Notepad.exe \"%1\" "});
        rows.push_back({RegRoot::ClassesRoot, "exefile\\shell\\open\\command", "", "\"%1\" %*"});
        rows.push_back({RegRoot::LocalMachine, kZone3, "1803", {}});
    }
    if (currentUser) {
        rows.push_back({RegRoot::CurrentUser, kBrowserPolicy, "HomePage", {}});
        rows.push_back({RegRoot::CurrentUser, kZone3, "1803", {}});
    }
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        if ((root == RegRoot::LocalMachine && !localMachine) ||
            (root == RegRoot::CurrentUser && !currentUser))
            continue;
        rows.push_back({root, kBrowserMain, "Windows Title", "Microsoft Internet Explorer"});
        for (const char* name :
             {"Start Page", "Default_Page_URL", "Default_Search_URL", "Search Page"})
            rows.push_back({root, kBrowserMain, name, "about:blank"});
    }
    return rows;
}

void ExpectValues(Platform& platform, const std::vector<Expected>& rows, bool present) {
    for (const Expected& row : rows) {
        const std::optional<RegValue> value = platform.queryValue(row.root, row.key, row.name);
        SCOPED_TRACE(std::string(row.key) + " / " + row.name);
        if (!present) {
            EXPECT_FALSE(value);
            continue;
        }
        ASSERT_TRUE(value);
        if (row.text) {
            EXPECT_EQ(value->kind, RegText);
            EXPECT_EQ(value->text, *row.text);
        } else {
            EXPECT_EQ(value->kind, RegInteger);
            EXPECT_EQ(value->number, 0u);
        }
    }
}

TEST(Repairs, WriteEveryValueExactly) {
    test::TestMachine machine;
    Platform& platform = machine.platform();
    ASSERT_TRUE(WriteRegValue(platform, RegRoot::CurrentUser, kPolicies, RegInteger,
                              "DisableRegistryTools", "1"));
    ASSERT_TRUE(WriteRegValue(platform, RegRoot::LocalMachine, kBrowserMain, RegText, "Start Page",
                              "http://hijack.example"));

    EXPECT_TRUE(RepairSystemSettings(platform));
    ExpectValues(platform, RepairedValues(true, true), true);
    EXPECT_EQ(platform.queryValue(RegRoot::CurrentUser, kPolicies, "DisableRegistryTools")->number,
              0u);
    EXPECT_EQ(platform.queryValue(RegRoot::ClassesRoot, "\\txtfile\\shell\\open\\command", "")
                  ->text.size(),
              17u);
}

TEST(Repairs, WithoutMachineRightsOnlyTheUserBrowserRowsAreWritten) {
    test::TestMachine machine;
    Platform& platform = machine.platform();
    machine.makeHiveRefuse(RegRoot::LocalMachine);

    EXPECT_FALSE(EnableRegistryTools(platform));
    EXPECT_FALSE(ResetTxtFileOpenCommand(platform));
    EXPECT_FALSE(ResetExeFileOpenCommand(platform));
    EXPECT_TRUE(ResetBrowserSettings(platform));
    EXPECT_TRUE(RepairSystemSettings(platform));

    ExpectValues(platform, RepairedValues(true, false), false);
    ExpectValues(platform, RepairedValues(false, true), true);
    // The user's registry-tools value is skipped once the machine's write failed.
    EXPECT_FALSE(platform.queryValue(RegRoot::CurrentUser, kPolicies, "DisableRegistryTools"));
}

TEST(RegValues, WriteAcceptsOnlyKnownKindsAndDecimalIntegers) {
    test::TestMachine machine;
    Platform& platform = machine.platform();
    const char* key = "Software\\Pestrel Test";
    struct Case {
        int kind;
        std::string text;
        std::optional<std::uint32_t> number; // written integer, if any
    } cases[] = {
        {RegInteger, "0", 0u},
        {RegInteger, "42", 42u},
        {RegInteger, "-1", 0xFFFFFFFFu},
        {RegInteger, "+7", 7u},
        {RegInteger, "abc", {}},
        {RegInteger, "", {}},
        {RegInteger, "12abc", {}},
        {RegInteger, " 5", {}},
        {RegInteger, "4294967296", {}},
        {RegInteger, "0x10", {}},
        {2, "1", {}},
        {-1, "1", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " text '" + c.text + "'");
        const std::string name = "v" + std::to_string(&c - cases);
        EXPECT_EQ(WriteRegValue(platform, RegRoot::CurrentUser, key, c.kind, name, c.text),
                  c.number.has_value());
        const std::optional<RegValue> value = platform.queryValue(RegRoot::CurrentUser, key, name);
        ASSERT_EQ(value.has_value(), c.number.has_value());
        if (value) {
            EXPECT_EQ(value->number, *c.number);
        }
    }
    EXPECT_TRUE(WriteRegValue(platform, RegRoot::CurrentUser, key, RegText, "t", "text"));
    EXPECT_EQ(platform.queryValue(RegRoot::CurrentUser, key, "T")->text, "text");
}

TEST(RegValues, DeleteRemovesOnlyTheNamedValueAndLeavesAMissingKeyCreated) {
    test::TestMachine machine;
    Platform& platform = machine.platform();
    ASSERT_TRUE(WriteRegValue(platform, RegRoot::LocalMachine, kRunKey, RegText, "Evil.exe",
                              "C:\\evil.exe"));
    ASSERT_TRUE(WriteRegValue(platform, RegRoot::LocalMachine, kRunKey, RegText, "Updater",
                              "C:\\evil.exe"));

    EXPECT_TRUE(DeleteRegValue(platform, RegRoot::LocalMachine, kRunKey, "EVIL.EXE"));
    EXPECT_FALSE(DeleteRegValue(platform, RegRoot::LocalMachine, kRunKey, "EVIL.EXE"));
    EXPECT_FALSE(platform.queryValue(RegRoot::LocalMachine, kRunKey, "Evil.exe"));
    EXPECT_TRUE(platform.queryValue(RegRoot::LocalMachine, kRunKey, "Updater"));

    EXPECT_FALSE(DeleteRegValue(platform, RegRoot::CurrentUser, kRunKey, "evil.exe"));
    EXPECT_TRUE(WriteRegValue(platform, RegRoot::CurrentUser, kRunKey, RegText, "x", "y"));

    machine.makeHiveRefuse(RegRoot::CurrentUser);
    EXPECT_FALSE(DeleteRegValue(platform, RegRoot::CurrentUser, kRunKey, "x"));
    EXPECT_TRUE(platform.queryValue(RegRoot::CurrentUser, kRunKey, "x"));
}

} // namespace
} // namespace pestrel
