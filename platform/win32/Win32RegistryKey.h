#pragma once
// Registry keys as the backend opens them: through the predefined root handles, so that whatever
// a root is redirected to (RegOverridePredefKey) is what every call reaches.

#include "platform/Platform.h"

#include <string>
#include <utility>
#include <windows.h>

namespace pestrel {

HKEY RootKey(RegRoot root);
// Key paths are relative to the root even when they begin with a backslash.
const char* RelativeKey(const std::string& key);

// An open registry key, closed when it goes out of scope.
class OpenKey {
public:
    // Opens the key, creating it and its missing parents.
    static OpenKey create(RegRoot root, const std::string& key);
    static OpenKey open(RegRoot root, const std::string& key, REGSAM access = KEY_ALL_ACCESS);

    OpenKey() = default;
    OpenKey(OpenKey&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    OpenKey& operator=(OpenKey&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() { reset(); }

    HKEY get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    explicit OpenKey(HKEY handle) : handle_(handle) {}
    void reset() {
        if (handle_ != nullptr)
            RegCloseKey(std::exchange(handle_, nullptr));
    }
    HKEY handle_ = nullptr;
};

} // namespace pestrel
