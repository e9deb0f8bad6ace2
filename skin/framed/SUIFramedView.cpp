#include "skin/framed/SUIFramedView.h"

#include "skin/framed/SUIFramedControl.h"

#include <QEvent>

namespace pestrel {

template <class View>
TsuiFramedView<View>::TsuiFramedView(QWidget* owner, int margin)
    : View(owner), borderColor_(FormControlBorderColor(owner)) {
    this->setAttribute(Qt::WA_OpaquePaintEvent);
    SetFrameMargin(this, margin);
}

template <class View> void TsuiFramedView<View>::setBorderColor(TColor color) {
    if (color == borderColor_)
        return;
    borderColor_ = color;
    this->update();
}

// The frame lies in the margin round the viewport, which scrolls and repaints on its own: the
// frame is painted here whenever the margin is.
template <class View> bool TsuiFramedView<View>::event(QEvent* event) {
    const bool handled = View::event(event);
    if (event->type() == QEvent::Paint)
        PaintControlFrame(this, borderColor_);
    return handled;
}

template class TsuiFramedView<QListWidget>;
template class TsuiFramedView<QPlainTextEdit>;
template class TsuiFramedView<QTreeWidget>;

} // namespace pestrel
