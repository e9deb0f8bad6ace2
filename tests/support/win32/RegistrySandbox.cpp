#include "tests/support/win32/RegistrySandbox.h"

#include <atomic>
#include <stdexcept>
#include <windows.h>

namespace pestrel::test {

namespace {

HKEY Create(const std::string& key) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create " + key);
    return handle;
}

void Restore() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT})
        RegOverridePredefKey(root, nullptr);
}

} // namespace

RegistrySandbox::RegistrySandbox() {
    static std::atomic<unsigned> counter{0};
    path_ = "Software\\PestrelTest\\" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    HKEY machine = Create(path_ + "\\HKEY_LOCAL_MACHINE");
    HKEY user = Create(path_ + "\\HKEY_CURRENT_USER");
    HKEY classes = Create(path_ + "\\HKEY_LOCAL_MACHINE\\Software\\Classes");
    const bool redirected = RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine) == ERROR_SUCCESS &&
                            RegOverridePredefKey(HKEY_CURRENT_USER, user) == ERROR_SUCCESS &&
                            RegOverridePredefKey(HKEY_CLASSES_ROOT, classes) == ERROR_SUCCESS;
    for (HKEY key : {machine, user, classes})
        RegCloseKey(key);
    if (!redirected) {
        Restore();
        throw std::runtime_error("cannot redirect the registry roots");
    }
}

RegistrySandbox::~RegistrySandbox() {
    Restore();
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\PestrelTest"); // only succeeds when empty
}

std::string RegistrySandbox::machineKey() const {
    return "HKCU\\" + path_ + "\\HKEY_LOCAL_MACHINE";
}

std::string RegistrySandbox::userKey() const {
    return "HKCU\\" + path_ + "\\HKEY_CURRENT_USER";
}

} // namespace pestrel::test
