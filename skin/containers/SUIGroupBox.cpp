#include "skin/containers/SUIGroupBox.h"

#include "skin/SUIPublic.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>

namespace pestrel {

TsuiCustomGroupBox::TsuiCustomGroupBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 105);
    // Custom names no colours; a box made under it starts in the fallback style's.
    TsuiUIStyle style = FindFormUIStyle(parent ? parent->window() : nullptr);
    if (style == TsuiUIStyle::Custom)
        style = TsuiUIStyle::DeepBlue;
    borderColor_ = GetThemeColor(style, tiControlBorderColor);
    fontColor_ = GetThemeColor(style, tiGroupFontColor);
    applyPalette();
    updateMargins();
}

void TsuiCustomGroupBox::setCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    update();
}

void TsuiCustomGroupBox::setBorderColor(TColor color) {
    if (color == borderColor_)
        return;
    borderColor_ = color;
    update();
}

void TsuiCustomGroupBox::setColor(TColor color) {
    if (color == color_ && !parentColor_)
        return;
    color_ = color;
    parentColor_ = false;
    applyPalette();
}

void TsuiCustomGroupBox::setParentColor(bool parentColor) {
    if (parentColor == parentColor_)
        return;
    parentColor_ = parentColor;
    applyPalette();
}

void TsuiCustomGroupBox::setTransparent(bool transparent) {
    if (transparent == transparent_)
        return;
    transparent_ = transparent;
    update();
}

void TsuiCustomGroupBox::setFontColor(TColor color) {
    if (color == fontColor_)
        return;
    fontColor_ = color;
    applyPalette();
}

void TsuiCustomGroupBox::applyPalette() {
    // Only the roles the box sets are its own; the rest, and Window under ParentColor, come from
    // the parent and pass on to the children.
    QPalette own;
    if (!parentColor_)
        own.setColor(QPalette::Window, ColorToQColor(color_));
    own.setColor(QPalette::WindowText, ColorToQColor(fontColor_));
    setPalette(own);
    update();
}

void TsuiCustomGroupBox::updateMargins() {
    setContentsMargins(3, QFontInfo(font()).pixelSize(), 2, 2);
}

TRect TsuiCustomGroupBox::childrenArea() const {
    return TRect::fromQRect(contentsRect());
}

void TsuiCustomGroupBox::paintEvent(QPaintEvent*) {
    PaintOffscreen(this, palette().color(QPalette::Window), [&](QPainter& canvas) {
        if (transparent_)
            DrawParentBackground(canvas, this);
        canvas.setFont(font());
        const int w = width(), h = height();
        const int y = QFontInfo(font()).pixelSize() / 2 + 1;
        const QColor border = ColorToQColor(borderColor_);
        DrawOpenTopBorder(canvas, {0, y, w, h}, 1, border);
        if (caption_.isEmpty()) {
            canvas.fillRect(0, y, w, 1, border);
            return;
        }
        // The top line leaves a gap from x = 3 to x = caption width + 6 for the caption at x = 5.
        const int gapEnd = QFontMetrics(font()).horizontalAdvance(caption_) + 6;
        canvas.fillRect(0, y, 3, 1, border);
        canvas.fillRect(gapEnd + 1, y, w - gapEnd - 1, 1, border);
        canvas.setPen(isEnabled() ? palette().color(QPalette::Active, QPalette::WindowText)
                                  : QColor(DisabledCaptionGrey));
        canvas.drawText(QRect(5, 0, w - 5, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                        caption_);
    });
}

void TsuiCustomGroupBox::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateMargins();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange)
        update();
}

// The box's own state is the one Qt keeps apart from its parent's.
void TsuiCustomGroupBox::setEnabled(bool value) {
    if (testAttribute(Qt::WA_ForceDisabled) == !value)
        return;
    QWidget::setEnabled(value);
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (auto* box = qobject_cast<TsuiCustomGroupBox*>(child))
            box->setEnabled(value);
        else
            child->setEnabled(value);
    }
}

void TsuiCustomGroupBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

namespace {

// Custom names no colours: a box restyled to it keeps the ones it has. Either way the box hands
// the style on to the controls inside it, wherever it sits.
void ApplyGroupBoxStyle(QObject* child, TsuiUIStyle style) {
    auto* box = dynamic_cast<TsuiGroupBox*>(child);
    if (!box)
        return;
    if (style != TsuiUIStyle::Custom) {
        box->setBorderColor(GetThemeColor(style, tiControlBorderColor));
        box->setFontColor(GetThemeColor(style, tiGroupFontColor));
        box->setColor(GetThemeColor(style, tiControlColor));
    }
    ContainerApplyUIStyle(box, style);
}

} // namespace

static const bool groupBoxesStyled = RegisterStyleRule(srGroupBox, ApplyGroupBoxStyle) &&
                                     RegisterStyledContainer(IsInstanceOf<TsuiGroupBox>);

} // namespace pestrel
