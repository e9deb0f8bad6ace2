#pragma once
// The skinned tool bar: a flat tool bar whose hot, pressed and checked buttons are drawn in three
// colours of the style (border, button, pressed) instead of the system look; plain buttons keep
// the system look. Transparent, it shows its parent's background.

#include "skin/SUIThemes.h"

#include <QToolBar>

class QToolButton;

namespace pestrel {

// How a tool button is drawn: left to the system, raised (ButtonColor) or pressed
// (ButtonDownColor).
enum class TsuiToolButtonLook { Default, Raised, Pressed };
// Hot and pressed: pressed; hot, or pressed or checked: raised; otherwise the system look.
TsuiToolButtonLook ToolButtonLook(bool hot, bool pressed, bool checked);

class TsuiToolBar : public QToolBar {
    Q_OBJECT
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(pestrel::TColor ButtonColor READ ButtonColor WRITE setButtonColor)
    Q_PROPERTY(pestrel::TColor ButtonBorderColor READ ButtonBorderColor WRITE setButtonBorderColor)
    Q_PROPERTY(pestrel::TColor ButtonDownColor READ ButtonDownColor WRITE setButtonDownColor)
    Q_PROPERTY(pestrel::TColor Color READ Color WRITE setColor)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool ShowCaptions READ ShowCaptions WRITE setShowCaptions)

public:
    // Flat, opaque, in the style of the skinned form of the window `parent` belongs to.
    explicit TsuiToolBar(QWidget* parent = nullptr);

    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Except for Custom: the style's four colours; transparent in MacOS only.
    void setUIStyle(TsuiUIStyle style);
    TColor ButtonColor() const { return buttonColor_; }
    void setButtonColor(TColor color);
    TColor ButtonBorderColor() const { return buttonBorderColor_; }
    void setButtonBorderColor(TColor color);
    TColor ButtonDownColor() const { return buttonDownColor_; }
    void setButtonDownColor(TColor color);
    TColor Color() const { return color_; }
    void setColor(TColor color);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    // Captions below the images.
    bool ShowCaptions() const;
    void setShowCaptions(bool show);

protected:
    void paintEvent(QPaintEvent* event) override;
    void actionEvent(QActionEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Draws `button` in the skin's look; false leaves it to the system.
    bool drawButton(QToolButton* button);
    void repaintButtons();

    TsuiUIStyle uiStyle_ = TsuiUIStyle::Custom;
    TColor buttonColor_ = clBtnFace;
    TColor buttonBorderColor_ = clBlack;
    TColor buttonDownColor_ = clBtnFace;
    TColor color_ = clBtnFace;
    bool transparent_ = false;
};

} // namespace pestrel
