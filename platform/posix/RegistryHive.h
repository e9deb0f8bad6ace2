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

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pestrel {

// Parsing takes time in proportion to the text, and every lookup of a key is one hash lookup, so
// that hives of real size (tens of thousands of keys) stay cheap. For any text, serialising what
// Parse made and parsing that again gives the same bytes: a value listed twice in a key keeps its
// last data, and a continuation backslash on the last line continues onto nothing.
class RegistryHive {
public:
    // `rootName` is the first part of every key line, e.g. "HKEY_LOCAL_MACHINE".
    explicit RegistryHive(std::string rootName);
    // The index points into the keys: a hive moves, it is not copied.
    RegistryHive(RegistryHive&&) = default;
    RegistryHive& operator=(RegistryHive&&) = default;
    RegistryHive(const RegistryHive&) = delete;
    RegistryHive& operator=(const RegistryHive&) = delete;

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
        std::string path; // normalised, without the root name; empty for the root itself
        std::vector<Value> values;
    };
    struct FoldedHash {
        std::size_t operator()(std::string_view text) const;
    };
    struct FoldedEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };

    Key* findKey(std::string_view normalised) const;
    // The key of a normalised path, listed at the end when it is not listed yet.
    Key& ensureKey(std::string&& normalised);
    static Value* findValue(Key& key, std::string_view name);

    std::string rootName_;
    std::deque<Key> keys_; // in file order; a deque keeps each key in place as it grows
    // Every existing path, listed or only a parent of a listed one (then null), viewing the
    // path text of a listed key.
    std::unordered_map<std::string_view, Key*, FoldedHash, FoldedEqual> paths_;
};

} // namespace pestrel
