#pragma once
// The flat menu bar of a skinned window: one item per top-level item of the window's Menu, under
// the title bar. A click on an item (or its accelerator) drops the item's menu down. It is a real
// QMenuBar holding the menu's own actions, so keyboard navigation between the drop-downs works as
// usual and the items' shortcuts are window shortcuts of the window it sits in; only its look is
// the skin's. It follows what a skinned menu announces; it knows nothing of the window's frame.

#include "skin/SUIThemes.h"

#include <QMenuBar>
#include <QPointer>
#include <memory>

namespace pestrel {

class TsuiMenuBar : public QMenuBar {
    Q_OBJECT

public:
    // A child of `parent`, `height` high, in `color`.
    TsuiMenuBar(QWidget* parent, TColor color, int height);
    ~TsuiMenuBar() override;

    QMenu* menu() const { return menu_; }
    // Shows the top-level items of `menu` and, for a skinned menu, follows its announcements.
    void setMenu(QMenu* menu);
    // The frame's style: the bar's style while the menu has no style of its own.
    void setFrameStyle(TsuiUIStyle style);
    // One item for each top-level item of the menu, in its order.
    void rebuild();
    // Shows the menu's captions as they are now.
    void updateCaptions();
    // The system menu font, or the font settings and FontColor of a skinned menu.
    void updateFont();
    // The menu's own style when it is a skinned one, else the frame's.
    TsuiUIStyle effectiveStyle() const;
    TColor color() const { return color_; }
    void setColor(TColor value);
    void setBarHeight(int value);
    // The color of captions that are neither hot nor pressed.
    TColor fontColor() const { return fontColor_; }

private:
    QPointer<QMenu> menu_;
    std::unique_ptr<QStyle> barStyle_;
    TsuiUIStyle frameStyle_ = TsuiUIStyle::DeepBlue;
    TColor color_;
    TColor fontColor_ = clMenuText;
};

} // namespace pestrel
