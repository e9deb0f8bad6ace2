#include "engine/Context.h"
#include "engine/KillPass.h"
#include "engine/Restore.h"
#include "engine/TaskXml.h"
#include "platform/ForwardingPlatform.h"
#include "tests/engine/RecordingView.h"
#include "tests/support/ShortcutBytes.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <gtest/gtest.h>
#include <map>

namespace pestrel {
namespace {

std::string Utf16(std::string_view ascii, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii)
        bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

std::string Task(const std::string& actions) {
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Task version=\"1.2\" "
           "xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
           "<Triggers><LogonTrigger/></Triggers><Actions Context=\"Author\">" +
           actions + "</Actions></Task>";
}

TEST(TaskXml, ReadsTheCommandsOfExecActionsAndRefusesWhatIsNotATask) {
    using Commands = std::optional<std::vector<std::string>>;
    const std::string exec = "<Exec><Command>C:\\x\\evil.exe</Command><Arguments>-a</Arguments>"
                             "</Exec>";
    const struct {
        const char* what;
        std::string bytes;
        Commands commands;
    } cases[] = {
        {"UTF-16 with its mark", Utf16(Task(exec)), Commands{{"C:\\x\\evil.exe"}}},
        {"UTF-16, big-endian", Utf16(Task(exec), true), Commands{{"C:\\x\\evil.exe"}}},
        {"UTF-16 without a mark", Utf16(Task(exec)).substr(2), Commands{{"C:\\x\\evil.exe"}}},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + Task(exec), Commands{{"C:\\x\\evil.exe"}}},
        {"two actions, blanks, references and a section",
         Task("<Exec><Command>\r\n  &quot;C:\\a b\\x.exe&quot; </Command></Exec><!-- <Exec> -->"
              "<Exec><Command><![CDATA[y&z.exe]]>&#x41;&#66;</Command></Exec>"),
         Commands{{"\"C:\\a b\\x.exe\"", "y&z.exeAB"}}},
        {"prefixed names",
         "<t:Task xmlns:t='u'><t:Actions><t:Exec><t:Command>p.exe</t:Command>"
         "</t:Exec></t:Actions></t:Task>",
         Commands{{"p.exe"}}},
        {"a command outside an Exec", Task("<ComHandler><Command>x.exe</Command></ComHandler>"),
         Commands{std::vector<std::string>{}}},
        {"no task", "<Other><Actions/></Other>", std::nullopt},
        {"tags that do not match", Task("<Exec><Command>x.exe</Exec></Command>"), std::nullopt},
        {"cut short", Task(exec).substr(0, 120), std::nullopt},
        {"a document type", "<!DOCTYPE Task [<!ENTITY e 'x.exe'>]>" + Task(exec), std::nullopt},
        {"an unknown reference", Task("<Exec><Command>&e;</Command></Exec>"), std::nullopt},
        {"a character that is none", Task("<Exec><Command>&#0;</Command></Exec>"), std::nullopt},
        {"text after the root", Task(exec) + "x", std::nullopt},
        {"a second root", Task(exec) + "<Task/>", std::nullopt},
        {"an odd UTF-16 length", Utf16(Task(exec)) + "x", std::nullopt},
        {"a lone surrogate",
         Utf16("<Task>") + std::string("\x00\xD8", 2) + Utf16("</Task>").substr(2), std::nullopt},
        {"an attribute without quotes", "<Task a=b/>", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TaskCommands(c.bytes), c.commands) << c.what;
}

// The machine of the test with its Start-up folders and tasks folder inside the test's folder,
// whose tasks are no scheduler's but their files alone.
class StartFolders final : public ForwardingPlatform {
public:
    StartFolders(Platform& inner, const std::string& root)
        : ForwardingPlatform(inner), root_(root) {}
    std::vector<std::string> startupFolders() override {
        return {root_ + "UserStartup", root_ + "CommonStartup"};
    }
    std::string tasksFolder() override { return root_ + "Tasks"; }
    bool deleteTask(HeldFolder& folder, const std::string& name, const FileIdentity& identity,
                    const std::string&) override {
        return folder.deleteFile(name, identity);
    }
    bool registerTask(const std::string&, std::string_view) override { return true; }

private:
    std::string root_;
};

TEST(StartFiles, APassTakesOutShortcutsTasksAndTheirProgramsAndTheUndoPutsThemBack) {
    test::TestMachine machine;
    StartFolders platform(machine.platform(), machine.root());
    Context context(platform);
    InitialiseContext(context);
    context.AppPath = machine.context().AppPath;
    context.cleanAutostart = true;
    const char sep = kPathSeparator;
    const std::string root = machine.root(), user = root + "UserStartup" + sep,
                      common = root + "CommonStartup" + sep, tasks = root + "Tasks" + sep;
    const std::string dormant = root + "Roaming" + sep + "evil.exe";
    // Each file with what it holds, and whether the pass leaves it.
    const std::map<std::string, std::pair<std::string, bool>> files = {
        {dormant, {"dormant bytes", false}},
        {user + "Updater.lnk", {test::ShortcutBytes(dormant), false}},
        {user + "Good.lnk", {test::ShortcutBytes(root + "good.exe"), true}},
        {user + "Broken.lnk", {"L\0\0\0 not a shortcut", true}},
        {common + "EVIL.EXE", {"a copy", false}},
        {common + "notes.txt", {"evil.exe", true}},
        {tasks + "Vendor" + sep + "Refresh",
         {Utf16(Task("<Exec><Command>\"" + dormant + "\"</Command></Exec>")), false}},
        {tasks + "Backup", {Task("<Exec><Command>backup.exe</Command></Exec>"), true}},
        {tasks + "Broken", {Utf16("<Task><Actions>"), true}},
    };
    for (const auto& [path, content] : files)
        test::WriteFile(path, content.first);

    test::RecordingView view({"evil.exe"});
    ASSERT_TRUE(RunKillPass(context, view, view));
    for (const auto& [path, content] : files)
        EXPECT_EQ(test::Exists(path), content.second) << path;
    std::map<std::string, int> verbs, failed;
    for (const PassAction& action : view.actions)
        ++(action.failed ? failed : verbs)[VerbName(action.verb)];
    EXPECT_EQ(verbs["shortcut"], 1);
    EXPECT_EQ(verbs["task"], 1);
    EXPECT_EQ(verbs["delete"], 2); // the dormant copy and the program in the Start-up folder
    EXPECT_EQ(failed, (std::map<std::string, int>{{"shortcut", 1}, {"task", 1}}));
    EXPECT_NE(std::find(view.statusTexts.begin(), view.statusTexts.end(), tasks + "Vendor" + sep),
              view.statusTexts.end());

    PassLog log;
    const RestoreOutcome outcome = RestoreDeleted(context, {}, log);
    EXPECT_EQ(outcome.restored, 4);
    for (const auto& [path, content] : files)
        EXPECT_EQ(test::ReadFile(path), content.first) << path;
}

} // namespace
} // namespace pestrel
