#pragma once
// The names a guard keeps from running, fixed once read: a reload makes a new list, so a reader
// on another thread never sees one half changed.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pestrel {

class GuardList {
public:
    // The name lines of `lines`, and apart from them the hash lines, which name no file.
    explicit GuardList(const std::vector<std::string>& lines);

    // The entry that names the last component of `path` exactly, without regard to ASCII case
    // (the process table's name match); null when none does.
    const std::string* entryFor(std::string_view path) const;
    // The hash line that names `sha256` (64 lower-case hex digits); null when none does.
    const std::string* entryForDigest(const std::string& sha256) const;
    bool hasHashes() const { return !hashLines_.empty(); }
    // The name entries in list order.
    const std::vector<std::string>& entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
    std::unordered_map<std::string, std::size_t> byUpperName_;
    std::unordered_map<std::string, std::string> hashLines_; // by the hash they name
};

} // namespace pestrel
