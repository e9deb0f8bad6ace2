#include "skin/framed/SUIEdit.h"

#include "skin/SUIThemes.h"
#include "skin/framed/SUIFramedControl.h"

namespace pestrel {

namespace {
constexpr int EditBorderWidth = 2;
}

TsuiEdit::TsuiEdit(QWidget* owner) : QLineEdit(owner), borderColor_(FormControlBorderColor(owner)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFrame(false);
    setTextMargins(EditBorderWidth, EditBorderWidth, EditBorderWidth, EditBorderWidth);
}

void TsuiEdit::setBorderColor(TColor color) {
    if (color == borderColor_)
        return;
    borderColor_ = color;
    update();
}

void TsuiEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    PaintControlFrame(this, borderColor_);
}

static const bool styled = RegisterStyleRule(srEdit, ApplyControlBorderColor<TsuiEdit>);

} // namespace pestrel
