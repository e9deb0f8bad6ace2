#pragma once
// Files found by what they hold: the SHA-256 named by a list's hash lines, and rules. Each file
// is read at most once while one scan lives, whatever name or walk reaches it.

#include "platform/Platform.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace pestrel {

// Rules that match a file by what it holds.
class ContentRules {
public:
    virtual ~ContentRules() = default;
    // The name of a rule that matches `bytes`, or nothing; `mayFault` when reading them can
    // fault (MappedFile::mayFault). Called from several threads at once.
    virtual std::optional<std::string> firstMatch(std::string_view bytes, bool mayFault) = 0;
};

// Larger files are hashed but not scanned by rules unless asked.
inline constexpr std::uint64_t kMaxRuleScanBytes = 256u << 20;

// A file whose content matched: the held folder it lies in, its name there, what it was when it
// was read, and what it matched ("sha256:HEX" or "rule:NAME").
struct ContentFound {
    std::shared_ptr<HeldFolder> folder;
    std::string name;
    FileStamp stamp;
    std::string match;
    std::string path() const { return folder->path() + name; }
};

// A file to look at: its name in a held folder.
struct FileInFolder {
    std::shared_ptr<HeldFolder> folder;
    std::string name;
};

// Walks below a folder stop this deep, so that no bind mount can make a walk endless.
inline constexpr int kMaxScanDepth = 64;

using StampKey = std::tuple<std::uint64_t, std::uint64_t, std::uint64_t, std::int64_t>;

// The SHA-256 of files by the stamp they had while they were read, kept from scan to scan (the
// passes of one window), so that a file whose stamp is unchanged is not hashed again. Bounded;
// safe to share between threads.
class DigestCache {
public:
    static constexpr std::size_t kMaxDigests = 1u << 16;
    std::optional<std::string> find(const FileStamp& stamp) const;
    void add(const FileStamp& stamp, const std::string& sha256);

private:
    mutable std::mutex mutex_;
    std::map<StampKey, std::string> digests_;
};

class ContentScan {
public:
    // `hashes`: 64 lower-case hex digits each. `rules`, when given, must outlive the scan;
    // with `scanLarge` they also scan files over kMaxRuleScanBytes. `digests`, when given, must
    // outlive the scan too.
    explicit ContentScan(std::set<std::string> hashes, ContentRules* rules = nullptr,
                         bool scanLarge = false, DigestCache* digests = nullptr)
        : hashes_(std::move(hashes)), rules_(rules), scanLarge_(scanLarge), digests_(digests) {}
    bool empty() const { return hashes_.empty() && !rules_; }

    // What the file `name` of `folder` matches, and the stamp it had while it was read; nothing
    // when it matches nothing, cannot be read, or changed while it was read.
    std::optional<ContentFound> check(const std::shared_ptr<HeldFolder>& folder,
                                      const std::string& name);
    // The matches among `files`, in their order; the files not read before are read several at
    // a time.
    std::vector<ContentFound> checkAll(const std::vector<FileInFolder>& files);
    // Every file of `folder`; with `depth` above 0, also of its folders, that many levels down.
    std::vector<ContentFound> walk(const std::shared_ptr<HeldFolder>& folder, int depth);
    // How many files were read so far.
    std::size_t filesRead() const { return verdicts_.size(); }

private:
    // What the file matches, read while it is `stamp`; safe on several threads at once.
    std::optional<std::string> verdict(HeldFolder& folder, const std::string& name,
                                       const FileStamp& stamp) const;

    std::set<std::string> hashes_;
    ContentRules* rules_;
    bool scanLarge_;
    DigestCache* digests_;
    std::map<StampKey, std::optional<std::string>> verdicts_;
};

} // namespace pestrel
