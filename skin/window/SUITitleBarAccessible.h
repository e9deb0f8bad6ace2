#pragma once
// The title bar as a screen reader sees it: its buttons (the control box, minimise, maximise,
// close, help and the custom ones), each named by what it does and pressed by its action.

class QAccessibleInterface;

namespace pestrel {

class TsuiTitleBar;

QAccessibleInterface* TitleBarAccessible(TsuiTitleBar* bar);

} // namespace pestrel
