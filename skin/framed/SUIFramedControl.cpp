#include "skin/framed/SUIFramedControl.h"

#include "skin/SUIPublic.h"
#include "skin/SUIThemes.h"

#include <QPainter>
#include <QPalette>

namespace pestrel {

TColor FormControlBorderColor(const QWidget* owner) {
    return FindFormControlBorderColor(owner ? owner->window() : nullptr);
}

TColor FramedControlColor(const QWidget* control) {
    return QColorToColor(control->palette().color(QPalette::Base));
}

void SetFrameMargin(QFrame* view, int borderWidth) {
    view->setFrameStyle(QFrame::Box | QFrame::Plain);
    view->setLineWidth(borderWidth);
    view->setMidLineWidth(0);
}

void PaintControlFrame(QWidget* control, TColor border) {
    QPainter canvas(control);
    DrawControlFrame(canvas, control, border, FramedControlColor(control));
}

} // namespace pestrel
