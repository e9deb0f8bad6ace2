#pragma once
// What reading a start-up file may cost: the places are read again after each change, and a
// file padded beyond what any shortcut, task or desktop entry holds would make each read cost
// its reader; such a file is not read.

#include "platform/Platform.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pestrel {

inline constexpr std::uint64_t kLargestStartFile = 64 << 10;

// The file `name` of `folder`, while it is `identity`, mapped; null when it is larger than
// kLargestStartFile or cannot be read.
inline std::unique_ptr<MappedFile> MapStartFile(HeldFolder& folder, const std::string& name,
                                                const FileIdentity& identity) {
    const std::optional<FileStamp> stamp = folder.fileStamp(name);
    if (!stamp || stamp->identity != identity || stamp->size > kLargestStartFile)
        return nullptr;
    return folder.mapFile(name, identity);
}

} // namespace pestrel
