#include "engine/ListEdit.h"

namespace pestrel {
namespace {

constexpr std::string_view kBlanks = " \t";

// One item of a list: where its text (blanks included) begins and ends.
struct Segment {
    std::size_t begin, end;
    std::string text; // without surrounding blanks; empty for an empty item
};

std::vector<Segment> Segments(const std::string& list, std::string_view separators) {
    std::vector<Segment> segments;
    for (std::size_t begin = 0;;) {
        std::size_t end = list.find_first_of(separators, begin);
        if (end == std::string::npos)
            end = list.size();
        const std::string_view raw = std::string_view(list).substr(begin, end - begin);
        const std::size_t first = raw.find_first_not_of(kBlanks);
        std::string text;
        if (first != std::string_view::npos)
            text = raw.substr(first, raw.find_last_not_of(kBlanks) - first + 1);
        // A blank that separates (AppInit_DLLs) leaves empty items between items.
        if (!text.empty() || separators.find(' ') == std::string_view::npos)
            segments.push_back({begin, end, std::move(text)});
        if (end == list.size())
            return segments;
        begin = end + 1;
    }
}

} // namespace

std::vector<std::string> ListItems(const std::string& list, std::string_view separators) {
    std::vector<std::string> items;
    for (Segment& segment : Segments(list, separators)) {
        if (!segment.text.empty())
            items.push_back(std::move(segment.text));
    }
    return items;
}

ListEdit RemoveListItems(const std::string& list, std::string_view separators,
                         const std::function<bool(const std::string& item)>& removes) {
    ListEdit edit;
    const std::vector<Segment> segments = Segments(list, separators);
    std::size_t kept = 0, index = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& segment = segments[i];
        if (segment.text.empty() || !removes(segment.text)) {
            // Up to the next item, whose start drops the separators of removed items before it.
            const std::size_t to = i + 1 < segments.size() ? segments[i + 1].begin : list.size();
            edit.list.append(list, segment.begin, to - segment.begin);
            index += !segment.text.empty();
            ++kept;
            continue;
        }
        edit.removed.push_back({segment.text, index++});
        if (i + 1 == segments.size() && kept > 0) {
            // The last item goes with the separator before it.
            const std::size_t cut = edit.list.find_last_of(separators);
            edit.list.erase(cut == std::string::npos ? edit.list.size() : cut);
        }
    }
    return edit;
}

std::string InsertListItem(const std::string& list, std::string_view separators,
                           const std::string& item, std::size_t index) {
    const char separator = separators.front();
    std::size_t seen = 0;
    for (const Segment& segment : Segments(list, separators)) {
        if (segment.text.empty())
            continue;
        if (seen++ == index)
            return list.substr(0, segment.begin) + item + separator + list.substr(segment.begin);
    }
    if (ListItems(list, separators).empty())
        return item;
    const bool endsInSeparator = separators.find(list.back()) != std::string_view::npos;
    return endsInSeparator ? list + item + separator : list + separator + item;
}

} // namespace pestrel
