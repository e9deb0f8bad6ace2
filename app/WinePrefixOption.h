#pragma once
// --wine-prefix DIR: the platform of a Wine prefix in place of the Linux stand-ins.

#include "platform/wine/WinePlatform.h"

#include <memory>
#include <string>
#include <variant>

namespace pestrel {

// The prefix's platform over `files`, or the one-line reason it cannot be cleaned (no prefix, a
// registry file Wine could not load). `stopWine`: registry changes may stop its wineserver.
std::variant<std::unique_ptr<wine::WinePlatform>, std::string>
OpenWinePrefix(const std::string& folder, bool stopWine, Platform& files);

} // namespace pestrel
