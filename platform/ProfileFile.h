#pragma once
// Profile files (base/IniFile.h) read and written through a held folder: what a backend without
// a profile service of its own answers for HeldFolder's profile calls.

#include "platform/Platform.h"

#include <string>

namespace pestrel {

// The value of `key` in `[section]` of the file `name`, or `fallback` when the file cannot be
// read or holds no such key.
std::string ReadProfile(HeldFolder& folder, const std::string& name, const std::string& section,
                        const std::string& key, const std::string& fallback);
// Sets `key` in `[section]` and replaces the file whole. False when it cannot, when a file is
// there that cannot be read (replacing it would lose what it holds), or when section, key or
// value would not read back as written. Writers on other threads lose nothing.
bool WriteProfile(HeldFolder& folder, const std::string& name, const std::string& section,
                  const std::string& key, const std::string& value);

} // namespace pestrel
