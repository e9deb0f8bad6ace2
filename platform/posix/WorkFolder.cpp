#include "platform/posix/WorkFolder.h"

#include <unistd.h>

namespace pestrel {

namespace fs = std::filesystem;

namespace {

bool IsInstalled(const fs::path& programFolder) {
    if (programFolder.filename() != "bin")
        return false;
    const fs::path share = programFolder.parent_path() / "share";
    std::error_code ignored;
    return fs::exists(share / "applications" / kDesktopEntryName, ignored) ||
           fs::exists(share / "doc" / "pestrel" / "Readme.txt", ignored);
}

} // namespace

fs::path ChooseWorkFolder(const fs::path& programFile, const fs::path& dataRoot) {
    const fs::path folder = programFile.parent_path();
    if (IsInstalled(folder) || ::access(folder.c_str(), W_OK) != 0)
        return dataRoot;
    return folder;
}

fs::path InstalledReadme(const fs::path& programFile) {
    const fs::path folder = programFile.parent_path();
    if (!IsInstalled(folder))
        return {};
    return folder.parent_path() / "share" / "doc" / "pestrel" / "Readme.txt";
}

} // namespace pestrel
