#include "platform/win32/Win32Owners.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <sddl.h>

namespace pestrel {

namespace {

// The number of an owner that could not be read: it stands for no account, who may do nothing.
constexpr std::uint32_t kNoAccount = std::numeric_limits<std::uint32_t>::max();

AccountSid Bytes(PSID sid) {
    if (sid == nullptr || !IsValidSid(sid))
        return {};
    const auto* start = static_cast<const BYTE*>(sid);
    return AccountSid(start, start + GetLengthSid(sid));
}

AccountSid Named(const char* text) {
    PSID sid = nullptr;
    if (!ConvertStringSidToSidA(text, &sid))
        return {};
    AccountSid bytes = Bytes(sid);
    LocalFree(sid);
    return bytes;
}

AccountSid RunningAccount() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    const UniqueHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size))
        return {};
    return Bytes(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

// Whose word is the administrator's: the system, the Administrators, the installer's service
// account and the account this program runs as.
const std::vector<AccountSid>& AdministratorAccounts() {
    static const std::vector<AccountSid> accounts = {
        Named("S-1-5-18"), Named("S-1-5-32-544"),
        Named("S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"), RunningAccount()};
    return accounts;
}

// Every other account met so far; its number is its place here plus one.
std::mutex accountsLock;
std::vector<AccountSid> accounts;

// Who a user is at least, besides itself: Everyone and Authenticated Users.
bool CountsAs(const AccountSid& user, PSID sid) {
    static const AccountSid everyone = Named("S-1-1-0");
    static const AccountSid authenticated = Named("S-1-5-11");
    const AccountSid bytes = Bytes(sid);
    return !bytes.empty() && (bytes == user || bytes == everyone || bytes == authenticated);
}

bool IsDenial(BYTE type) {
    return type == ACCESS_DENIED_ACE_TYPE || type == ACCESS_DENIED_OBJECT_ACE_TYPE ||
           type == ACCESS_DENIED_CALLBACK_ACE_TYPE ||
           type == ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE;
}

} // namespace

SecurityDescriptor SecurityOf(HANDLE handle, SE_OBJECT_TYPE type, SECURITY_INFORMATION what) {
    PSECURITY_DESCRIPTOR security = nullptr;
    if (GetSecurityInfo(handle, type, what, nullptr, nullptr, nullptr, nullptr, &security) !=
        ERROR_SUCCESS)
        return nullptr;
    return SecurityDescriptor(security);
}

std::uint32_t OwnerNumber(PSID sid) {
    const AccountSid account = Bytes(sid);
    if (account.empty())
        return kNoAccount;
    const std::vector<AccountSid>& administrators = AdministratorAccounts();
    if (std::find(administrators.begin(), administrators.end(), account) != administrators.end())
        return 0;
    const std::lock_guard<std::mutex> lock(accountsLock);
    const auto known = std::find(accounts.begin(), accounts.end(), account);
    if (known != accounts.end())
        return std::uint32_t(known - accounts.begin()) + 1;
    accounts.push_back(account);
    return std::uint32_t(accounts.size());
}

std::uint32_t OwnerOf(HANDLE handle, SE_OBJECT_TYPE type) {
    const SecurityDescriptor security = SecurityOf(handle, type, OWNER_SECURITY_INFORMATION);
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!security || !GetSecurityDescriptorOwner(security.get(), &owner, &defaulted))
        return kNoAccount;
    return OwnerNumber(owner);
}

AccountSid AccountOf(std::uint32_t number) {
    const std::lock_guard<std::mutex> lock(accountsLock);
    return number == 0 || number > accounts.size() ? AccountSid() : accounts[number - 1];
}

bool Grants(PSECURITY_DESCRIPTOR security, const AccountSid& user, ACCESS_MASK access) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL list = nullptr;
    if (user.empty() || security == nullptr ||
        !GetSecurityDescriptorDacl(security, &present, &list, &defaulted))
        return false;
    // No list at all grants everyone everything.
    if (!present || list == nullptr)
        return true;
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                               FILE_ALL_ACCESS};
    ACCESS_MASK needed = access;
    // Entries count in their order: the first to allow or deny a right decides it.
    for (DWORD index = 0; index < list->AceCount; ++index) {
        void* entry = nullptr;
        if (!GetAce(list, index, &entry))
            return false;
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceFlags & INHERIT_ONLY_ACE)
            continue;
        // Every entry type that allows or denies starts with the header and the mask.
        ACCESS_MASK mask = static_cast<const ACCESS_ALLOWED_ACE*>(entry)->Mask;
        MapGenericMask(&mask, &mapping);
        if ((mask & needed) == 0)
            continue;
        if (IsDenial(header->AceType))
            return false;
        // Object, callback and conditional entries allow nothing that can be judged here.
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE &&
            CountsAs(user, const_cast<DWORD*>(&allowed->SidStart)) && (needed &= ~mask) == 0)
            return true;
    }
    return false;
}

bool MayDelete(const AccountSid& user, PSECURITY_DESCRIPTOR file, PSECURITY_DESCRIPTOR folder) {
    return Grants(file, user, DELETE) || Grants(folder, user, FILE_DELETE_CHILD);
}

} // namespace pestrel
