// Any bytes as a start-up command line and as a list value. The program of a line without known
// variables is a piece of the line; a list edit keeps every item it does not take out, and
// putting the taken items back gives the list's items again.
#include "engine/CommandLineProgram.h"
#include "engine/ListEdit.h"

#include <cstdlib>

namespace {

void CheckProgram(const std::string& line) {
    const std::string program =
        pestrel::CommandLineProgram(line, [](const std::string&) { return std::nullopt; });
    if (line.find(program) == std::string::npos)
        std::abort();
}

void CheckListEdit(const std::string& list, std::string_view separators) {
    const pestrel::ListEdit edit = pestrel::RemoveListItems(
        list, separators, [](const std::string& item) { return item.find('e') != item.npos; });
    for (const std::string& item : pestrel::ListItems(edit.list, separators)) {
        if (item.find('e') != std::string::npos)
            std::abort(); // an item to take out stayed
    }
    std::string back = edit.list;
    for (const pestrel::RemovedItem& item : edit.removed)
        back = pestrel::InsertListItem(back, separators, item.text, item.index);
    if (pestrel::ListItems(back, separators) != pestrel::ListItems(list, separators))
        std::abort(); // the items did not come back in their places
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckProgram(bytes);
    CheckListEdit(bytes, pestrel::kCommaList);
    CheckListEdit(bytes, pestrel::kLibraryList);
    return 0;
}
