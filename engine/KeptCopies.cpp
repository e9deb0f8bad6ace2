#include "engine/KeptCopies.h"

namespace pestrel {

std::optional<KeptCopy> KeptCopies::find(HeldFolder& folder, const std::string& name,
                                         const FileStamp& stamp, HeldFolder& kept) {
    const auto file = byFile_.find({stamp.identity.device, stamp.identity.file});
    if (file == byFile_.end())
        return std::nullopt;
    std::vector<Made>& made = file->second;
    for (const Made& one : made) {
        if (one.stamp == stamp && stillKept(one, kept))
            return one.copy;
    }
    // Read only when a copy of the same file and size is there to be compared.
    std::optional<FileDigest> digest;
    for (const Made& one : made) {
        if (one.stamp.size != stamp.size || !stillKept(one, kept))
            continue;
        if (!digest && !(digest = folder.fileDigest(name)))
            return std::nullopt;
        if (*digest == one.copy.digest) {
            Made alias = one;
            alias.stamp = stamp;
            made.push_back(alias);
            return alias.copy;
        }
    }
    return std::nullopt;
}

void KeptCopies::add(const FileStamp& stamp, KeptCopy copy, HeldFolder& kept) {
    const std::optional<FileStamp> copyStamp = kept.fileStamp(copy.name);
    if (copyStamp)
        byFile_[{stamp.identity.device, stamp.identity.file}].push_back(
            {stamp, std::move(copy), copyStamp->identity, copyStamp->size});
}

bool KeptCopies::stillKept(const Made& made, HeldFolder& kept) const {
    // The kept folder is the program's own: its copies change only by their names' count.
    const std::optional<FileStamp> now = kept.fileStamp(made.copy.name);
    return now && now->identity == made.copyIdentity && now->size == made.copySize;
}

} // namespace pestrel
