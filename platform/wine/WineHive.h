#pragma once
// One of Wine's registry files (system.reg, user.reg) held as the bytes that were read:
//
//   WINE REGISTRY Version 2
//   ;; All keys relative to REGISTRY\\Machine
//
//   [Software\\Microsoft\\Windows\\CurrentVersion\\Run] 1796679055
//   #time=1dd86a00aa062a6
//   "Tool"="C:\\tools\\tool.exe"
//   "Count"=dword:0000000a
//
// Every key is a block of the file's lines; a block that nothing changed is written back byte for
// byte, so comments, unknown lines, value kinds and the order of keys and values survive. A
// changed block gets a fresh time stamp on its key line and its #time line, as Wine gives it.
// Names compare without ASCII case and keep their case.

#include "platform/Platform.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace pestrel::wine {

// A moment as Wine stamps keys: 100-ns ticks since 1601-01-01.
struct WineTime {
    std::uint64_t ticks = 0;
    static WineTime Now();
    static WineTime FromUnixSeconds(std::uint64_t seconds);
    std::uint64_t unixSeconds() const;
};

struct HiveError {
    std::size_t line = 0; // 1-based; 0 for the file as a whole
    std::string reason;
};

class WineHive {
public:
    WineHive(WineHive&&) = default;
    WineHive& operator=(WineHive&&) = default;
    // The index points into the keys; a copy would point into the original.
    WineHive(const WineHive&) = delete;
    WineHive& operator=(const WineHive&) = delete;

    // Fails on anything Wine itself would not load: another header, a key or value line that
    // does not parse, a file cut off inside a line.
    static std::variant<WineHive, HiveError> Parse(std::string text);
    std::string serialize() const;
    bool changed() const { return changed_; }

    // Key paths use '\'; empty parts are dropped. A key exists when it has a block or a
    // sub-key has one. Each mutator answers whether the hive changed.
    bool hasKey(std::string_view path) const;
    bool createKey(std::string_view path, WineTime now);
    bool setValue(std::string_view path, std::string_view name, const RegValue& value,
                  WineTime now);
    bool deleteValue(std::string_view path, std::string_view name, WineTime now);
    // Plain and expandable strings as text, dword as integer; other kinds answer nothing.
    std::optional<RegValue> value(std::string_view path, std::string_view name) const;
    // The key's value names in file order, and the names of its direct sub-keys (each once, in
    // the case of the first block that names it).
    std::vector<std::string> valueNames(std::string_view path) const;
    std::vector<std::string> subkeyNames(std::string_view path) const;

    // False for text the file cannot carry (NUL, invalid UTF-8).
    static bool CanStore(std::string_view text);

private:
    WineHive() = default;

    struct Key {
        std::string upperPath;
        std::size_t begin = 0, end = 0; // the block's bytes in text_, while not edited
        std::optional<std::string> edited;
        std::string_view bytes(const std::string& text) const;
    };

    const Key* findKey(std::string_view upperPath) const;
    Key* findKey(std::string_view upperPath);
    Key& ensureKey(const std::string& path, WineTime now);
    void reindex();

    std::string text_;
    std::size_t headerEnd_ = 0;
    std::vector<Key> keys_;
    std::unordered_map<std::string_view, std::size_t> index_;   // upperPath -> keys_ position
    mutable std::unordered_map<std::string, bool> impliedKeys_; // keys only implied by sub-keys
    bool changed_ = false;
};

} // namespace pestrel::wine
