#pragma once
// Lists of programs kept in one registry value: Winlogon's Shell and Userinit (items separated by
// commas) and AppInit_DLLs (by commas or blanks). An edit takes out whole items and keeps the
// rest of the text as it was written.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pestrel {

inline constexpr std::string_view kCommaList = ",";
inline constexpr std::string_view kLibraryList = ", ";

struct RemovedItem {
    std::string text;  // the item without its surrounding blanks
    std::size_t index; // its place among the list's items
};

struct ListEdit {
    std::string list; // what stays
    std::vector<RemovedItem> removed;
};

// The items of `list`: the texts between separators without their surrounding blanks, empty
// ones left out.
std::vector<std::string> ListItems(const std::string& list, std::string_view separators);

// Takes out every item `removes` answers true for, with the separator that follows it (the one
// before it for the last item).
ListEdit RemoveListItems(const std::string& list, std::string_view separators,
                         const std::function<bool(const std::string& item)>& removes);

// Puts `item` back as the list's item `index` (at the end when it has fewer items).
std::string InsertListItem(const std::string& list, std::string_view separators,
                           const std::string& item, std::size_t index);

} // namespace pestrel
