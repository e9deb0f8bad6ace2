#pragma once
// Where the program keeps its working files (VirusList.txt, Config.ini, Temp/, Temp.~txt,
// ProcessList.txt).

#include <filesystem>

namespace pestrel {

// The desktop entry an installed program finds in <prefix>/share/applications/.
inline constexpr const char* kDesktopEntryName = "org.pestrel.Pestrel.desktop";

// The program's own folder when it may write there and is not installed (a build folder, a
// portable copy); otherwise `dataRoot`. A program counts as installed when it sits in the bin/
// of an install layout whose share/ holds its desktop entry or its Readme.txt; such a program
// never writes beside itself, not even when it runs as root.
std::filesystem::path ChooseWorkFolder(const std::filesystem::path& programFile,
                                       const std::filesystem::path& dataRoot);

// The Readme.txt of the install layout `programFile` sits in, or an empty path.
std::filesystem::path InstalledReadme(const std::filesystem::path& programFile);

} // namespace pestrel
