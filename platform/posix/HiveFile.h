#pragma once
// A registry hive kept in one REGEDIT4 file. Every change locks the hive against the other
// threads of this process (a mutex) and against other processes (flock on a lock file beside
// it), applies the change to the hive as the file holds it and, only when something changed,
// replaces the file atomically.
//
// The parsed hive is kept between calls and used again while the file is unchanged: same
// device, inode, size, modification and change times, and a change time old enough that a later
// write could not share it. A call that changes nothing therefore costs a stat and a lookup.

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
    // Applies `change` under the locks. False when the hive refuses writes, cannot be locked,
    // read or written, or when `change` answers false.
    bool modify(const std::function<Outcome(RegistryHive&)>& change);

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
    bool stampFile(Stamp& stamp) const;

    std::string path_;
    std::string rootName_;
    std::mutex mutex_;
    std::atomic<bool> refuseWrites_{false};
    std::optional<RegistryHive> cached_; // the file's hive as of stamp_
    Stamp stamp_;
    bool trusted_ = false; // stamp_ alone proves that the file still holds cached_
};

} // namespace pestrel
