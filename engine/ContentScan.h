#pragma once
// Files found by what they hold: the SHA-256 named by a list's hash lines, and rules. Each file
// is read at most once while one scan lives, whatever name or walk reaches it.

#include "platform/Platform.h"

#include <map>
#include <memory>
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
    // The name of a rule that matches `bytes`, or nothing.
    virtual std::optional<std::string> firstMatch(std::string_view bytes) = 0;
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

// Walks below a folder stop this deep, so that no bind mount can make a walk endless.
inline constexpr int kMaxScanDepth = 64;

class ContentScan {
public:
    // `hashes`: 64 lower-case hex digits each. `rules`, when given, must outlive the scan;
    // with `scanLarge` they also scan files over kMaxRuleScanBytes.
    explicit ContentScan(std::set<std::string> hashes, ContentRules* rules = nullptr,
                         bool scanLarge = false)
        : hashes_(std::move(hashes)), rules_(rules), scanLarge_(scanLarge) {}
    bool empty() const { return hashes_.empty() && !rules_; }

    // What the file `name` of `folder` matches, and the stamp it had while it was read; nothing
    // when it matches nothing, cannot be read, or changed while it was read.
    std::optional<ContentFound> check(const std::shared_ptr<HeldFolder>& folder,
                                      const std::string& name);
    // Every file of `folder`; with `depth` above 0, also of its folders, that many levels down.
    std::vector<ContentFound> walk(const std::shared_ptr<HeldFolder>& folder, int depth);
    // How many files were read so far.
    std::size_t filesRead() const { return verdicts_.size(); }

private:
    using Key = std::tuple<std::uint64_t, std::uint64_t, std::uint64_t, std::int64_t>;
    // What the file matches, read while it is `stamp`.
    std::optional<std::string> verdict(HeldFolder& folder, const std::string& name,
                                       const FileStamp& stamp);

    std::set<std::string> hashes_;
    ContentRules* rules_;
    bool scanLarge_;
    std::map<Key, std::optional<std::string>> verdicts_;
};

} // namespace pestrel
