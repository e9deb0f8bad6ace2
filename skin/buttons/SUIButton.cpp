#include "skin/buttons/SUIButton.h"

#include "skin/SUIPublic.h"
#include "skin/SkinBitmaps.h"
#include "toolkit/ImageList.h"

#include <QDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>
#include <QVariant>
#include <algorithm>
#include <stdexcept>

namespace pestrel {
namespace {

// The value ResHandle holds for the program's own module.
constexpr TResHandle OwnModule = 0x00400000;
// What a picture that cannot be loaded is replaced by.
constexpr QSize FallbackPictureSize(74, 21);
constexpr int MacOSButtonHeight = 23;
const QColor DisabledShadow(255, 255, 255);
const QColor DisabledText(128, 128, 128);
const QColor FocusLineColour(0, 0, 255);
constexpr int CaptionFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;

bool IsClickKey(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

// True when `text` has something left after blanks and control characters are cut off its ends.
bool HasVisibleText(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c > u' '; });
}

// The dotted focus rectangle: every other pixel of the frame inverted, so it shows on any
// background.
void DrawFocusRect(QPainter& canvas, const TRect& r) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    QPolygon dots;
    auto dot = [&dots](int x, int y) {
        if ((x + y) % 2 == 0)
            dots << QPoint(x, y);
    };
    for (int x = r.Left; x < r.Right; ++x) {
        dot(x, r.Top);
        if (r.Bottom - 1 > r.Top)
            dot(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        dot(r.Left, y);
        if (r.Right - 1 > r.Left)
            dot(r.Right - 1, y);
    }
    canvas.save();
    canvas.setCompositionMode(QPainter::CompositionMode_Difference);
    canvas.setPen(QPen(Qt::white, 0));
    canvas.drawPoints(dots);
    canvas.restore();
}

QImage FallbackPicture(const QColor& colour) {
    QImage picture(FallbackPictureSize, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

TColor TopLeftColour(const QImage& image) {
    return QColorToColor(image.pixelColor(0, 0));
}

} // namespace

void SetWindowModalResult(QWidget* window, TModalResult result) {
    if (!window)
        return;
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        if (result != 0 && dialog->isModal() && dialog->isVisible())
            dialog->done(result);
        else
            dialog->setResult(result);
        return;
    }
    window->setProperty("ModalResult", result);
}

TModalResult WindowModalResult(const QWidget* window) {
    if (!window)
        return 0;
    if (auto* dialog = qobject_cast<const QDialog*>(window))
        return dialog->result();
    return window->property("ModalResult").toInt();
}

// --- TsuiCustomButton
// -----------------------------------------------------------------------------

TsuiCustomButton::TsuiCustomButton(QWidget* parent) : QWidget(parent) {
    SetResHandle(0);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void TsuiCustomButton::setUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    ApplyUIStyle(uiStyle_);
    UIStyleChanged();
    update();
}

void TsuiCustomButton::setCaption(const QString& caption) {
    caption_ = caption;
    UpdateAccelerator();
    CaptionChanged();
    update();
}

void TsuiCustomButton::setAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AutoSizeChanged();
    update();
}

void TsuiCustomButton::setTabStop(bool tabStop) {
    tabStop_ = tabStop;
    setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
}

void TsuiCustomButton::setTransparent(bool transparent) {
    transparent_ = transparent;
    TransparentChanged();
    update();
}

TResHandle TsuiCustomButton::ResHandle() const {
    return resHandle_ == OwnModule ? 0 : resHandle_;
}

void TsuiCustomButton::AutoSizeChanged() {
    if (!autoSize_ || picNormalResName_.isEmpty())
        return;
    try {
        resize(LoadResourcePicture(picNormalResName_).size());
    } catch (const std::exception&) {
        resize(FallbackPictureSize);
    }
}

void TsuiCustomButton::FontChanged() {
    update();
}

void TsuiCustomButton::TransparentChanged() {
    maskPicture_ = transparent_;
    update();
}

void TsuiCustomButton::UIStyleChanged() {
    if (uiStyle_ == TsuiUIStyle::Custom)
        setAutoSize(true);
}

void TsuiCustomButton::SetPicMouseDownResName(const QString& name) {
    picMouseDownResName_ = name;
    update();
}

void TsuiCustomButton::SetPicMouseOnResName(const QString& name) {
    picMouseOnResName_ = name;
    update();
}

void TsuiCustomButton::SetPicNormalResName(const QString& name) {
    picNormalResName_ = name;
    AutoSizeChanged();
    update();
}

void TsuiCustomButton::SetResHandle(TResHandle handle) {
    resHandle_ = handle == 0 ? OwnModule : handle;
}

void TsuiCustomButton::StorePictureNames(TResHandle handle, const QString& normal,
                                         const QString& mouseOn, const QString& mouseDown) {
    SetResHandle(handle);
    picNormalResName_ = normal;
    picMouseOnResName_ = mouseOn;
    picMouseDownResName_ = mouseDown;
}

QImage TsuiCustomButton::LoadResourcePicture(const QString& name) const {
    if (resHandle_ != OwnModule)
        throw std::runtime_error("bitmap resources exist only in the program's own module");
    return LoadSkinBitmap(name);
}

QImage TsuiCustomButton::LoadNormalPicture() const {
    return LoadResourcePicture(picNormalResName_);
}

QImage TsuiCustomButton::LoadMouseOnPicture() const {
    return LoadResourcePicture(picMouseOnResName_);
}

QImage TsuiCustomButton::LoadMouseDownPicture() const {
    return LoadResourcePicture(picMouseDownResName_);
}

QImage TsuiCustomButton::LoadDisabledPicture() const {
    return LoadResourcePicture(picNormalResName_);
}

QImage TsuiCustomButton::StatePicture() const {
    try {
        if (!isEnabled())
            return LoadDisabledPicture();
        if (pressed_)
            return LoadMouseDownPicture();
        if (mouseOver_)
            return LoadMouseOnPicture();
        return LoadNormalPicture();
    } catch (const std::exception&) {
        return FallbackPicture(palette().color(backgroundRole()));
    }
}

QColor TsuiCustomButton::FontColor() const {
    return palette().color(QPalette::Active, foregroundRole());
}

void TsuiCustomButton::DrawPicture(QPainter& canvas, const QImage& picture) {
    if (picture.width() == 0 || picture.height() == 0)
        return;
    TImageList images(picture.width(), picture.height());
    if (maskPicture_)
        images.addMasked(picture, TopLeftColour(picture));
    else
        images.add(picture);
    images.draw(canvas, 0, 0, 0, isEnabled());
}

void TsuiCustomButton::DrawCaption(QPainter& canvas, const QString& caption) {
    const QRect area = rect();
    const int flags = CaptionFlags | Qt::AlignCenter;
    if (!isEnabled()) {
        canvas.setPen(DisabledShadow);
        canvas.drawText(area.translated(1, 1), flags, caption);
        canvas.setPen(DisabledText);
        canvas.drawText(area, flags, caption);
        return;
    }
    canvas.setPen(FontColor());
    canvas.drawText(pressed_ ? area.translated(1, 1) : area, flags, caption);
}

void TsuiCustomButton::DrawFocus(QPainter& canvas) {
    DrawFocusRect(canvas, {2, 2, width() - 2, height() - 2});
}

void TsuiCustomButton::paintEvent(QPaintEvent*) {
    const QImage picture = StatePicture();
    QImage buffer(size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter canvas(&buffer);
        buffer.fill(palette().color(backgroundRole()));
        if (transparent_)
            DrawParentBackground(canvas, this);
        DrawPicture(canvas, picture);
        if (hasFocus() && tabStop_)
            DrawFocus(canvas);
        canvas.setFont(font());
        if (HasVisibleText(caption_))
            DrawCaption(canvas, caption_);
    }
    QPainter(this).drawImage(0, 0, buffer);
}

void TsuiCustomButton::setMouseOver(bool over) {
    if (mouseOver_ == over)
        return;
    mouseOver_ = over;
    update();
}

void TsuiCustomButton::setPressed(bool pressed) {
    if (pressed_ == pressed)
        return;
    pressed_ = pressed;
    update();
}

void TsuiCustomButton::Click() {
    if (!isEnabled())
        return;
    if (parentWidget())
        SetWindowModalResult(window(), modalResult_);
    emit clicked();
}

void TsuiCustomButton::enterEvent(QEnterEvent*) {
    setMouseOver(true);
    emit mouseEnter();
}

void TsuiCustomButton::leaveEvent(QEvent*) {
    setMouseOver(false);
    emit mouseExit();
}

void TsuiCustomButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        setPressed(true);
}

void TsuiCustomButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (at.x() < 0 || at.y() < 0 || at.x() > width() || at.y() > height()) {
        setMouseOver(false);
        setPressed(false);
    }
}

void TsuiCustomButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    setPressed(false);
    Click();
}

void TsuiCustomButton::keyPressEvent(QKeyEvent* event) {
    if (!IsClickKey(event->key())) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (hasFocus() && isEnabled())
        setPressed(true);
}

void TsuiCustomButton::keyReleaseEvent(QKeyEvent* event) {
    if (!IsClickKey(event->key())) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    // Holding a key repeats releases as well as presses; only the real release clicks.
    if (event->isAutoRepeat() || !hasFocus() || !pressed_ || !isEnabled())
        return;
    setPressed(false);
    Click();
}

void TsuiCustomButton::focusInEvent(QFocusEvent*) {
    update();
}

void TsuiCustomButton::focusOutEvent(QFocusEvent*) {
    update();
}

void TsuiCustomButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FontChanged();
    } else if (event->type() == QEvent::EnabledChange) {
        EnabledChanged();
        update();
    }
}

bool TsuiCustomButton::event(QEvent* event) {
    if (event->type() != QEvent::Shortcut)
        return QWidget::event(event);
    if (static_cast<QShortcutEvent*>(event)->shortcutId() != acceleratorId_ || !isEnabled())
        return false;
    setFocus(Qt::ShortcutFocusReason);
    Click();
    return true;
}

void TsuiCustomButton::UpdateAccelerator() {
    if (acceleratorId_ != 0)
        releaseShortcut(acceleratorId_);
    const QKeySequence accelerator = QKeySequence::mnemonic(caption_);
    acceleratorId_ = accelerator.isEmpty() ? 0 : grabShortcut(accelerator);
}

// --- TsuiButton
// -----------------------------------------------------------------------------------

TsuiButton::TsuiButton(QWidget* parent) : TsuiCustomButton(parent) {
    resize(80, 27);
    setUIStyle(FindFormUIStyle(parent ? parent->window() : nullptr));
}

void TsuiButton::setGlyph(const QImage& glyph) {
    glyph_ = glyph;
    update();
}

void TsuiButton::setLayout(TButtonLayout layout) {
    layout_ = layout;
    update();
}

void TsuiButton::setSpacing(int spacing) {
    spacing_ = spacing;
    update();
}

TGlyphPlacement TsuiButton::PlaceGlyph(TButtonLayout layout, QSize button, QSize text, QSize glyph,
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

void TsuiButton::SetPicMouseDownResName(const QString& name) {
    setUIStyle(TsuiUIStyle::Custom);
    TsuiCustomButton::SetPicMouseDownResName(name);
}

void TsuiButton::SetPicMouseOnResName(const QString& name) {
    setUIStyle(TsuiUIStyle::Custom);
    TsuiCustomButton::SetPicMouseOnResName(name);
}

void TsuiButton::SetPicNormalResName(const QString& name) {
    setUIStyle(TsuiUIStyle::Custom);
    TsuiCustomButton::SetPicNormalResName(name);
}

QString TsuiButton::GetPicMouseDownResName() const {
    return UIStyle() == TsuiUIStyle::Custom ? TsuiCustomButton::GetPicMouseDownResName()
                                            : QString();
}

QString TsuiButton::GetPicMouseOnResName() const {
    return UIStyle() == TsuiUIStyle::Custom ? TsuiCustomButton::GetPicMouseOnResName() : QString();
}

QString TsuiButton::GetPicNormalResName() const {
    return UIStyle() == TsuiUIStyle::Custom ? TsuiCustomButton::GetPicNormalResName() : QString();
}

void TsuiButton::ApplyUIStyle(TsuiUIStyle& style) {
    if (style == TsuiUIStyle::Custom)
        return;
    StorePictureNames(0, GetThemeString(style, tiButtonNormal),
                      GetThemeString(style, tiButtonMouseOn),
                      GetThemeString(style, tiButtonMouseDown));
}

void TsuiButton::DrawPicture(QPainter& canvas, const QImage& picture) {
    if (UIStyle() == TsuiUIStyle::Custom)
        TsuiCustomButton::DrawPicture(canvas, picture);
    else
        DrawSkinStretched(picture, canvas, {0, 0, width(), height()}, MaskPicture());
    if (HasGlyph())
        DrawGlyph(canvas);
}

void TsuiButton::DrawGlyph(QPainter& canvas) {
    const bool twoFrames = glyph_.width() == 2 * glyph_.height();
    const QSize frame(twoFrames ? glyph_.height() : glyph_.width(), glyph_.height());
    const QFontMetrics metrics(font());
    const QSize text(metrics.size(CaptionFlags, Caption()).width(), metrics.height());
    const TGlyphPlacement at = PlaceGlyph(layout_, size(), text, frame, spacing_);
    textOrigin_ = at.text;

    const QPoint glyphAt = Pressed() ? at.glyph + QPoint(1, 1) : at.glyph;
    TImageList frames(frame.width(), frame.height());
    frames.addMasked(glyph_, TopLeftColour(glyph_));
    if (twoFrames)
        frames.draw(canvas, glyphAt.x(), glyphAt.y(), isEnabled() ? 0 : 1, true);
    else
        frames.draw(canvas, glyphAt.x(), glyphAt.y(), 0, isEnabled());
}

void TsuiButton::DrawCaption(QPainter& canvas, const QString& caption) {
    if (!HasGlyph()) {
        TsuiCustomButton::DrawCaption(canvas, caption);
        return;
    }
    const int flags = CaptionFlags | Qt::AlignLeft | Qt::AlignTop;
    auto from = [this](QPoint origin) { return QRect(origin, QPoint(width(), height())); };
    if (!isEnabled()) {
        canvas.setPen(DisabledShadow);
        canvas.drawText(from(textOrigin_ + QPoint(1, 1)), flags, caption);
        canvas.setPen(DisabledText);
        canvas.drawText(from(textOrigin_), flags, caption);
        return;
    }
    canvas.setPen(FontColor());
    canvas.drawText(from(Pressed() ? textOrigin_ + QPoint(1, 1) : textOrigin_), flags, caption);
}

void TsuiButton::DrawFocus(QPainter& canvas) {
    if (UIStyle() != TsuiUIStyle::MacOS && UIStyle() != TsuiUIStyle::BlueGlass) {
        TsuiCustomButton::DrawFocus(canvas);
        return;
    }
    canvas.fillRect(10, height() - 5, width() - 20, 1, FocusLineColour);
}

// --- TsuiCustomButtonEx
// ---------------------------------------------------------------------------

TsuiCustomButtonEx::TsuiCustomButtonEx(QWidget* parent) : TsuiCustomButton(parent) {
    setTabStop(true);
    StoreUIStyle(FindFormUIStyle(parent ? parent->window() : nullptr));
    resize(93, height());
}

void TsuiCustomButtonEx::setChecked(bool checked) {
    if (checked_ == checked)
        return;
    checked_ = checked;
    CheckedChanged();
    update();
}

void TsuiCustomButtonEx::AdjustSize() {
    if (!AutoSize())
        return;
    const int fontHeight = QFontInfo(font()).pixelSize();
    const int textWidth = QFontMetrics(font()).size(CaptionFlags, Caption()).width();
    resize(GetPictureWidth() + 8 + textWidth, std::max(fontHeight + 2, GetPictureHeight()) + 4);
}

void TsuiCustomButtonEx::AutoSizeChanged() {
    AdjustSize();
}

void TsuiCustomButtonEx::CaptionChanged() {
    AdjustSize();
}

void TsuiCustomButtonEx::FontChanged() {
    TsuiCustomButton::FontChanged();
    AdjustSize();
}

void TsuiCustomButtonEx::UIStyleChanged() {
    // Unlike the base, a Custom style leaves AutoSize alone.
}

void TsuiCustomButtonEx::DrawPicture(QPainter& canvas, const QImage& picture) {
    if (picture.width() == 0 || picture.height() == 0)
        return;
    const int top = (height() - GetPictureHeight()) / 2;
    canvas.drawImage(1, top, MaskPicture() ? MaskedImage(picture, picture.pixel(0, 0)) : picture);
}

void TsuiCustomButtonEx::DrawCaption(QPainter& canvas, const QString& caption) {
    const int fontHeight = QFontInfo(font()).pixelSize();
    textRect_ = {GetPictureWidth() + 4, (height() - (fontHeight + 2)) / 2, width(), height()};
    canvas.setPen(isEnabled() ? FontColor() : DisabledText);
    canvas.drawText(textRect_.toQRect(), CaptionFlags | Qt::AlignLeft | Qt::AlignTop, caption);
}

void TsuiCustomButtonEx::DrawFocus(QPainter& canvas) {
    // The rectangle of the previous paint: the caption is drawn after the focus mark.
    textRect_.Left -= 1;
    DrawFocusRect(canvas, textRect_);
}

void TsuiCustomButtonEx::mouseReleaseEvent(QMouseEvent* event) {
    if (isEnabled() && isVisible())
        setFocus(Qt::MouseFocusReason);
    // Toggles exactly when the release clicks: not after the pointer has left, not for other
    // buttons.
    if (event->button() == Qt::LeftButton && Pressed())
        Toggle();
    TsuiCustomButton::mouseReleaseEvent(event);
}

void TsuiCustomButtonEx::keyReleaseEvent(QKeyEvent* event) {
    if (IsClickKey(event->key()) && !event->isAutoRepeat() && hasFocus() && Pressed() &&
        isEnabled())
        Toggle();
    TsuiCustomButton::keyReleaseEvent(event);
}

void TsuiCustomButtonEx::resizeEvent(QResizeEvent* event) {
    TsuiCustomButton::resizeEvent(event);
    AdjustSize();
}

bool TsuiCustomButtonEx::event(QEvent* event) {
    if (event->type() != QEvent::Shortcut)
        return TsuiCustomButton::event(event);
    const QPointer<TsuiCustomButtonEx> alive(this);
    const bool handled = TsuiCustomButton::event(event);
    if (handled && alive)
        Toggle();
    return handled;
}

static const bool buttonsStyled = RegisterStyleRule(srButton, ApplyStyleUnlessCustom<TsuiButton>);

} // namespace pestrel
