#pragma once
// Where the program keeps its working files on Windows (VirusList.txt, Config.ini, Temp.~txt,
// ProcessList.txt, Temp\, Undo\): all of them in one folder, chosen once at start.

#include <string>

namespace pestrel {

// The file whose presence beside the program marks a setup's install.
inline constexpr const char* kUninstallerName = "Uninstall.exe";

// The program's own folder when it may write there and was not installed by the setup (a build
// folder, a portable copy); otherwise `dataRoot`, created when missing. Both end in a backslash.
// An empty string when neither can be had.
std::string ChooseWin32WorkFolder(const std::string& programFile, const std::string& dataRoot);

// %LOCALAPPDATA%\Pestrel\, where a Windows program keeps its data; empty when the shell knows
// no such folder.
std::string DefaultWin32DataRoot();

// The help of an installed program: its Readme.txt and Readme.en.txt, copied into the work folder
// when they are missing there or differ.
void CopyInstalledReadme(const std::string& programFile, const std::string& workFolder);

} // namespace pestrel
