#pragma once
// The skinned push button and the base of the skinned check box and radio button. Each paints a
// state picture (normal, mouse over, pressed), an optional glyph, its caption and a focus mark
// into an off-screen image and copies it in one block; it clicks on a left-button release that
// follows a press inside, on Space or Enter, and on the caption's accelerator.

#include "skin/SUIThemes.h"
#include "toolkit/Rect.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace pestrel {

using TModalResult = std::int32_t;
// Names the module whose bitmap resources the picture names refer to. The program's own module is
// the only one there is; it reads as 0.
using TResHandle = std::uint32_t;

// Writes `result` as the modal result of `window`: a dialog keeps it as its result (and a modal
// dialog shown at the moment ends with a non-zero one); any other window holds it in its
// "ModalResult" property.
void SetWindowModalResult(QWidget* window, TModalResult result);
TModalResult WindowModalResult(const QWidget* window);

class TsuiCustomButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool TabStop READ TabStop WRITE setTabStop)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE setModalResult)
    Q_PROPERTY(uint ResHandle READ ResHandle WRITE setResHandle)
    Q_PROPERTY(QString PicNormalResName READ PicNormalResName WRITE setPicNormalResName)
    Q_PROPERTY(QString PicMouseOnResName READ PicMouseOnResName WRITE setPicMouseOnResName)
    Q_PROPERTY(QString PicMouseDownResName READ PicMouseDownResName WRITE setPicMouseDownResName)

public:
    explicit TsuiCustomButton(QWidget* parent = nullptr);

    TsuiUIStyle UIStyle() const { return uiStyle_; }
    void setUIStyle(TsuiUIStyle style);
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);
    bool TabStop() const { return tabStop_; }
    void setTabStop(bool tabStop);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    TModalResult ModalResult() const { return modalResult_; }
    void setModalResult(TModalResult result) { modalResult_ = result; }
    TResHandle ResHandle() const;
    void setResHandle(TResHandle handle) { SetResHandle(handle); }
    QString PicNormalResName() const { return GetPicNormalResName(); }
    void setPicNormalResName(const QString& name) { SetPicNormalResName(name); }
    QString PicMouseOnResName() const { return GetPicMouseOnResName(); }
    void setPicMouseOnResName(const QString& name) { SetPicMouseOnResName(name); }
    QString PicMouseDownResName() const { return GetPicMouseDownResName(); }
    void setPicMouseDownResName(const QString& name) { SetPicMouseDownResName(name); }

    bool MouseOver() const { return mouseOver_; }
    bool Pressed() const { return pressed_; }
    bool MaskPicture() const { return maskPicture_; }

signals:
    void clicked();
    void mouseEnter();
    void mouseExit();

protected:
    virtual void AutoSizeChanged();
    virtual void CaptionChanged() {}
    virtual void FontChanged();
    virtual void TransparentChanged();
    virtual void EnabledChanged() {}
    virtual void UIStyleChanged();
    virtual void SetPicMouseDownResName(const QString& name);
    virtual void SetPicMouseOnResName(const QString& name);
    virtual void SetPicNormalResName(const QString& name);
    virtual QString GetPicMouseDownResName() const { return picMouseDownResName_; }
    virtual QString GetPicMouseOnResName() const { return picMouseOnResName_; }
    virtual QString GetPicNormalResName() const { return picNormalResName_; }
    virtual void SetResHandle(TResHandle handle);
    virtual void DrawPicture(QPainter& canvas, const QImage& picture);
    virtual void DrawCaption(QPainter& canvas, const QString& caption);
    virtual void DrawFocus(QPainter& canvas);
    // Each throws std::runtime_error when the picture cannot be loaded.
    virtual QImage LoadNormalPicture() const;
    virtual QImage LoadMouseOnPicture() const;
    virtual QImage LoadMouseDownPicture() const;
    virtual QImage LoadDisabledPicture() const;
    virtual void ApplyUIStyle(TsuiUIStyle& style) = 0;

    void StorePictureNames(TResHandle handle, const QString& normal, const QString& mouseOn,
                           const QString& mouseDown);
    // The bitmap `name` of module `ResHandle`; throws std::runtime_error when there is none.
    QImage LoadResourcePicture(const QString& name) const;
    // The style stored without mapping it to pictures, for constructors of classes whose
    // mapping is not yet callable.
    void StoreUIStyle(TsuiUIStyle style) { uiStyle_ = style; }
    // The font colour of the caption.
    QColor FontColor() const;

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void setMouseOver(bool over);
    void setPressed(bool pressed);
    QImage StatePicture() const;
    // Writes the modal result and fires clicked(); every click of the button comes through here.
    void Click();
    // Re-registers the caption's accelerator (Alt + the character after '&').
    void UpdateAccelerator();

    QString picNormalResName_;
    QString picMouseDownResName_;
    QString picMouseOnResName_;
    bool autoSize_ = false;
    QString caption_;
    bool tabStop_ = false;
    bool transparent_ = false;
    TModalResult modalResult_ = 0;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::Custom;
    bool maskPicture_ = false;
    bool mouseOver_ = false;
    bool pressed_ = false;
    TResHandle resHandle_ = 0;
    int acceleratorId_ = 0;
};

// Where a glyph and the caption beside it go, before the press offset.
struct TGlyphPlacement {
    QPoint glyph;
    QPoint text;
};

class TsuiButton : public TsuiCustomButton {
    Q_OBJECT
    Q_PROPERTY(QImage Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(TButtonLayout Layout READ Layout WRITE setLayout)
    Q_PROPERTY(int Spacing READ Spacing WRITE setSpacing)
    Q_PROPERTY(QPoint TextOrigin READ TextOrigin)

public:
    enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
    Q_ENUM(TButtonLayout)

    explicit TsuiButton(QWidget* parent = nullptr);

    const QImage& Glyph() const { return glyph_; }
    void setGlyph(const QImage& glyph);
    TButtonLayout Layout() const { return layout_; }
    void setLayout(TButtonLayout layout);
    int Spacing() const { return spacing_; }
    void setSpacing(int spacing);
    QPoint TextOrigin() const { return textOrigin_; }

    // Glyph and caption positions in a W x H button for a caption of TW x TH and a glyph frame of
    // GW x GH, S pixels apart.
    static TGlyphPlacement PlaceGlyph(TButtonLayout layout, QSize button, QSize text, QSize glyph,
                                      int spacing);

    QSize sizeHint() const override;

protected:
    void UIStyleChanged() override;
    void SetPicMouseDownResName(const QString& name) override;
    void SetPicMouseOnResName(const QString& name) override;
    void SetPicNormalResName(const QString& name) override;
    QString GetPicMouseDownResName() const override;
    QString GetPicMouseOnResName() const override;
    QString GetPicNormalResName() const override;
    void DrawPicture(QPainter& canvas, const QImage& picture) override;
    void DrawCaption(QPainter& canvas, const QString& caption) override;
    void DrawFocus(QPainter& canvas) override;
    void ApplyUIStyle(TsuiUIStyle& style) override;

private:
    bool HasGlyph() const { return !glyph_.isNull() && glyph_.width() > 0 && glyph_.height() > 0; }
    void DrawGlyph(QPainter& canvas);

    QImage glyph_;
    TButtonLayout layout_ = blGlyphLeft;
    QPoint textOrigin_;
    int spacing_ = 4;
};

// A picture at the left, the caption beside it and a Checked state; the check box and the radio
// button map the style and the state to pictures and decide what Toggle does. The constructor only
// stores the style of the window's skinned form: a subclass's constructor applies it with
// setUIStyle(UIStyle()), once its ApplyUIStyle can run. Toggle runs exactly when the control
// clicks: after a left-button press released without leaving, Space or Enter, the accelerator.
class TsuiCustomButtonEx : public TsuiCustomButton {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)

public:
    explicit TsuiCustomButtonEx(QWidget* parent = nullptr);

    bool Checked() const { return checked_; }
    void setChecked(bool checked);
    TRect TextRect() const { return textRect_; }

protected:
    virtual void Toggle() {}
    virtual void CheckedChanged() {}
    virtual int GetPictureWidth() const = 0;
    virtual int GetPictureHeight() const = 0;

    void AutoSizeChanged() override;
    void CaptionChanged() override;
    void FontChanged() override;
    void UIStyleChanged() override;
    void DrawPicture(QPainter& canvas, const QImage& picture) override;
    void DrawCaption(QPainter& canvas, const QString& caption) override;
    void DrawFocus(QPainter& canvas) override;

    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void AdjustSize();

    bool checked_ = false;
    TRect textRect_;
};

} // namespace pestrel
