#include "engine/AutostartPlaces.h"
#include "engine/Context.h"
#include "engine/GuardList.h"
#include "engine/GuardSteps.h"
#include "engine/Journal.h"
#include "engine/KillPass.h"
#include "engine/ListEdit.h"
#include "engine/PassFolders.h"
#include "engine/Restore.h"
#include "platform/ForwardingPlatform.h"
#include "tests/engine/RecordingView.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

bool IsEvil(const std::string& item) {
    return item.find("evil") != std::string::npos;
}

TEST(ListEdit, TakesOutWholeItemsAndPutsThemBackInPlace) {
    const struct {
        std::string list;
        std::string_view separators;
        std::string left;
        std::vector<std::size_t> removedAt;
    } cases[] = {
        {"C:\\Windows\\system32\\userinit.exe,C:\\x\\evil.exe,",
         kCommaList,
         "C:\\Windows\\system32\\userinit.exe,",
         {1}},
        {"explorer.exe, evil.exe", kCommaList, "explorer.exe", {1}},
        {"evil.exe,explorer.exe", kCommaList, "explorer.exe", {0}},
        {"a.exe,evil.exe,b.exe", kCommaList, "a.exe,b.exe", {1}},
        {"evil.exe", kCommaList, "", {0}},
        {"evil.exe, evil2.exe ,a.exe", kCommaList, "a.exe", {0, 1}},
        {"a.dll evil.dll  b.dll", kLibraryList, "a.dll b.dll", {1}},
        {"a.dll,evil.dll", kLibraryList, "a.dll", {1}},
        {"explorer.exe", kCommaList, "explorer.exe", {}},
        {"", kCommaList, "", {}},
    };
    for (const auto& [list, separators, left, removedAt] : cases) {
        const ListEdit edit = RemoveListItems(list, separators, IsEvil);
        EXPECT_EQ(edit.list, left) << list;
        std::vector<std::size_t> at;
        std::string back = edit.list;
        for (const RemovedItem& item : edit.removed) {
            at.push_back(item.index);
            back = InsertListItem(back, separators, item.text, item.index);
        }
        EXPECT_EQ(at, removedAt) << list;
        EXPECT_EQ(ListItems(back, separators), ListItems(list, separators)) << list;
    }
}

RegValue Text(std::string text) {
    RegValue value;
    value.text = std::move(text);
    return value;
}

RegValue Number(std::uint32_t number) {
    RegValue value;
    value.kind = RegInteger;
    value.number = number;
    return value;
}

constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunOnce32 =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kWinlogon = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr const char* kDebugger =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\notepad.exe";
constexpr const char* kService = "System\\CurrentControlSet\\Services\\EvilSvc";

struct Place {
    RegRoot root;
    const char* key;
    const char* name;
    RegValue before;
    std::optional<RegValue> after; // nothing: deleted
};

class Autostart : public ::testing::Test {
protected:
    const std::vector<Place> places_ = {
        {RegRoot::CurrentUser, kRun, "Updater",
         Text("\"C:\\Users\\me\\AppData\\Roaming\\EVIL.exe\" /min"), std::nullopt},
        {RegRoot::CurrentUser, kRun, "Tool", Text("C:\\Tools\\tool.exe evil.exe"),
         Text("C:\\Tools\\tool.exe evil.exe")},
        {RegRoot::LocalMachine, kRunOnce32, "Once", Text("%SystemRoot%\\evil.exe"), std::nullopt},
        {RegRoot::LocalMachine, kWinlogon, "Userinit",
         Text("C:\\Windows\\system32\\userinit.exe,C:\\x\\evil.exe,"),
         Text("C:\\Windows\\system32\\userinit.exe,")},
        {RegRoot::LocalMachine, kWinlogon, "Shell", Text("evil.exe"), Text("explorer.exe")},
        {RegRoot::LocalMachine, kDebugger, "Debugger", Text("evil.exe -z"), std::nullopt},
        {RegRoot::LocalMachine, kService, "ImagePath", Text("%SystemRoot%\\evil.exe -service"),
         Text("%SystemRoot%\\evil.exe -service")},
        {RegRoot::LocalMachine, kService, "Start", Number(2), Number(4)},
    };

    void SetUp() override {
        for (const Place& place : places_)
            ASSERT_TRUE(platform.setValue(place.root, place.key, place.name, place.before));
        context.cleanAutostart = true;
    }
    test::TestMachine machine;
    Context& context = machine.context();
    Platform& platform = machine.platform();
};

TEST_F(Autostart, APassTakesTheProgramOutOfEveryPlaceAndTheUndoPutsItBack) {
    // A dormant copy, where nothing runs it and the pass's other steps do not look.
    ASSERT_TRUE(platform.createFolder(context.WinDir + "Cache"));
    const std::string dormant = context.WinDir + "Cache" + kPathSeparator + "Evil.exe";
    test::WriteFile(dormant, "dormant bytes");
    ASSERT_TRUE(platform.setValue(RegRoot::CurrentUser, kRun, "Later", Text(dormant + " -q")));

    test::RecordingView view({"evil.exe"});
    ASSERT_TRUE(RunKillPass(context, view, view));
    for (const Place& place : places_)
        EXPECT_EQ(platform.queryValue(place.root, place.key, place.name), place.after)
            << place.key << " " << place.name;
    EXPECT_FALSE(test::Exists(dormant));
    const auto autostart =
        std::count_if(view.actions.begin(), view.actions.end(),
                      [](const PassAction& a) { return a.verb == PassVerb::Autostart; });
    EXPECT_EQ(autostart, 7);
    EXPECT_FALSE(view.anyFailed());
    EXPECT_NE(std::find(view.statusTexts.begin(), view.statusTexts.end(),
                        "HKEY_LOCAL_MACHINE\\" + std::string(kService)),
              view.statusTexts.end());

    PassLog log;
    const RestoreOutcome outcome = RestoreDeleted(context, {}, log);
    EXPECT_EQ(outcome.restored, 8);
    for (const Place& place : places_)
        EXPECT_EQ(platform.queryValue(place.root, place.key, place.name), place.before)
            << place.key << " " << place.name;
    EXPECT_EQ(test::ReadFile(dormant), "dormant bytes");
}

TEST_F(Autostart, AListChangedSinceGetsTheItemBackInItsPlace) {
    test::RecordingView view({"evil.exe"});
    ASSERT_TRUE(RunKillPass(context, view, view));
    ASSERT_TRUE(platform.setValue(RegRoot::LocalMachine, kWinlogon, "Userinit",
                                  Text("C:\\Windows\\system32\\userinit.exe,C:\\y\\new.exe,")));
    ASSERT_TRUE(platform.setValue(RegRoot::LocalMachine, kService, "Start", Number(3)));
    PassLog log;
    RestoreDeleted(context, {}, log);
    EXPECT_EQ(platform.queryValue(RegRoot::LocalMachine, kWinlogon, "Userinit"),
              Text("C:\\Windows\\system32\\userinit.exe,C:\\x\\evil.exe,C:\\y\\new.exe,"));
    EXPECT_EQ(platform.queryValue(RegRoot::LocalMachine, kService, "Start"), Number(3))
        << "a service started again by hand keeps its start";
}

// The plain pass removes only the start-up values named like the entry, whatever the others
// start; the choice of cleaning every autostart place takes the others and the file they name.
// The guard's step on a change of the places follows the same choice.
TEST_F(Autostart, APassRemovesOnlyValuesNamedLikeTheEntryUnlessAutostartIsCleaned) {
    ASSERT_TRUE(platform.createFolder(context.WinDir + "Cache"));
    const std::string dormant = context.WinDir + "Cache" + kPathSeparator + "virus.exe";
    const auto pass = [this](test::RecordingView& view) { RunKillPass(context, view, view); };
    const auto guard = [this](test::RecordingView& view) {
        PassFolders folders = HoldPassFolders(context);
        CleanAutostartPlaces(context, folders, view, GuardList({"virus.exe"}));
    };
    for (const bool byGuard : {false, true}) {
        for (const bool clean : {false, true}) {
            SCOPED_TRACE(std::string(byGuard ? "the guard" : "a pass") +
                         (clean ? ", cleaning every autostart place" : ", the plain choice"));
            context.cleanAutostart = clean;
            test::WriteFile(dormant, "dormant bytes");
            ASSERT_TRUE(
                platform.setValue(RegRoot::CurrentUser, kRun, "virus.exe", Text("C:\\a.exe")));
            ASSERT_TRUE(platform.setValue(RegRoot::CurrentUser, kRun, "Updater", Text(dormant)));
            test::RecordingView view({"virus.exe"});
            byGuard ? guard(view) : pass(view);
            EXPECT_FALSE(platform.queryValue(RegRoot::CurrentUser, kRun, "virus.exe"));
            EXPECT_EQ(platform.queryValue(RegRoot::CurrentUser, kRun, "Updater").has_value(),
                      !clean);
            EXPECT_EQ(test::Exists(dormant), !clean);
            EXPECT_FALSE(view.anyFailed());
        }
    }
}

// Counts the registry changes made through it.
class RegistryChanges final : public ForwardingPlatform {
public:
    using ForwardingPlatform::ForwardingPlatform;
    bool setValue(RegRoot root, const std::string& key, const std::string& name,
                  const RegValue& value) override {
        return counted(inner_.setValue(root, key, name, value));
    }
    bool deleteValue(RegRoot root, const std::string& key, const std::string& name) override {
        return counted(inner_.deleteValue(root, key, name));
    }
    bool counted(bool changed) {
        count += changed;
        return changed;
    }
    int count = 0;
};

TEST_F(Autostart, APassOverNamesThatStartNothingChangesNoValue) {
    RegistryChanges changes(platform);
    Context watched(changes);
    InitialiseContext(watched);
    watched.cleanAutostart = true;
    test::RecordingView view({"good.exe", "tool.exe.bak", "explorer"});
    ASSERT_TRUE(RunKillPass(watched, view, view));
    EXPECT_EQ(changes.count, 0);
    EXPECT_TRUE(view.actions.empty());
}

} // namespace
} // namespace pestrel
