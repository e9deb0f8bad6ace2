#pragma once
// One registry hive held in memory, read from and written to the REGEDIT4 export text:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Example]
//   @="default value"
//   "Path"="C:\\Tools\\\"quoted\""
//   "Count"=dword:0000000a
//
// Key and value names compare without ASCII case and keep the case they were created with.
// Value data of other kinds (hex:...) is kept as it was read.

#include "platform/Platform.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pestrel {

class RegistryHive {
public:
    // `rootName` is the first part of every key line, e.g. "HKEY_LOCAL_MACHINE".
    explicit RegistryHive(std::string rootName);
    static RegistryHive Parse(std::string rootName, std::string_view text);
    std::string serialize() const;

    // Key paths use '\'; empty parts (a leading '\') are dropped. Each mutator answers whether
    // the hive changed.
    bool hasKey(std::string_view path) const;
    bool createKey(std::string_view path);
    bool setValue(std::string_view path, std::string_view name, const RegValue& value);
    bool deleteValue(std::string_view path, std::string_view name);
    std::optional<RegValue> value(std::string_view path, std::string_view name) const;

    // False for text a REGEDIT4 line cannot carry (line breaks, NUL).
    static bool CanStore(std::string_view text);

private:
    struct Value {
        std::string name; // empty: the default value
        std::string data; // the text after '=' as it appears in the file
    };
    struct Key {
        std::string path; // without the root name; empty for the root itself
        std::vector<Value> values;
    };

    Key* findKey(std::string_view path);
    const Key* findKey(std::string_view path) const;
    Key& ensureKey(std::string_view path);

    std::string rootName_;
    std::vector<Key> keys_;
};

} // namespace pestrel
