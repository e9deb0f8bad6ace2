#pragma once
// The flat menu bar of a TsuiForm: one item per top-level item of the form's Menu, under the
// title bar. A click on an item (or its accelerator) drops the item's menu down. It is a real
// QMenuBar, so keyboard navigation between the drop-downs works as usual; only its look is the
// skin's.

#include "skin/SUIThemes.h"

#include <QMenuBar>
#include <memory>

namespace pestrel {

class TsuiForm;

class TsuiMenuBar : public QMenuBar {
    Q_OBJECT

public:
    // A child of `frame`, in the frame's MenuBarColor and MenuBarHeight.
    explicit TsuiMenuBar(TsuiForm* frame);
    ~TsuiMenuBar() override;

    // One item for each top-level item of `menu`, in its order.
    void Rebuild(const QMenu* menu);
    // Takes the captions of the menu's items.
    void UpdateCaptions();
    // The system menu font, or the font settings of a skinned menu.
    void UpdateFont();
    // The Menu's own style when it is a skinned one, else the frame's.
    TsuiUIStyle EffectiveStyle() const;
    TColor Color() const { return color_; }
    void setColor(TColor value);
    void setBarHeight(int value);
    // The colour of captions that are neither hot nor pressed.
    TColor FontColor() const { return fontColor_; }

private:
    TsuiForm* frame_;
    std::unique_ptr<QStyle> barStyle_;
    TColor color_;
    TColor fontColor_ = clMenuText;
};

} // namespace pestrel
