#include "skin/buttons/SUICustomButton.h"

#include "skin/SUIPublic.h"
#include "skin/SkinAccessible.h"
#include "skin/SkinBitmaps.h"
#include "toolkit/ImageList.h"

#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>
#include <QVariant>

namespace pestrel {
namespace {

// The value ResHandle holds for the program's own module.
constexpr TResHandle OwnModule = 0x00400000;
// What a picture that cannot be loaded is replaced by.
constexpr QSize FallbackPictureSize(74, 21);

bool IsClickKey(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
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

TsuiCustomButton::TsuiCustomButton(QWidget* parent) : QAbstractButton(parent) {
    setResHandle(0);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    // A plain widget's colours and size policy, not those of Qt's button style.
    setBackgroundRole(QPalette::Window);
    setForegroundRole(QPalette::WindowText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    InstallSkinAccessibility();
}

void TsuiCustomButton::setUIStyle(TsuiUIStyle style) {
    if (style == uiStyle_)
        return;
    restyle(style);
}

void TsuiCustomButton::restyle(TsuiUIStyle style) {
    uiStyle_ = style;
    ApplyUIStyle(uiStyle_);
    UIStyleChanged();
    update();
}

void TsuiCustomButton::setCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    setAccessibleName(SpokenCaption(caption));
    updateAccelerator();
    CaptionChanged();
    update();
}

void TsuiCustomButton::setAutoSize(bool autoSize) {
    if (autoSize == autoSize_)
        return;
    autoSize_ = autoSize;
    AutoSizeChanged();
    update();
}

void TsuiCustomButton::setTabStop(bool tabStop) {
    if (tabStop == tabStop_)
        return;
    tabStop_ = tabStop;
    setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
    update();
}

void TsuiCustomButton::setTransparent(bool transparent) {
    if (transparent == transparent_)
        return;
    transparent_ = transparent;
    TransparentChanged();
    update();
}

TResHandle TsuiCustomButton::ResHandle() const {
    return resHandle_ == OwnModule ? 0 : resHandle_;
}

void TsuiCustomButton::setResHandle(TResHandle handle) {
    resHandle_ = handle == 0 ? OwnModule : handle;
}

void TsuiCustomButton::setPicNormalResName(const QString& name) {
    if (name == picNormalResName_)
        return;
    picNormalResName_ = name;
    AutoSizeChanged();
    update();
}

void TsuiCustomButton::setPicMouseOnResName(const QString& name) {
    if (name == picMouseOnResName_)
        return;
    picMouseOnResName_ = name;
    update();
}

void TsuiCustomButton::setPicMouseDownResName(const QString& name) {
    if (name == picMouseDownResName_)
        return;
    picMouseDownResName_ = name;
    update();
}

void TsuiCustomButton::AutoSizeChanged() {
    if (!autoSize_ || picNormalResName_.isEmpty())
        return;
    const QImage picture = loadResourcePicture(picNormalResName_);
    resize(picture.isNull() ? FallbackPictureSize : picture.size());
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

void TsuiCustomButton::setMaskPicture(bool mask) {
    maskPicture_ = mask;
    update();
}

void TsuiCustomButton::storePictureNames(TResHandle handle, const QString& normal,
                                         const QString& mouseOn, const QString& mouseDown) {
    setResHandle(handle);
    picNormalResName_ = normal;
    picMouseOnResName_ = mouseOn;
    picMouseDownResName_ = mouseDown;
}

QImage TsuiCustomButton::loadResourcePicture(const QString& name) const {
    // Bitmap resources exist only in the program's own module.
    return resHandle_ == OwnModule ? SkinBitmap(name) : QImage();
}

QImage TsuiCustomButton::LoadNormalPicture() const {
    return loadResourcePicture(picNormalResName_);
}

QImage TsuiCustomButton::LoadMouseOnPicture() const {
    return loadResourcePicture(picMouseOnResName_);
}

QImage TsuiCustomButton::LoadMouseDownPicture() const {
    return loadResourcePicture(picMouseDownResName_);
}

QImage TsuiCustomButton::LoadDisabledPicture() const {
    return loadResourcePicture(picNormalResName_);
}

QImage TsuiCustomButton::statePicture() const {
    QImage picture;
    switch (PictureState(isEnabled(), isDown(), mouseOver_)) {
    case TPictureState::Disabled:
        picture = LoadDisabledPicture();
        break;
    case TPictureState::MouseDown:
        picture = LoadMouseDownPicture();
        break;
    case TPictureState::MouseOn:
        picture = LoadMouseOnPicture();
        break;
    case TPictureState::Normal:
        picture = LoadNormalPicture();
        break;
    }
    if (picture.isNull()) {
        picture = QImage(FallbackPictureSize, QImage::Format_RGB32);
        picture.fill(palette().color(backgroundRole()));
    }
    return picture;
}

QColor TsuiCustomButton::fontColor() const {
    return palette().color(QPalette::Active, foregroundRole());
}

void TsuiCustomButton::DrawPicture(QPainter& canvas, const QImage& picture) {
    if (picture.width() == 0 || picture.height() == 0)
        return;
    TImageList images(picture.width(), picture.height());
    if (maskPicture_)
        images.addMasked(picture, QColorToColor(picture.pixelColor(0, 0)));
    else
        images.add(picture);
    images.draw(canvas, 0, 0, 0, isEnabled());
}

void TsuiCustomButton::DrawCaption(QPainter& canvas, const QString& caption) {
    const QRect area = rect();
    const int flags = CaptionFlags | Qt::AlignCenter;
    if (!isEnabled()) {
        DrawDisabledCaption(canvas, area, flags, caption);
        return;
    }
    canvas.setPen(fontColor());
    canvas.drawText(isDown() ? area.translated(1, 1) : area, flags, caption);
}

void TsuiCustomButton::DrawFocus(QPainter& canvas) {
    DrawFocusRect(canvas, {2, 2, width() - 2, height() - 2});
}

void TsuiCustomButton::paintEvent(QPaintEvent*) {
    const QImage picture = statePicture();
    PaintOffscreen(this, palette().color(backgroundRole()), [&](QPainter& canvas) {
        if (transparent_)
            DrawParentBackground(canvas, this);
        DrawPicture(canvas, picture);
        if (hasFocus() && tabStop_)
            DrawFocus(canvas);
        canvas.setFont(font());
        if (HasVisibleCaption(caption_))
            DrawCaption(canvas, caption_);
    });
}

bool TsuiCustomButton::hitButton(const QPoint& pos) const {
    return PointInRect(pos, {0, 0, width(), height()});
}

void TsuiCustomButton::setMouseOver(bool over) {
    if (mouseOver_ == over)
        return;
    mouseOver_ = over;
    update();
}

void TsuiCustomButton::armedClick() {
    if (!isEnabled())
        return;
    const QPointer<TsuiCustomButton> alive(this);
    if (parentWidget())
        SetWindowModalResult(window(), modalResult_);
    if (alive)
        click();
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
        setDown(true);
}

void TsuiCustomButton::mouseMoveEvent(QMouseEvent* event) {
    // Leaving cancels the press for good: coming back does not press again.
    if (!hitButton(event->position().toPoint())) {
        setMouseOver(false);
        setDown(false);
    }
}

void TsuiCustomButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isDown())
        return;
    setDown(false);
    armedClick();
}

void TsuiCustomButton::keyPressEvent(QKeyEvent* event) {
    if (!IsClickKey(event->key())) {
        QWidget::keyPressEvent(event); // not QAbstractButton's: arrows do not move the focus
        return;
    }
    if (hasFocus() && isEnabled())
        setDown(true);
}

void TsuiCustomButton::keyReleaseEvent(QKeyEvent* event) {
    if (!IsClickKey(event->key())) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    // Holding a key repeats releases as well as presses; only the real release clicks.
    if (event->isAutoRepeat() || !hasFocus() || !isDown() || !isEnabled())
        return;
    setDown(false);
    armedClick();
}

void TsuiCustomButton::focusInEvent(QFocusEvent*) {
    update();
}

void TsuiCustomButton::focusOutEvent(QFocusEvent*) {
    update();
}

void TsuiCustomButton::changeEvent(QEvent* event) {
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FontChanged();
    } else if (event->type() == QEvent::EnabledChange) {
        EnabledChanged();
        update();
    }
}

bool TsuiCustomButton::event(QEvent* event) {
    if (event->type() != QEvent::Shortcut ||
        static_cast<QShortcutEvent*>(event)->shortcutId() != acceleratorId_)
        return QAbstractButton::event(event);
    if (!isEnabled())
        return false;
    setFocus(Qt::ShortcutFocusReason);
    armedClick();
    return true;
}

void TsuiCustomButton::updateAccelerator() {
    if (acceleratorId_ != 0)
        releaseShortcut(acceleratorId_);
    const QKeySequence accelerator = QKeySequence::mnemonic(caption_);
    acceleratorId_ = accelerator.isEmpty() ? 0 : grabShortcut(accelerator);
}

} // namespace pestrel
