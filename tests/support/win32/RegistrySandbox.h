#pragma once
// Points this process's HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_CLASSES_ROOT at fresh keys
// under HKEY_CURRENT_USER for as long as it lives, so tests write the real registry without
// touching the machine's settings. Classes go to the machine key's Software\Classes, as on
// Windows. Other processes (reg.exe) see the keys under path(). One sandbox at a time.

#include <string>

namespace pestrel::test {

class RegistrySandbox {
public:
    RegistrySandbox(); // throws when the roots cannot be redirected
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // Where reg.exe finds what was written under HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER, as a
    // full key path: HKCU\Software\PestrelTest\<id>\HKEY_LOCAL_MACHINE.
    std::string machineKey() const;
    std::string userKey() const;

private:
    std::string path_;
};

} // namespace pestrel::test
