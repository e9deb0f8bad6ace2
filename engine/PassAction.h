#pragma once
// What the kill pass and the restore changed, or tried to change, told to whoever shows it.

#include "platform/Platform.h"

#include <optional>
#include <string>
#include <vector>

namespace pestrel {

struct PassAction {
    // terminate, backup, delete, regdelete, pending, repair, restore, regrestore, skip
    std::string verb;
    std::vector<std::string> fields; // what it acted on, in the order they are shown
    bool failed = false;
};

// "HKEY_LOCAL_MACHINE" and so on, and back.
std::string RegRootName(RegRoot root);
std::optional<RegRoot> RegRootNamed(const std::string& name);
// root\key, the way a value's place is shown and journaled.
std::string RegPlace(RegRoot root, const std::string& key);
// A value's data as text: the text itself, or the decimal number.
std::string RegData(const RegValue& value);

} // namespace pestrel
