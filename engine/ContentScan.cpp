#include "engine/ContentScan.h"

namespace pestrel {

std::optional<std::string> ContentScan::verdict(HeldFolder& folder, const std::string& name,
                                                const FileStamp& stamp) {
    const std::optional<FileDigest> digest = folder.fileDigest(name);
    if (!digest)
        return std::nullopt;
    if (hashes_.count(digest->sha256))
        return "sha256:" + digest->sha256;
    if (!rules_ || (stamp.size > kMaxRuleScanBytes && !scanLarge_))
        return std::nullopt;
    const std::unique_ptr<MappedFile> mapped = folder.mapFile(name, stamp.identity);
    const std::optional<std::string> rule =
        mapped ? rules_->firstMatch(mapped->bytes()) : std::nullopt;
    return rule ? std::optional("rule:" + *rule) : std::nullopt;
}

std::optional<ContentFound> ContentScan::check(const std::shared_ptr<HeldFolder>& folder,
                                               const std::string& name) {
    const std::optional<FileStamp> stamp = folder->fileStamp(name);
    if (!stamp)
        return std::nullopt;
    const Key key{stamp->identity.device, stamp->identity.file, stamp->size, stamp->changeTime};
    auto known = verdicts_.find(key);
    if (known == verdicts_.end()) {
        std::optional<std::string> found = verdict(*folder, name, *stamp);
        // A file written to while it was read has another stamp now: what was read vouches for
        // nothing, and it is read again when it is next reached.
        if (folder->fileStamp(name) != stamp)
            return std::nullopt;
        known = verdicts_.emplace(key, std::move(found)).first;
    }
    if (!known->second)
        return std::nullopt;
    return ContentFound{folder, name, *stamp, *known->second};
}

std::vector<ContentFound> ContentScan::walk(const std::shared_ptr<HeldFolder>& folder, int depth) {
    std::vector<ContentFound> found;
    const std::optional<FolderEntries> entries = folder->entries();
    if (!entries)
        return found;
    for (const std::string& name : entries->files) {
        if (std::optional<ContentFound> match = check(folder, name))
            found.push_back(std::move(*match));
    }
    if (depth <= 0)
        return found;
    for (const std::string& name : entries->folders) {
        std::shared_ptr<HeldFolder> inner = folder->folder(name, false);
        if (!inner)
            continue;
        std::vector<ContentFound> below = walk(inner, depth - 1);
        found.insert(found.end(), std::make_move_iterator(below.begin()),
                     std::make_move_iterator(below.end()));
    }
    return found;
}

} // namespace pestrel
