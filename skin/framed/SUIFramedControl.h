#pragma once
// What the framed list and edit controls share: the margin their frame lives in and the paint
// that draws the frame over it after the control's own painting.

#include "toolkit/Color.h"

#include <QFrame>
#include <QWidget>

namespace pestrel {

// The control border colour of the skinned form of `owner`'s window (0 without one).
TColor FormControlBorderColor(const QWidget* owner);
// The control's own colour, the inner line of its frame: the background of its items or text.
TColor FramedControlColor(const QWidget* control);
// Leaves a margin of `borderWidth` pixels round the view's viewport and scroll bars. A plain box
// keeps that margin through style and font changes; its lines are painted over by the frame.
void SetFrameMargin(QFrame* view, int borderWidth);
// DrawControlFrame on `control` with `border` outside and the control's own colour inside. Call
// it from the control's paint after the base paint; it draws within the paint's region only.
void PaintControlFrame(QWidget* control, TColor border);

} // namespace pestrel
