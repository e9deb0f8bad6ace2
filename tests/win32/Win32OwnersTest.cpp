// A user's word on Windows: what the owner of a place could delete, judged from real security
// descriptors, and the held folders and the dormant-copy step that act on it.
#include "platform/win32/Win32Owners.h"

#include "engine/AutostartPlaces.h"
#include "engine/AutostartRemoval.h"
#include "engine/PassFolders.h"
#include "engine/Public.h"
#include "platform/win32/Win32Platform.h"
#include "tests/engine/RecordingView.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <gtest/gtest.h>
#include <sddl.h>

namespace pestrel {
namespace {

const std::string kUser = "S-1-5-21-1-2-3-1001";
const std::string kInstaller = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

SecurityDescriptor Security(const std::string& sddl) {
    PSECURITY_DESCRIPTOR security = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                                     &security, nullptr))
        << sddl;
    return SecurityDescriptor(security);
}

// The number of the account `text` names.
std::uint32_t Number(const std::string& text) {
    PSID sid = nullptr;
    ConvertStringSidToSidA(text.c_str(), &sid);
    const std::uint32_t number = OwnerNumber(sid);
    LocalFree(sid);
    return number;
}

TEST(Win32Owners, AUserMayDeleteWhatTheFileOrItsFolderGrantsItAndNothingElse) {
    const std::string u = ";;;" + kUser + ")";
    const struct Row {
        const char* why;
        std::string file, folder;
        bool may;
    } rows[] = {
        {"the file grants it", "D:(A;;FA" + u, "D:", true},
        {"the folder grants deleting its files", "D:(A;;FR" + u, "D:(A;;0x40" + u, true},
        {"changing the folder is no deleting in it", "D:(A;;FR" + u, "D:(A;;0x1301bf" + u, false},
        {"everyone may, generically", "D:(A;;GA;;;WD)", "D:", true},
        {"groups it may not be in", "D:(A;;FA;;;BU)", "D:(A;;FA;;;BA)", false},
        {"anyone's denial counts", "D:(D;;SD;;;BG)(A;;FA;;;WD)", "D:", false},
        {"the first entry decides", "D:(A;;FA" + u + "(D;;SD" + u, "D:", true},
        {"entries only handed down", "D:(A;OIIO;FA" + u, "D:(A;CIIO;FA" + u, false},
        {"no list at all", "O:BA", "D:", true},
        {"an empty list", "D:", "D:", false},
        {"a file of the system",
         "D:P(A;;FA;;;" + kInstaller + ")(A;;0x1200a9;;;BA)(A;;0x1200a9;;;SY)(A;;0x1200a9;;;BU)",
         "D:P(A;;FA;;;" + kInstaller + ")(A;;0x1301bf;;;BA)(A;;0x1200a9;;;BU)", false},
    };
    const AccountSid user = AccountOf(Number(kUser));
    for (const Row& row : rows) {
        const SecurityDescriptor file = Security(row.file), folder = Security(row.folder);
        EXPECT_EQ(MayDelete(user, file.get(), folder.get()), row.may) << row.why;
    }
    const SecurityDescriptor open = Security("O:BA");
    EXPECT_FALSE(MayDelete(AccountSid(), open.get(), open.get())) << "no account may do anything";
}

TEST(Win32Owners, TheMachinesAccountsAndThisProgramsAreTheAdministratorsWord) {
    for (const std::string& administrator :
         {std::string("S-1-5-18"), std::string("S-1-5-32-544"), kInstaller})
        EXPECT_EQ(Number(administrator), 0u) << administrator;
    EXPECT_EQ(Win32Platform().registryOwner(RegRoot::CurrentUser), 0u) << "this program's hive";
    const std::uint32_t user = Number(kUser);
    EXPECT_NE(user, 0u);
    EXPECT_EQ(Number(kUser), user);
    EXPECT_NE(Number("S-1-5-21-1-2-3-1002"), user);
    EXPECT_TRUE(AccountOf(OwnerNumber(nullptr)).empty()) << "an unread owner is no account";
}

// Files of the test, whose security Wine keeps in their permission bits: the test's account owns
// them, and Everyone may read them or, once given, everything.
class UsersWord : public ::testing::Test {
protected:
    UsersWord() { test::WriteFile(tools + "guarded.exe", "dormant"); }
    void openToEveryone(const std::string& name) {
        const SecurityDescriptor all = Security("D:(A;;FA;;;WD)");
        BOOL present = FALSE, defaulted = FALSE;
        PACL list = nullptr;
        GetSecurityDescriptorDacl(all.get(), &present, &list, &defaulted);
        std::string path = tools + name;
        ASSERT_EQ(SetNamedSecurityInfoA(path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, list, nullptr),
                  DWORD(ERROR_SUCCESS));
    }
    std::uint32_t user() const { return Number(kUser); }

    test::TestMachine machine;
    Context& context = machine.context();
    const std::string tools = machine.root() + "Tools\\";
};

TEST_F(UsersWord, AHeldFolderDeletesOnAUsersWordOnlyWhatThatUserCould) {
    test::WriteFile(tools + "open.exe", "everyone's");
    openToEveryone("open.exe");
    const struct Row {
        std::uint32_t word;
        const char* name;
        bool deleted;
    } rows[] = {
        {user(), "guarded.exe", false}, {user(), "open.exe", true}, {0, "guarded.exe", true}};
    EXPECT_EQ(context.platform.holdFolder(tools)->owner(), 0u) << "this program's own folder";
    for (const Row& row : rows) {
        const auto held = context.platform.holdFolder(tools);
        ASSERT_TRUE(held);
        held->actFor(row.word);
        const std::optional<FileIdentity> identity = held->fileIdentity(row.name);
        ASSERT_TRUE(identity) << row.name;
        EXPECT_EQ(held->deleteFile(row.name, *identity), row.deleted) << row.word << row.name;
        EXPECT_NE(test::Exists(tools + row.name), row.deleted) << row.word << row.name;
    }
}

TEST_F(UsersWord, ADormantCopyAUserNamedStaysUnlessThatUserCouldDeleteIt) {
    PassFolders folders = HoldPassFolders(context);
    AutostartIndex index;
    const std::string program = tools + "guarded.exe";
    index.add({AutostartEntry::Kind::Value, RegRoot::CurrentUser, kRunKey, "Updater", program,
               program, "", user()});
    test::RecordingView view{{}};
    RemoveAutostartEntries(context, folders, index, view, "guarded.exe");
    EXPECT_TRUE(test::Exists(program));
    ASSERT_FALSE(view.actions.empty());
    EXPECT_EQ(view.actions.back().verb, PassVerb::Delete);
    EXPECT_TRUE(view.actions.back().failed) << "a refusal is reported as a failure";

    openToEveryone("guarded.exe");
    RemoveAutostartEntries(context, folders, index, view, "guarded.exe");
    EXPECT_FALSE(test::Exists(program));
    EXPECT_FALSE(view.actions.back().failed);
}

} // namespace
} // namespace pestrel
