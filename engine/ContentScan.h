#pragma once
// Files found by what they hold: the SHA-256 named by a list's hash lines, and rules. Each file
// is read at most once while one scan lives, whatever name or walk reaches it.

#include "engine/ScanLimits.h"
#include "platform/Platform.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace pestrel {

// What rules made of a file's bytes: the first rule that matched, or why the scan did not
// finish (a scan that timed out or failed matched nothing that can be told).
struct RulesVerdict {
    std::optional<std::string> match;
    std::string failure; // empty when the scan finished
};

// Rules that match a file by what it holds.
class ContentRules {
public:
    virtual ~ContentRules() = default;
    // `mayFault` when reading the bytes can fault (MappedFile::mayFault); a scan stops after
    // `seconds`. Called from several threads at once.
    virtual RulesVerdict firstMatch(std::string_view bytes, bool mayFault, int seconds) = 0;
};

// A size in the largest binary unit that holds it whole: "256 MiB", "1 GiB", "1000 bytes".
std::string SizeText(std::uint64_t bytes);

// A file or folder a scan did not judge, and why: over the size limit, a rule scan that did not
// finish (failed), a folder on another file system, or a pseudo file system (failed).
struct Unscanned {
    std::string path;
    std::string reason;
    bool failed = false;
};

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
    // `hashes`: 64 lower-case hex digits each. `rules`, when given, must outlive the scan, and
    // so must `digests`.
    explicit ContentScan(std::set<std::string> hashes, ContentRules* rules = nullptr,
                         ScanLimits limits = {}, DigestCache* digests = nullptr)
        : hashes_(std::move(hashes)), rules_(rules), limits_(limits), digests_(digests) {}
    bool empty() const { return hashes_.empty() && !rules_; }

    // What the file `name` of `folder` matches, and the stamp it had while it was read; nothing
    // when it matches nothing, cannot be read, changed while it was read, or was not judged.
    std::optional<ContentFound> check(const std::shared_ptr<HeldFolder>& folder,
                                      const std::string& name);
    // The matches among `files`, in their order; the files not read before are read several at
    // a time.
    std::vector<ContentFound> checkAll(const std::vector<FileInFolder>& files);
    // Every file of `folder`; with `depth` above 0, also of its folders, that many levels down,
    // on the file system `folder` lies on only (its own files alone when that cannot be told). A
    // pseudo file system is not walked at all.
    std::vector<ContentFound> walk(const std::shared_ptr<HeldFolder>& folder, int depth);
    // How many files were read so far.
    std::size_t filesRead() const { return verdicts_.size(); }
    // What was not judged since the last call, each file once while its stamp holds.
    std::vector<Unscanned> takeUnscanned() { return std::exchange(unscanned_, {}); }

private:
    struct Verdict {
        std::optional<std::string> match; // "sha256:HEX" or "rule:NAME"
        std::string unscanned;            // why it was not judged, or empty
        bool failed = false;
    };
    // What the file matches, read while it is `stamp`; safe on several threads at once.
    Verdict verdict(HeldFolder& folder, const std::string& name, const FileStamp& stamp) const;
    std::vector<ContentFound> walkOn(const std::shared_ptr<HeldFolder>& folder, int depth,
                                     std::uint64_t device);

    std::set<std::string> hashes_;
    ContentRules* rules_;
    ScanLimits limits_;
    DigestCache* digests_;
    std::map<StampKey, Verdict> verdicts_;
    std::vector<Unscanned> unscanned_;
};

} // namespace pestrel
