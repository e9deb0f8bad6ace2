#pragma once
// Reads the registry through Wine's (or Windows') own reg.exe, independent of our backend.

#include <optional>
#include <string>

namespace pestrel::test {

// Output of `reg query "<key>" /v "<name>"` (or `/ve` for the default value when `name` is
// empty), or nothing when reg.exe reports that the value does not exist. `key` is a full key
// path such as HKCU\Software\X.
std::optional<std::string> RegQuery(const std::string& key, const std::string& name);

// The data column of the value's line in RegQuery's output, e.g. "0x0" or "about:blank".
std::optional<std::string> RegQueryData(const std::string& key, const std::string& name);

} // namespace pestrel::test
