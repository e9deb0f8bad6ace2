#pragma once
// The undo's kept copies made in one run, by the file each was made of: a file deleted again by
// another of its names, or refused again, gets no second copy, so that another user cannot make
// root's working folder grow by a copy per name or per start.

#include "platform/Platform.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pestrel {

struct KeptCopy {
    std::string name; // in the kept folder
    FileDigest digest;
};

class KeptCopies {
public:
    // The copy in `kept` already made of the file `name` of `folder`, which is now `stamp`: one
    // made of that very stamp or, when only the file's change time moved (a name of it deleted
    // meanwhile), one of the same file and size holding what it holds. Nothing when none was
    // made, or the copy is no longer in `kept` as it was made.
    std::optional<KeptCopy> find(HeldFolder& folder, const std::string& name,
                                 const FileStamp& stamp, HeldFolder& kept);
    // Notes the copy just made in `kept` of the file that was `stamp`.
    void add(const FileStamp& stamp, KeptCopy copy, HeldFolder& kept);

private:
    struct Made {
        FileStamp stamp;
        KeptCopy copy;
        FileIdentity copyIdentity;
        std::uint64_t copySize = 0;
    };
    bool stillKept(const Made& made, HeldFolder& kept) const;

    std::map<std::pair<std::uint64_t, std::uint64_t>, std::vector<Made>> byFile_;
};

} // namespace pestrel
