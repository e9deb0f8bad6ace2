#include "platform/ProfileFile.h"

#include "base/IniFile.h"

#include <mutex>

namespace pestrel {

std::string ReadProfile(HeldFolder& folder, const std::string& name, const std::string& section,
                        const std::string& key, const std::string& fallback) {
    const std::optional<std::string> text = folder.readFile(name);
    if (!text)
        return fallback;
    return ini::Read(*text, section, key).value_or(fallback);
}

bool WriteProfile(HeldFolder& folder, const std::string& name, const std::string& section,
                  const std::string& key, const std::string& value) {
    if (!ini::CanStore(section, key, value))
        return false;
    // Read, change and replace as one step.
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    std::optional<std::string> old = folder.readFile(name);
    if (!old) {
        if (folder.hasEntry(name))
            return false;
        old.emplace();
    }
    return folder.replaceFile(name, ini::Write(*old, section, key, value));
}

} // namespace pestrel
