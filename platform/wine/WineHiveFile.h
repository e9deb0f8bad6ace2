#pragma once
// One registry file of a prefix, parsed once and parsed again only when the file changes on disk:
// the parsed hive is kept while the file keeps its device, inode, size, modification and change
// times, and only once its change time is old enough that a later write could not share it.
// A file that does not parse is never written.

#include "platform/wine/WineHive.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace pestrel::wine {

class WineHiveFile {
public:
    explicit WineHiveFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    // Why the file cannot be used ("line 12: a value line that cannot be read"), or nothing.
    std::optional<std::string> problem();

    std::optional<RegValue> value(const std::string& key, const std::string& name);
    // Calls `look` with the hive as the file holds it now; not when it cannot be read or parsed.
    void read(const std::function<void(const WineHive&)>& look);

    // Whether a change may go ahead; asked before the file is read for it.
    enum class Gate {
        Open,    // go ahead
        Closed,  // change nothing, answer false
        Reopened // go ahead, reading the file afresh: someone else may have written it
    };
    // When the gate allows, applies `change` (it answers whether the hive changed) and, when
    // something changed, replaces the file atomically. Answers `answer` of the change, or false
    // when the gate is closed or the file cannot be read, parsed or written.
    struct Outcome {
        bool answer = false;
        bool changed = false;
    };
    bool modify(const std::function<Outcome(WineHive&)>& change, const std::function<Gate()>& gate);

private:
    struct Identity {
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t modified = 0, changed = 0;
        bool operator==(const Identity&) const = default;
    };
    // The hive as the file holds it now; nothing when it cannot be read or parsed.
    WineHive* load();
    std::optional<Identity> identity() const;

    std::string path_;
    std::mutex mutex_;
    std::optional<Identity> loadedFrom_; // set only while it alone proves what the file holds
    std::optional<WineHive> hive_;
    std::optional<std::string> problem_;
};

} // namespace pestrel::wine
