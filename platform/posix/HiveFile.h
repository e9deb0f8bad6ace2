#pragma once
// A registry hive kept in one REGEDIT4 file, in a folder held from the first call on. A change
// is first looked at in the hive as the file holds it: one that would change nothing answers
// there, without a lock. A real change locks the hive against the other threads of this process
// (a mutex) and against other processes (flock on a lock file beside it), applies the change to
// the hive as the file holds it under the lock and replaces the file atomically.
//
// The parsed hive is kept between calls and used again while the file is unchanged: same
// device, inode, size, modification and change times, and a change time old enough that a later
// write could not share it. A call that changes nothing therefore costs one stat and a lookup.

#include "base/SafeFile.h"
#include "platform/posix/RegistryHive.h"

#include <atomic>
#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>

namespace pestrel {

class HiveFile {
public:
    HiveFile(std::string path, std::string rootName);

    // Calls `look` with the hive as the file holds it now (an empty hive when the file is
    // missing). False, without calling it, when the file cannot be read.
    bool read(const std::function<void(const RegistryHive&)>& look);

    struct Outcome {
        bool answer = false;  // what the operation answers when the hive could be written
        bool changed = false; // whether the file must be rewritten
    };
    // What a change answers when it would change nothing in `hive`; nothing when it would.
    using Unchanged = std::function<std::optional<bool>(const RegistryHive& hive)>;
    // Answers `unchanged` when it tells, and otherwise applies `change` under the locks. False
    // when the hive refuses writes, cannot be read, written or locked, or when the operation
    // answers false.
    bool modify(const Unchanged& unchanged, const std::function<Outcome(RegistryHive&)>& change);

    // A refusing hive answers every change with false, as a registry without rights does.
    void setRefuseWrites(bool refuse) { refuseWrites_ = refuse; }
    const std::string& path() const { return path_; }

private:
    // What identifies one state of the file.
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
        bool operator==(const Stamp& other) const;
    };
    // The hive as the file holds it now, parsed afresh only when the file changed; null when it
    // cannot be read. Called with mutex_ held.
    RegistryHive* current();
    // Takes the file's stamp; false when it cannot be taken (other than for a missing file).
    bool stampFile(Stamp& stamp);
    // Whether the file as stamp_ found it may be replaced: a missing one may be created; an
    // existing one must be writable by us and not marked read-only (no owner write bit), since
    // the atomic replace would drop that mark. Told again only when the stamp changes.
    bool writable();

    std::string path_;
    std::optional<NameInFolderFd> place_; // the hive's folder, held once it could be
    std::string rootName_;
    std::mutex mutex_;
    std::atomic<bool> refuseWrites_{false};
    std::optional<RegistryHive> cached_; // the file's hive as of stamp_
    Stamp stamp_;
    bool trusted_ = false; // stamp_ alone proves that the file still holds cached_
    std::optional<Stamp> writableFor_;
    bool writable_ = false; // for writableFor_
};

} // namespace pestrel
