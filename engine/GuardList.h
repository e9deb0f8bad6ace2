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
    // The name lines of `lines`; hash lines name no file and are left out.
    explicit GuardList(const std::vector<std::string>& lines);

    // The entry that names the last component of `path` exactly, without regard to ASCII case
    // (the process table's name match); null when none does.
    const std::string* entryFor(std::string_view path) const;
    // The entries in list order.
    const std::vector<std::string>& entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
    std::unordered_map<std::string, std::size_t> byUpperName_;
};

} // namespace pestrel
