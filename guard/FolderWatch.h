#pragma once
// Folders watched for files that are written or moved into them (inotify).

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pestrel::guard {

class FolderWatch {
public:
    FolderWatch();
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches the folder `path` (ending in '/'), never through a link; false when it cannot.
    bool add(const std::string& path);
    int descriptor() const { return fd_; }

    struct Arrival {
        std::string folder; // as it was added
        std::string name;
    };
    // The files finished or moved into a watched folder since the last call, without waiting.
    std::vector<Arrival> takeArrivals();
    // Whether the kernel dropped arrivals since the last call, when too many came at once: then
    // the folders must be looked through.
    bool takeOverflow() { return std::exchange(overflowed_, false); }

private:
    int fd_;
    std::map<int, std::string> folders_; // by watch descriptor
    bool overflowed_ = false;
};

} // namespace pestrel::guard
