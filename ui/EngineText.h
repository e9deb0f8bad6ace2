#pragma once
// The engine speaks the source language only; the window shows its fixed texts in its own.

#include <QString>
#include <string>
#include <vector>

namespace pestrel {

// `text` in the window's language when it is one of the engine's fixed texts; otherwise as
// ShownText shows it (a path, a name).
QString EngineText(const std::string& text);

} // namespace pestrel

namespace pestrel {

// The refusal to act as root over `folders` (UnsafeFolders) in the window's language.
QString RootRefusalText(const std::vector<std::string>& folders);

} // namespace pestrel
