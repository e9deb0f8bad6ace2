#include "engine/GuardList.h"

#include "base/AsciiCase.h"
#include "engine/HashLine.h"
#include "platform/Platform.h"

namespace pestrel {

namespace {

// A Linux file name may hold a backslash; a Windows path may use either separator.
constexpr const char* kSeparators = kPathSeparator == '/' ? "/" : "/\\";

} // namespace

GuardList::GuardList(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (const std::optional<std::string> hash = HashOfListLine(line))
            hashLines_.emplace(*hash, line);
        if (KindOfListLine(line) != ListLineKind::Name)
            continue;
        if (byUpperName_.emplace(UpperAscii(line), entries_.size()).second)
            entries_.push_back(line);
    }
}

const std::string* GuardList::entryFor(std::string_view path) const {
    std::string_view name = path;
    if (const std::size_t slash = path.find_last_of(kSeparators); slash != std::string_view::npos)
        name = path.substr(slash + 1);
    const auto found = byUpperName_.find(UpperAscii(name));
    return found == byUpperName_.end() ? nullptr : &entries_[found->second];
}

const std::string* GuardList::entryForDigest(const std::string& sha256) const {
    const auto found = hashLines_.find(sha256);
    return found == hashLines_.end() ? nullptr : &found->second;
}

} // namespace pestrel
