#pragma once
// The chrome of one skinned window, owned by one object: the border painted on the host round the
// frame's panel, the frame (outline, size limits, moving, resizing, maximising), the title bar at
// the top of the panel and the menu bar under it.
//
// One event filter watches the host, the host's native window and the title bar. The host handles
// its own paint and resize first. Then every event goes to the parts in this order, and a part
// that takes an event ends its round:
//   1. border     host paint: the border over what the host painted. Host resize: the panel
//                 takes its inner bounds, the border is drawn again.
//   2. frame      host resize: a maximised start is followed, the outline fitted to the new size.
//                 Host show: the native window it now has is watched. Native window mouse: a
//                 press on an edge resizes (taken). Title bar mouse: a press on the empty bar
//                 moves the window (taken), its double click maximises or restores.
//   3. title bar  host activation and deactivation: the caption's colour.
//   4. menu bar   a skinned main menu announcing itself to the host becomes the window's Menu.
// Keys are not filtered: the menu's items are the menu bar's actions, so their shortcuts are
// window shortcuts of the host (Qt::WindowShortcut).

#include "skin/window/SUIFormFrame.h"
#include "toolkit/Color.h"

#include <QMargins>
#include <QObject>
#include <QPointer>

class QMenu;
class QWindow;

namespace pestrel {

class TsuiMenuBar;
class TsuiTitleBar;

// The border on the host's own surface: left, bottom and right strips `borderWidth` wide and a
// one-pixel line along the top, for a host whose client area has the size `client`.
void PaintFormBorder(QPainter& canvas, const QSize& client, int borderWidth, TColor color);

class TsuiWindowChrome final : public QObject {
public:
    // Frames `host` round `panel`, which fills the host inside the border and carries the title
    // bar. The host's system frame goes; what the chrome changed on the host's layout is given
    // back when the chrome goes.
    TsuiWindowChrome(QWidget* host, QWidget* panel);
    ~TsuiWindowChrome() override;

    TsuiTitleBar* titleBar() const { return titleBar_; }
    TsuiFormFrame& frame() { return frame_; }
    // None while there is no menu.
    TsuiMenuBar* menuBar() const { return menuBar_; }

    TColor borderColor() const { return borderColor_; }
    void setBorderColor(TColor value);
    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int value);
    // The panel at (BW, 0) sized (CW - 2 BW, CH - BW) in the host's client area of CW x CH.
    void updateInnerBounds();
    // Repaints the border on the host.
    void drawBorder();

    // What fills the panel below the title bar and the menu bar, if anything.
    QWidget* client() const { return client_; }
    void setClient(QWidget* value);
    // The title bar across the top of the panel, the menu bar under it, the client below both;
    // the panel's contents margins keep a layout of the panel below them too.
    void layOutPanel();

    QMenu* menu() const { return menu_; }
    // Shown in a menu bar under the title bar; none takes the bar away. A menu that is destroyed
    // takes its bar with it.
    void setMenu(QMenu* value);
    TColor menuBarColor() const { return menuBarColor_; }
    void setMenuBarColor(TColor value);
    int menuBarHeight() const { return menuBarHeight_; }
    void setMenuBarHeight(int value);
    // The frame's style, which the menu bar takes while its menu has none of its own.
    void setFrameStyle(TsuiUIStyle value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool borderEvent(const QObject* watched, QEvent* event);
    bool frameEvent(const QObject* watched, QEvent* event);
    bool titleBarEvent(const QObject* watched, QEvent* event);
    bool menuBarEvent(const QObject* watched, QEvent* event);
    void watchHostWindow();

    QWidget* host_;
    QWidget* panel_;
    QMargins hostMargins_; // the host's own contents margins, given back at the end
    TsuiTitleBar* titleBar_;
    TsuiFormFrame frame_;
    QPointer<QWindow> hostWindow_;
    TColor borderColor_ = clBlack;
    int borderWidth_ = 1;
    QPointer<QWidget> client_;
    QPointer<QMenu> menu_;
    TsuiMenuBar* menuBar_ = nullptr;
    TColor menuBarColor_ = clBtnFace;
    int menuBarHeight_ = 22;
    TsuiUIStyle frameStyle_ = TsuiUIStyle::DeepBlue;
};

} // namespace pestrel
