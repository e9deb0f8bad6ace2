#include "skin/framed/SUIMemo.h"

#include "skin/SUIThemes.h"
#include "skin/framed/SUIFramedControl.h"

#include <QEvent>

namespace pestrel {

TsuiMemo::TsuiMemo(QWidget* owner)
    : QPlainTextEdit(owner), borderColor_(FormControlBorderColor(owner)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetFrameMargin(this, 2);
}

void TsuiMemo::setBorderColor(TColor color) {
    if (color == borderColor_)
        return;
    borderColor_ = color;
    update();
}

// The frame lies in the margin round the viewport, which scrolls and repaints on its own: the
// frame is painted here whenever the margin is.
bool TsuiMemo::event(QEvent* event) {
    const bool handled = QPlainTextEdit::event(event);
    if (event->type() == QEvent::Paint)
        PaintControlFrame(this, borderColor_);
    return handled;
}

static const bool styled = RegisterStyleRule(srMemo, ApplyControlBorderColor<TsuiMemo>);

} // namespace pestrel
