#include "base/FileBytes.h"

#include "base/SafeFile.h"

#include <atomic>
#include <cstdio>
#include <random>

namespace pestrel {

std::string UniqueTemporaryPart() {
    // Unique across the threads of this process (counter) and across processes (random part,
    // drawn per call so that a forked copy does not repeat its parent's names).
    static std::atomic<unsigned long long> counter{0};
    return std::to_string(std::random_device{}()) + "-" + std::to_string(++counter);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    return ReadRegularFile(path);
}

#ifndef _WIN32
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    // One folder, held once: the new file, the rename and the flush all happen in it.
    const std::optional<NameInFolderFd> place = HoldFolderOf(path);
    return place && ReplaceFileIn(place->folder.get(), place->name, bytes);
}
#endif

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace pestrel
