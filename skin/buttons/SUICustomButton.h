#pragma once
// The base of every skinned button: the state machine (mouse over, pressed), the one click path
// and the double-buffered paint of a state picture, a caption and a focus mark.
//
// It derives from QAbstractButton rather than QWidget. That gives the skinned buttons Qt's own
// clicked(bool), pressed(), released() and toggled() signals, a checked state that QButtonGroup
// and the accessibility layer understand, and nextCheckState() as the single hook where a
// check-type control changes state. What QAbstractButton would decide differently is overridden:
// the pointer is inside up to and including the pixel just past the right and bottom edges;
// leaving the control cancels a press for good; a release clicks whenever a press is still
// pending, wherever the pointer is; Space and Enter both click on release; the accelerator
// clicks at once; the arrow keys do not move the focus; the colours are the window's, not the
// button palette's, and the size policy is a plain widget's.

#include "skin/SUIThemes.h"

#include <QAbstractButton>
#include <QImage>
#include <QString>
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

class TsuiCustomButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    // The caption is the button's own text; Qt's `text` stays empty.
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
    // 0 stands for the program's own module.
    TResHandle ResHandle() const;
    virtual void setResHandle(TResHandle handle);
    // Each picture-name setter stores and repaints; the normal one also runs AutoSizeChanged.
    virtual QString PicNormalResName() const { return picNormalResName_; }
    virtual void setPicNormalResName(const QString& name);
    virtual QString PicMouseOnResName() const { return picMouseOnResName_; }
    virtual void setPicMouseOnResName(const QString& name);
    virtual QString PicMouseDownResName() const { return picMouseDownResName_; }
    virtual void setPicMouseDownResName(const QString& name);

    bool MouseOver() const { return mouseOver_; }
    // Whether the left button or Space/Enter is held down on the control is Qt's isDown().
    bool MaskPicture() const { return maskPicture_; }

signals:
    void mouseEnter();
    void mouseExit();

protected:
    virtual void AutoSizeChanged();
    virtual void CaptionChanged() {}
    virtual void FontChanged();
    virtual void TransparentChanged();
    virtual void EnabledChanged() {}
    virtual void UIStyleChanged();
    virtual void DrawPicture(QPainter& canvas, const QImage& picture);
    virtual void DrawCaption(QPainter& canvas, const QString& caption);
    virtual void DrawFocus(QPainter& canvas);
    // Each gives an empty image when the picture cannot be loaded.
    virtual QImage LoadNormalPicture() const;
    virtual QImage LoadMouseOnPicture() const;
    virtual QImage LoadMouseDownPicture() const;
    virtual QImage LoadDisabledPicture() const;
    virtual void ApplyUIStyle(TsuiUIStyle& style) = 0;

    // Stores, maps the style to pictures, runs UIStyleChanged and repaints, also when the style is
    // the one already held: for constructors, once the subclass's ApplyUIStyle can run.
    void restyle(TsuiUIStyle style);
    // The style stored without mapping it to pictures, for constructors of classes whose
    // mapping is not yet callable.
    void storeUIStyle(TsuiUIStyle style) { uiStyle_ = style; }
    // Whether the picture is drawn keyed on its top-left pixel colour; repaints.
    void setMaskPicture(bool mask);
    void storePictureNames(TResHandle handle, const QString& normal, const QString& mouseOn,
                           const QString& mouseDown);
    // The bitmap `name` of module `ResHandle`; empty when there is none.
    QImage loadResourcePicture(const QString& name) const;
    // The font colour of the caption.
    QColor fontColor() const;

    // Up to and including the pixel just past the right and bottom edges.
    bool hitButton(const QPoint& pos) const override;
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
    QImage statePicture() const;
    // Every click comes through here: writes the modal result, then QAbstractButton::click(),
    // which calls nextCheckState() (where a check-type control changes state) and emits
    // clicked().
    void armedClick();
    // Re-registers the caption's accelerator (Alt + the character after '&').
    void updateAccelerator();

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
    TResHandle resHandle_ = 0;
    int acceleratorId_ = 0;
};

// How the skinned buttons draw and measure their captions: single line, '&' marks the accelerator.
constexpr int CaptionFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;

} // namespace pestrel
