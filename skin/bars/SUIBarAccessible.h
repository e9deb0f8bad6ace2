#pragma once
// The progress and track bars as a screen reader sees them: a progress bar or a slider whose
// value is the bar's Position between its Min and Max; a slider's value can also be set.

class QAccessibleInterface;
class QWidget;

namespace pestrel {

// `bar` is a TsuiProgressBar or a TsuiTrackBar.
QAccessibleInterface* BarAccessible(QWidget* bar);
// Tells a screen reader that `bar`'s Position is now `value`.
void AnnounceBarValue(QWidget* bar, int value);

} // namespace pestrel
