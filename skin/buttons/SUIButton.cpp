#include "skin/buttons/SUIButton.h"

#include "skin/SUIPublic.h"
#include "toolkit/ImageList.h"

#include <QFontMetrics>
#include <QPainter>

namespace pestrel {
namespace {

constexpr int MacOSButtonHeight = 23;
const QColor FocusLineColor(0, 0, 255);

} // namespace

TsuiButton::TsuiButton(QWidget* parent) : TsuiCustomButton(parent) {
    resize(80, 27);
    restyle(FindFormUIStyle(parent ? parent->window() : nullptr));
}

void TsuiButton::setGlyph(const QImage& glyph) {
    if (glyph == glyph_)
        return;
    glyph_ = glyph;
    const bool twoFrames = glyph.width() == 2 * glyph.height();
    glyphFrames_ = TImageList(twoFrames ? glyph.height() : glyph.width(), glyph.height());
    if (hasGlyph())
        glyphFrames_.addMasked(glyph, QColorToColor(glyph.pixelColor(0, 0)));
    update();
}

void TsuiButton::setGlyphLayout(TButtonLayout layout) {
    if (layout == layout_)
        return;
    layout_ = layout;
    update();
}

void TsuiButton::setSpacing(int spacing) {
    if (spacing == spacing_)
        return;
    spacing_ = spacing;
    update();
}

TGlyphPlacement TsuiButton::placeGlyph(TButtonLayout layout, QSize button, QSize text, QSize glyph,
                                       int spacing) {
    const int W = button.width(), H = button.height();
    const int TW = text.width(), TH = text.height();
    const int GW = glyph.width(), GH = glyph.height();
    const int S = spacing;
    TGlyphPlacement at;
    switch (layout) {
    case blGlyphLeft:
        at.glyph = {(W - (TW + GW + S)) / 2, (H - GH) / 2};
        at.text = {at.glyph.x() + GW + S, (H - TH) / 2};
        break;
    case blGlyphRight:
        at.glyph = {(W + TW + S - GW) / 2, (H - GH) / 2};
        at.text = {at.glyph.x() - TW - S, (H - TH) / 2};
        break;
    case blGlyphTop:
        at.glyph = {(W - GW) / 2, (H - (TH + GH + S)) / 2};
        at.text = {(W - TW) / 2, at.glyph.y() + GH + S};
        break;
    case blGlyphBottom:
        at.glyph = {(W - GW) / 2, (H + TH + S - GH) / 2};
        at.text = {(W - TW) / 2, at.glyph.y() - TH - S};
        break;
    }
    return at;
}

QSize TsuiButton::sizeHint() const {
    return {80, UIStyle() == TsuiUIStyle::MacOS ? MacOSButtonHeight : 27};
}

void TsuiButton::UIStyleChanged() {
    if (UIStyle() == TsuiUIStyle::MacOS) {
        setFixedHeight(MacOSButtonHeight);
    } else if (minimumHeight() == MacOSButtonHeight && maximumHeight() == MacOSButtonHeight) {
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
    }
    setTransparent(UIStyle() == TsuiUIStyle::BlueGlass);
}

void TsuiButton::setPicMouseDownResName(const QString& name) {
    setUIStyle(TsuiUIStyle::Custom);
    TsuiCustomButton::setPicMouseDownResName(name);
}

void TsuiButton::setPicMouseOnResName(const QString& name) {
    setUIStyle(TsuiUIStyle::Custom);
    TsuiCustomButton::setPicMouseOnResName(name);
}

void TsuiButton::setPicNormalResName(const QString& name) {
    setUIStyle(TsuiUIStyle::Custom);
    TsuiCustomButton::setPicNormalResName(name);
}

QString TsuiButton::PicMouseDownResName() const {
    return UIStyle() == TsuiUIStyle::Custom ? TsuiCustomButton::PicMouseDownResName() : QString();
}

QString TsuiButton::PicMouseOnResName() const {
    return UIStyle() == TsuiUIStyle::Custom ? TsuiCustomButton::PicMouseOnResName() : QString();
}

QString TsuiButton::PicNormalResName() const {
    return UIStyle() == TsuiUIStyle::Custom ? TsuiCustomButton::PicNormalResName() : QString();
}

void TsuiButton::ApplyUIStyle(TsuiUIStyle& style) {
    if (style == TsuiUIStyle::Custom)
        return;
    storePictureNames(0, GetThemeString(style, tiButtonNormal),
                      GetThemeString(style, tiButtonMouseOn),
                      GetThemeString(style, tiButtonMouseDown));
}

void TsuiButton::DrawPicture(QPainter& canvas, const QImage& picture) {
    if (UIStyle() == TsuiUIStyle::Custom)
        TsuiCustomButton::DrawPicture(canvas, picture);
    else
        DrawSkinStretched(picture, canvas, {0, 0, width(), height()}, MaskPicture());
    if (hasGlyph())
        drawGlyph(canvas);
}

void TsuiButton::drawGlyph(QPainter& canvas) {
    const bool twoFrames = glyphFrames_.width() < glyph_.width();
    const QSize frame(glyphFrames_.width(), glyphFrames_.height());
    const QFontMetrics metrics(font());
    const QSize text(metrics.size(CaptionFlags, Caption()).width(), metrics.height());
    const TGlyphPlacement at = placeGlyph(layout_, size(), text, frame, spacing_);
    textOrigin_ = at.text;

    const QPoint glyphAt = isDown() ? at.glyph + QPoint(1, 1) : at.glyph;
    if (twoFrames)
        glyphFrames_.draw(canvas, glyphAt.x(), glyphAt.y(), isEnabled() ? 0 : 1, true);
    else
        glyphFrames_.draw(canvas, glyphAt.x(), glyphAt.y(), 0, isEnabled());
}

void TsuiButton::DrawCaption(QPainter& canvas, const QString& caption) {
    if (!hasGlyph()) {
        TsuiCustomButton::DrawCaption(canvas, caption);
        return;
    }
    const int flags = CaptionFlags | Qt::AlignLeft | Qt::AlignTop;
    auto from = [this](QPoint origin) { return QRect(origin, QPoint(width(), height())); };
    if (!isEnabled()) {
        DrawDisabledCaption(canvas, from(textOrigin_), flags, caption);
        return;
    }
    canvas.setPen(fontColor());
    canvas.drawText(from(isDown() ? textOrigin_ + QPoint(1, 1) : textOrigin_), flags, caption);
}

void TsuiButton::DrawFocus(QPainter& canvas) {
    if (UIStyle() != TsuiUIStyle::MacOS && UIStyle() != TsuiUIStyle::BlueGlass) {
        TsuiCustomButton::DrawFocus(canvas);
        return;
    }
    canvas.fillRect(10, height() - 5, width() - 20, 1, FocusLineColor);
}

static const bool buttonsStyled = RegisterStyleRule(srButton, ApplyStyleUnlessCustom<TsuiButton>);

} // namespace pestrel
