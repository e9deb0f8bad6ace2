#pragma once
// The skinned combo box: Qt's own combo box (list, editing, keyboard, events) with a flat
// two-colour frame and a repainted drop-down button, a filled rectangle or, in MacOS, the style's
// picture, under a small arrow that is engraved when the control is disabled.

#include "skin/SUIThemes.h"
#include "toolkit/Color.h"
#include "toolkit/Rect.h"

#include <QComboBox>

namespace pestrel {

class TsuiComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(uint ArrowColor READ ArrowColor WRITE setArrowColor)
    Q_PROPERTY(uint ButtonColor READ ButtonColor WRITE setButtonColor)

public:
    explicit TsuiComboBox(QWidget* parent = nullptr);

    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Derives the three colours from the style; Custom keeps the ones the control has.
    void setUIStyle(TsuiUIStyle style);
    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color);
    TColor ArrowColor() const { return arrowColor_; }
    void setArrowColor(TColor color);
    TColor ButtonColor() const { return buttonColor_; }
    void setButtonColor(TColor color);

    // The drop-down button, in the control's coordinates: as wide as a scroll bar and inside the
    // two-pixel frame, at the right.
    TRect buttonRect() const;
    // The arrow's top-left corner over `button`: centred across it, and as far below the
    // control's top as half the button's height.
    static QPoint arrowOrigin(const TRect& button);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setColor(TColor& field, TColor color);
    void paintButton(QPainter& canvas, const TRect& button);

    TsuiUIStyle uiStyle_ = TsuiUIStyle::Custom;
    // Until a style names them, the fallback style's colours.
    TColor borderColor_ = 0;
    TColor arrowColor_ = 0;
    TColor buttonColor_ = 0x00E8E8E8;
};

} // namespace pestrel
