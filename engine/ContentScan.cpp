#include "engine/ContentScan.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

namespace pestrel {
namespace {

StampKey KeyOf(const FileStamp& stamp) {
    return {stamp.identity.device, stamp.identity.file, stamp.size, stamp.changeTime};
}

// Fewer bytes than this are read on the calling thread alone. Reading waits on the disk as much
// as on the processor, so there are more readers than most machines have processors.
constexpr std::uint64_t kBytesWorthThreads = 1u << 20;
constexpr std::size_t kMaxReaders = 8;

// Runs `work(i)` for every i below `count`, on this thread and up to `readers` - 1 more; a
// failure of any is thrown again here once all have stopped.
template <typename Work> void ForEachOnThreads(std::size_t count, unsigned readers, Work work) {
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    const auto reader = [&] {
        try {
            for (std::size_t i; (i = next++) < count;)
                work(i);
        } catch (...) {
            const std::lock_guard lock(failureMutex);
            failure = std::current_exception();
            next = count;
        }
    };
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < readers; ++i) {
        try {
            threads.emplace_back(reader);
        } catch (const std::system_error&) {
            break; // no thread to spare: fewer readers do the work
        }
    }
    reader();
    for (std::thread& thread : threads)
        thread.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

std::optional<std::string> DigestCache::find(const FileStamp& stamp) const {
    const std::lock_guard lock(mutex_);
    const auto known = digests_.find(KeyOf(stamp));
    return known == digests_.end() ? std::nullopt : std::optional(known->second);
}

void DigestCache::add(const FileStamp& stamp, const std::string& sha256) {
    const std::lock_guard lock(mutex_);
    if (digests_.size() >= kMaxDigests)
        digests_.clear();
    digests_.insert_or_assign(KeyOf(stamp), sha256);
}

std::string SizeText(std::uint64_t bytes) {
    static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
    const char* unit = "bytes";
    for (const char* larger : kUnits) {
        if (bytes == 0 || bytes % 1024 != 0)
            break;
        bytes /= 1024;
        unit = larger;
    }
    return std::to_string(bytes) + " " + unit;
}

ContentScan::Verdict ContentScan::verdict(HeldFolder& folder, const std::string& name,
                                          const FileStamp& stamp) const {
    const std::string tooLarge = "over " + SizeText(limits_.maxFileBytes);
    if (stamp.size > limits_.maxFileBytes)
        return {std::nullopt, tooLarge};
    if (!hashes_.empty()) {
        std::optional<std::string> sha256 = digests_ ? digests_->find(stamp) : std::nullopt;
        if (!sha256) {
            // A file that grows meanwhile is read no further than the limit; its stamp has
            // changed, so nothing read vouches for it.
            const std::optional<FileDigest> digest = folder.fileDigest(name, limits_.maxFileBytes);
            if (!digest)
                return {};
            sha256 = digest->sha256;
            // Only what was read while the file kept its stamp is kept for later scans.
            if (digests_ && folder.fileStamp(name) == stamp)
                digests_->add(stamp, *sha256);
        }
        if (hashes_.count(*sha256))
            return {"sha256:" + *sha256, {}};
    }
    if (!rules_)
        return {};
    const std::unique_ptr<MappedFile> mapped = folder.mapFile(name, stamp.identity);
    if (!mapped)
        return {};
    if (mapped->bytes().size() > limits_.maxFileBytes)
        return {std::nullopt, tooLarge};
    const RulesVerdict rules =
        rules_->firstMatch(mapped->bytes(), mapped->mayFault(), limits_.ruleSeconds);
    if (rules.match)
        return {"rule:" + *rules.match, {}};
    if (!rules.failure.empty())
        return {std::nullopt, rules.failure, true};
    return {};
}

std::optional<ContentFound> ContentScan::check(const std::shared_ptr<HeldFolder>& folder,
                                               const std::string& name) {
    std::vector<ContentFound> found = checkAll({{folder, name}});
    return found.empty() ? std::nullopt : std::optional(std::move(found.front()));
}

std::vector<ContentFound> ContentScan::checkAll(const std::vector<FileInFolder>& files) {
    struct Stamped {
        const FileInFolder* file;
        FileStamp stamp;
    };
    std::vector<Stamped> stamped, unread;
    std::set<StampKey> pending;
    std::uint64_t unreadBytes = 0;
    for (const FileInFolder& file : files) {
        const std::optional<FileStamp> stamp = file.folder->fileStamp(file.name);
        if (!stamp)
            continue;
        stamped.push_back({&file, *stamp});
        const StampKey key = KeyOf(*stamp);
        if (!verdicts_.count(key) && pending.insert(key).second) {
            unread.push_back({&file, *stamp});
            unreadBytes += stamp->size;
        }
    }
    // Each file is read apart from the others: every call a reader makes is a question to its
    // folder, and the verdicts are kept only once all have ended.
    std::vector<std::optional<Verdict>> verdicts(unread.size());
    const unsigned readers =
        unreadBytes < kBytesWorthThreads
            ? 1
            : static_cast<unsigned>(std::min<std::size_t>(kMaxReaders, unread.size()));
    ForEachOnThreads(unread.size(), readers, [&](std::size_t i) {
        const Stamped& file = unread[i];
        Verdict found = verdict(*file.file->folder, file.file->name, file.stamp);
        // A file written to while it was read has another stamp now: what was read vouches for
        // nothing, and it is read again when it is next reached.
        if (file.file->folder->fileStamp(file.file->name) == file.stamp)
            verdicts[i] = std::move(found);
    });
    for (std::size_t i = 0; i < unread.size(); ++i) {
        if (!verdicts[i])
            continue;
        if (!verdicts[i]->unscanned.empty())
            unscanned_.push_back({unread[i].file->folder->path() + unread[i].file->name,
                                  verdicts[i]->unscanned, verdicts[i]->failed});
        verdicts_.emplace(KeyOf(unread[i].stamp), std::move(*verdicts[i]));
    }
    std::vector<ContentFound> found;
    for (const Stamped& file : stamped) {
        const auto known = verdicts_.find(KeyOf(file.stamp));
        if (known != verdicts_.end() && known->second.match)
            found.push_back({file.file->folder, file.file->name, file.stamp, *known->second.match});
    }
    return found;
}

std::vector<ContentFound> ContentScan::walk(const std::shared_ptr<HeldFolder>& folder, int depth) {
    const std::optional<FileSystemOf> system = folder->fileSystem();
    if (system && system->pseudo) {
        unscanned_.push_back({folder->path(), "a pseudo file system", true});
        return {};
    }
    // Where the file system cannot be told, no folder below can be told to lie on it.
    return walkOn(folder, system ? depth : 0, system ? system->device : 0);
}

std::vector<ContentFound> ContentScan::walkOn(const std::shared_ptr<HeldFolder>& folder, int depth,
                                              std::uint64_t device) {
    const std::optional<FolderEntries> entries = folder->entries();
    if (!entries)
        return {};
    std::vector<FileInFolder> files;
    files.reserve(entries->files.size());
    for (const std::string& name : entries->files)
        files.push_back({folder, name});
    std::vector<ContentFound> found = checkAll(files);
    if (depth <= 0)
        return found;
    for (const std::string& name : entries->folders) {
        std::shared_ptr<HeldFolder> inner = folder->folder(name, false);
        if (!inner)
            continue;
        // As find -xdev: another file system mounted below is not entered, and it is said.
        const std::optional<FileSystemOf> system = inner->fileSystem();
        if (!system || system->device != device) {
            unscanned_.push_back({inner->path(), "another file system", false});
            continue;
        }
        std::vector<ContentFound> below = walkOn(inner, depth - 1, device);
        found.insert(found.end(), std::make_move_iterator(below.begin()),
                     std::make_move_iterator(below.end()));
    }
    return found;
}

} // namespace pestrel
