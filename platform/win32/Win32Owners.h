#pragma once
// Whose word a place is on Windows, and what that account could do itself. The engine tells owners
// by number, 0 being the administrator's word; here every other account a run meets gets a number
// of its own. What such an account named is acted on only when the object's own security would
// let that account do it: its security descriptor is read and judged for the account.

#include "platform/win32/Win32Handle.h"

#include <aclapi.h>
#include <cstdint>
#include <memory>
#include <vector>

namespace pestrel {

// An account's security identifier, as bytes; empty for none.
using AccountSid = std::vector<BYTE>;

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};
// A security descriptor the system allocated, freed with it.
using SecurityDescriptor = std::unique_ptr<void, LocalFreer>;

// The parts `what` of the security of the object `handle` (a file, a folder or a registry key);
// null when they cannot be read.
SecurityDescriptor SecurityOf(HANDLE handle, SE_OBJECT_TYPE type, SECURITY_INFORMATION what);

// The number that stands for the account `sid` in this run: 0 for the machine's own accounts (the
// system, the Administrators, the installer) and for the account this program runs as, whose word
// is the administrator's; for any other account a number of its own, the same each time.
std::uint32_t OwnerNumber(PSID sid);
// The number of whoever owns `handle`; one that stands for no account when it cannot be read.
std::uint32_t OwnerOf(HANDLE handle, SE_OBJECT_TYPE type);
// The account a number other than 0 stands for; empty when it stands for none.
AccountSid AccountOf(std::uint32_t number);

// Whether the file rights `access` are all granted to `user` by `security`. Its groups other than
// Everyone and Authenticated Users cannot be known here: an entry allowing another group grants
// it nothing, and an entry denying anyone any of `access` denies it. No account is granted
// anything.
bool Grants(PSECURITY_DESCRIPTOR security, const AccountSid& user, ACCESS_MASK access);
// Whether `user` could delete the file whose security is `file` from the folder whose security is
// `folder`: DELETE on the file, or FILE_DELETE_CHILD on the folder.
bool MayDelete(const AccountSid& user, PSECURITY_DESCRIPTOR file, PSECURITY_DESCRIPTOR folder);

} // namespace pestrel
