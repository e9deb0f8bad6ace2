#pragma once
// The base of the skinned check box and radio button: a picture at the left, the caption beside
// it and a checked state. A subclass maps the style and the state to pictures and changes the
// state in nextCheckState(), which runs when the control clicks (a left-button press released
// over the control without having left it, Space or Enter, the accelerator), before clicked() is
// emitted, and when any other mouse button pressed on the control is released the same way. The
// constructor only stores the style of the window's skinned form: a subclass's constructor
// applies it with restyle(UIStyle()), once its ApplyUIStyle can run.

#include "skin/buttons/SUICustomButton.h"
#include "toolkit/Rect.h"

namespace pestrel {

class TsuiCustomButtonEx : public TsuiCustomButton {
    Q_OBJECT
    // Qt's `checked` under the name that layout files store.
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)

public:
    explicit TsuiCustomButtonEx(QWidget* parent = nullptr);
    // Stores `style` instead of looking up the window's skinned form.
    TsuiCustomButtonEx(QWidget* parent, TsuiUIStyle style);

    // Where the caption was last drawn; the focus mark uses it.
    TRect TextRect() const { return textRect_; }

protected:
    // Runs when the checked state changes, before toggled() reaches other receivers.
    virtual void CheckedChanged() {}
    virtual int GetPictureWidth() const = 0;
    virtual int GetPictureHeight() const = 0;

    // Base: the state stays as it is.
    void nextCheckState() override {}

    void AutoSizeChanged() override;
    void CaptionChanged() override;
    void FontChanged() override;
    void UIStyleChanged() override;
    void DrawPicture(QPainter& canvas, const QImage& picture) override;
    void DrawCaption(QPainter& canvas, const QString& caption) override;
    void DrawFocus(QPainter& canvas) override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // With AutoSize, fits the control to the picture and the caption.
    void fitToCaption();

    TRect textRect_;
    // Buttons other than the left one pressed on the control that have not left it since.
    Qt::MouseButtons otherPresses_;
};

} // namespace pestrel
