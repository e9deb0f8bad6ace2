#pragma once
// The tab strip as a screen reader sees it: a page tab list whose children are its tabs, each
// named by its caption, selected when it is the strip's tab, and selected by its press action.

class QAccessibleInterface;

namespace pestrel {

class TsuiTabControlTopPanel;

QAccessibleInterface* TabStripAccessible(TsuiTabControlTopPanel* strip);

} // namespace pestrel
