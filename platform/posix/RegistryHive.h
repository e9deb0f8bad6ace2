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
#include "platform/posix/FoldedIndex.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pestrel {

// Parsing takes time in proportion to the text, and every lookup of a key is one hash lookup, so
// that hives of real size (tens of thousands of keys) stay cheap. For any text, serialising what
// Parse made and parsing that again gives the same bytes: a value listed twice in a key keeps its
// last data, and a continuation backslash on the last line continues onto nothing.
//
// Parse and serialize are pure functions of their input: the entry points for fuzzing. The hive
// keeps the text it parsed and every text set since; data replaced by a change stays until the
// hive is dropped, which the hive file does at the next change of its file.
class RegistryHive {
public:
    // `rootName` is the first part of every key line, e.g. "HKEY_LOCAL_MACHINE".
    explicit RegistryHive(std::string rootName);
    // The keys and the index view the kept texts: a hive moves, it is not copied.
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
    // Whether the value is there with exactly that data, so that setValue would change nothing.
    bool holds(std::string_view path, std::string_view name, const RegValue& value) const;
    // The key's value names in file order, and the names of its direct sub-keys (each once, in
    // the case it was first listed with); a look at every key, kept for a pass that reads a
    // place once.
    std::vector<std::string> valueNames(std::string_view path) const;
    std::vector<std::string> subkeyNames(std::string_view path) const;

    // False for text a REGEDIT4 line cannot carry (line breaks, NUL).
    static bool CanStore(std::string_view text);

private:
    struct Value {
        std::string_view name; // empty: the default value
        std::string_view data; // the text after '=' as it appears in the file
    };
    struct Key {
        std::string_view path; // normalised, without the root name; empty for the root itself
        std::vector<Value> values;
    };
    // Keeps `text` for the life of the hive and answers a view of it.
    std::string_view own(std::string text);
    Key* findKey(std::string_view normalised) const;
    // The key of a normalised path that the hive keeps, listed at the end when it is not yet.
    Key& ensureKey(std::string_view keptPath);
    // The same for a path the hive does not keep yet.
    Key& keyFor(std::string_view normalised);
    static Value* findValue(Key& key, std::string_view name);

    std::string rootName_;
    // The parsed text, then every name, path and data written since or changed on the way in;
    // the views of the keys point here. A deque keeps each text in place.
    std::deque<std::string> texts_;
    std::deque<Key> keys_; // in file order
    // Every existing path, listed or only a parent of a listed one (then null).
    FoldedIndex<Key> paths_;
    std::string_view lastParent_; // the parent registered last, with its own parents
};

} // namespace pestrel
