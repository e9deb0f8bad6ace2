#include "skin/framed/SUIListBox.h"

#include "skin/SUIThemes.h"
#include "skin/framed/SUIFramedControl.h"

#include <QEvent>

namespace pestrel {

TsuiListBox::TsuiListBox(QWidget* owner)
    : QListWidget(owner), borderColor_(FormControlBorderColor(owner)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetFrameMargin(this, 2);
}

void TsuiListBox::setBorderColor(TColor color) {
    if (color == borderColor_)
        return;
    borderColor_ = color;
    update();
}

// The frame lies in the margin round the viewport, which scrolls and repaints on its own: the
// frame is painted here whenever the margin is.
bool TsuiListBox::event(QEvent* event) {
    const bool handled = QListWidget::event(event);
    if (event->type() == QEvent::Paint)
        PaintControlFrame(this, borderColor_);
    return handled;
}

static const bool styled = RegisterStyleRule(srListBox, ApplyControlBorderColor<TsuiListBox>);

} // namespace pestrel
