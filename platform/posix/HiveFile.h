#pragma once
// A registry hive kept in one REGEDIT4 file. Every change locks the hive against the other
// threads of this process (a mutex) and against other processes (flock on a lock file beside
// it), reads the file afresh, applies the change and, only when something changed, replaces
// the file atomically.

#include "platform/posix/RegistryHive.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace pestrel {

class HiveFile {
public:
    HiveFile(std::string path, std::string rootName);

    // The hive as the file holds it now; an empty hive when the file is missing, nothing when
    // it cannot be read.
    std::optional<RegistryHive> read() const;

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
    std::string path_;
    std::string rootName_;
    std::mutex mutex_;
    std::atomic<bool> refuseWrites_{false};
};

} // namespace pestrel
