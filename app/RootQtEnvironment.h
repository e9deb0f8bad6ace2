#pragma once
// Run as root (through `sudo -E`, say), the program must not let the user's environment choose
// the code Qt loads or the folders it reads: a plugin folder of the user's, a theme or input
// method plugin, a style, fonts or a graphics library would run or be read with root's rights.

namespace pestrel {

// As root, before any Qt application object exists: clears the variables through which Qt picks
// plugins, libraries and folders, and keeps of QT_QPA_PLATFORM only the name of a display
// platform (xcb, wayland, offscreen, minimal), without its options. Does nothing otherwise.
void ClearUsersQtChoicesAsRoot();

// As root, once the application object exists: plugins come from Qt's installed plugin folder
// alone. Does nothing otherwise.
void LoadInstalledPluginsOnlyAsRoot();

} // namespace pestrel
