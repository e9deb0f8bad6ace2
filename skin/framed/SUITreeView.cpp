#include "skin/framed/SUITreeView.h"

#include "skin/SUIThemes.h"
#include "skin/framed/SUIFramedControl.h"

#include <QEvent>

namespace pestrel {

TsuiTreeView::TsuiTreeView(QWidget* owner)
    : QTreeWidget(owner), borderColor_(FormControlBorderColor(owner)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetFrameMargin(this, 2);
}

void TsuiTreeView::setBorderColor(TColor color) {
    if (color == borderColor_)
        return;
    borderColor_ = color;
    update();
}

// The frame lies in the margin round the viewport, which scrolls and repaints on its own: the
// frame is painted here whenever the margin is.
bool TsuiTreeView::event(QEvent* event) {
    const bool handled = QTreeWidget::event(event);
    if (event->type() == QEvent::Paint)
        PaintControlFrame(this, borderColor_);
    return handled;
}

static const bool styled = RegisterStyleRule(srTreeView, ApplyControlBorderColor<TsuiTreeView>);

} // namespace pestrel
