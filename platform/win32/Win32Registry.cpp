#include "platform/win32/Win32Owners.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32RegistryKey.h"

#include <cstring>

namespace pestrel {

namespace {

// The ANSI calls end a name at its first NUL: "evil.exe\0x" would reach the value "evil.exe".
// Such names, and texts that would be stored cut short, are refused before any call.
bool hasNul(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

bool isTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

} // namespace

HKEY RootKey(RegRoot root) {
    switch (root) {
    case RegRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    }
    return nullptr;
}

const char* RelativeKey(const std::string& key) {
    const std::size_t start = key.find_first_not_of('\\');
    return start == std::string::npos ? "" : key.c_str() + start;
}

OpenKey OpenKey::create(RegRoot root, const std::string& key) {
    HKEY handle = nullptr;
    const LONG status =
        RegCreateKeyExA(RootKey(root), RelativeKey(key), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &handle, nullptr);
    return OpenKey(status == ERROR_SUCCESS ? handle : nullptr);
}

OpenKey OpenKey::open(RegRoot root, const std::string& key, REGSAM access) {
    HKEY handle = nullptr;
    const LONG status = RegOpenKeyExA(RootKey(root), RelativeKey(key), 0, access, &handle);
    return OpenKey(status == ERROR_SUCCESS ? handle : nullptr);
}

bool Win32Platform::createKey(RegRoot root, const std::string& key) {
    return !hasNul(key) && bool(OpenKey::create(root, key));
}

bool Win32Platform::setValue(RegRoot root, const std::string& key, const std::string& name,
                             const RegValue& value) {
    if (hasNul(key) || hasNul(name) || (value.kind == RegText && hasNul(value.text)))
        return false;
    OpenKey opened = OpenKey::create(root, key);
    if (!opened)
        return false;
    LONG status;
    if (value.kind == RegInteger) {
        const DWORD number = value.number;
        status = RegSetValueExA(opened.get(), name.c_str(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&number), sizeof number);
    } else {
        // The stored text carries its terminating NUL.
        status = RegSetValueExA(opened.get(), name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.text.c_str()),
                                DWORD(value.text.size() + 1));
    }
    return status == ERROR_SUCCESS;
}

std::optional<RegValue> Win32Platform::queryValue(RegRoot root, const std::string& key,
                                                  const std::string& name) {
    if (hasNul(key) || hasNul(name))
        return std::nullopt;
    OpenKey opened = OpenKey::open(root, key);
    if (!opened)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::string data(size, '\0');
    if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);

    RegValue value;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        value.kind = RegInteger;
        DWORD number = 0;
        memcpy(&number, data.data(), sizeof number);
        value.number = number;
        return value;
    }
    // Any other type reads as its bytes, text types without their terminating NULs.
    if (isTextType(type))
        data.erase(data.find_last_not_of('\0') + 1);
    value.text = std::move(data);
    return value;
}

bool Win32Platform::deleteValue(RegRoot root, const std::string& key, const std::string& name) {
    if (hasNul(key) || hasNul(name))
        return false;
    OpenKey opened = OpenKey::open(root, key);
    return opened && RegDeleteValueA(opened.get(), name.c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> Win32Platform::valueNames(RegRoot root, const std::string& key) {
    std::vector<std::string> names;
    if (hasNul(key))
        return names;
    OpenKey opened = OpenKey::open(root, key);
    char name[16384]; // the longest value name the registry allows, and its NUL
    for (DWORD index = 0; opened; ++index) {
        DWORD length = sizeof name;
        const LONG status =
            RegEnumValueA(opened.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<std::string> Win32Platform::subkeyNames(RegRoot root, const std::string& key) {
    std::vector<std::string> names;
    if (hasNul(key))
        return names;
    OpenKey opened = OpenKey::open(root, key);
    char name[256]; // the longest key name the registry allows, and its NUL
    for (DWORD index = 0; opened; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(opened.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

std::uint32_t Win32Platform::registryOwner(RegRoot root) {
    if (root != RegRoot::CurrentUser)
        return 0;
    const OpenKey hive = OpenKey::open(root, "", READ_CONTROL);
    return OwnerOf(hive ? HANDLE(hive.get()) : INVALID_HANDLE_VALUE, SE_REGISTRY_KEY);
}

} // namespace pestrel
