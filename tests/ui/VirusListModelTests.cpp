// The virus list's rows: what a worker holds stays as it was while the list changes under it, and
// removals of any rows, in any order, take exactly those rows.

#include "ui/VirusListModel.h"

#include <functional>
#include <gtest/gtest.h>

namespace pestrel::test {
namespace {

using Entries = std::vector<std::string>;

TEST(VirusListModel, SharedEntriesStayWhileTheListChanges) {
    const struct {
        const char* what;
        std::function<void(VirusListModel&)> change;
        Entries after;
    } cases[] = {
        {"append",
         [](VirusListModel& list) { list.append({"d.exe"}); },
         {"a.exe", "b.exe", "c.exe", "d.exe"}},
        {"remove",
         [](VirusListModel& list) {
             list.removeRows({2, 0, 0, 7, -1});
         },
         {"b.exe"}},
        {"remove a run",
         [](VirusListModel& list) {
             list.removeRows({1, 2});
         },
         {"a.exe"}},
        {"clear", [](VirusListModel& list) { list.clear(); }, {}},
    };
    for (const auto& c : cases) {
        VirusListModel list;
        list.append({"a.exe", "b.exe", "c.exe"});
        const auto held = list.shared();
        const std::uint64_t version = list.version();
        c.change(list);
        EXPECT_EQ(*held, Entries({"a.exe", "b.exe", "c.exe"})) << c.what;
        EXPECT_EQ(list.entries(), c.after) << c.what;
        EXPECT_EQ(list.rowCount(), static_cast<int>(c.after.size())) << c.what;
        EXPECT_NE(list.version(), version) << c.what;
    }
}

} // namespace
} // namespace pestrel::test
