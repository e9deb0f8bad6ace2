#include "skin/window/SUIWindowChrome.h"

#include "skin/SUIPublic.h"
#include "skin/menus/SUIMainMenu.h"
#include "skin/window/SUIMenuBar.h"
#include "skin/window/SUITitleBar.h"

#include <QFrame>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace pestrel {
namespace {

bool IsMouseEvent(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
           type == QEvent::MouseMove || type == QEvent::MouseButtonRelease;
}

// The events the host handles itself before the chrome adds its part.
bool HostHandlesFirst(QEvent::Type type) {
    return type == QEvent::Paint || type == QEvent::Resize;
}

} // namespace

void PaintFormBorder(QPainter& canvas, const QSize& client, int borderWidth, TColor color) {
    const int cw = client.width(), ch = client.height(), bw = borderWidth;
    const QColor fill = ColorToQColor(color);
    DrawOpenTopBorder(canvas, {0, 0, cw, ch}, bw, fill);
    canvas.fillRect(0, 0, cw, 1, fill);
}

// The title bar is made before the frame: the frame moves the window by it.
TsuiWindowChrome::TsuiWindowChrome(QWidget* host, QWidget* panel)
    : host_(host), panel_(panel), hostMargins_(host->contentsMargins()),
      titleBar_(new TsuiTitleBar(panel)), frame_(host, titleBar_) {
    connect(titleBar_, &TsuiTitleBar::heightChanged, this, &TsuiWindowChrome::layOutPanel);
    connect(titleBar_, &TsuiTitleBar::styleChanged, this,
            [this](TsuiUIStyle style) { frame_.applyStyle(style); });
    connect(titleBar_, &TsuiTitleBar::buttonClicked, this,
            [this](int index) { frame_.PerformButtonAction(titleBar_->Buttons()[index]); });
    host->installEventFilter(this);
    titleBar_->installEventFilter(this);
    watchHostWindow();
}

TsuiWindowChrome::~TsuiWindowChrome() {
    host_->removeEventFilter(this);
    // The host may be on its way out too: it is given back later, and only if it is still there.
    QMetaObject::invokeMethod(
        host_,
        [host = host_, margins = hostMargins_] {
            host->setContentsMargins(margins);
            host->update();
        },
        Qt::QueuedConnection);
}

void TsuiWindowChrome::setBorderColor(TColor value) {
    if (value == borderColor_)
        return;
    borderColor_ = value;
    updateInnerBounds();
    drawBorder();
}

void TsuiWindowChrome::setBorderWidth(int value) {
    if (value == borderWidth_)
        return;
    borderWidth_ = value;
    updateInnerBounds();
    drawBorder();
}

void TsuiWindowChrome::updateInnerBounds() {
    const int bw = borderWidth_;
    // A layout on the host places the panel in the same rectangle.
    host_->setContentsMargins(bw, 0, bw, bw);
    panel_->setGeometry(bw, 0, host_->width() - 2 * bw, host_->height() - bw);
}

void TsuiWindowChrome::drawBorder() {
    const int bw = borderWidth_, cw = host_->width(), ch = host_->height();
    host_->update(QRegion(host_->rect()).subtracted(QRect(bw, 1, cw - 2 * bw, ch - bw - 1)));
}

void TsuiWindowChrome::setClient(QWidget* value) {
    if (value == client_)
        return;
    client_ = value;
    if (auto* framed = qobject_cast<QFrame*>(value))
        framed->setFrameShape(QFrame::NoFrame);
    layOutPanel();
}

void TsuiWindowChrome::layOutPanel() {
    titleBar_->setGeometry(0, 0, panel_->width(), titleBar_->height());
    int top = titleBar_->height();
    if (menuBar_) {
        menuBar_->setGeometry(0, top, panel_->width(), menuBar_->height());
        top += menuBar_->height();
    }
    panel_->setContentsMargins(0, top, 0, 0);
    if (client_ && client_->parentWidget() == panel_)
        client_->setGeometry(panel_->contentsRect());
}

void TsuiWindowChrome::setMenu(QMenu* value) {
    if (menu_)
        disconnect(menu_, nullptr, this, nullptr);
    menu_ = value;
    if (!value) {
        delete menuBar_;
        menuBar_ = nullptr;
    } else {
        connect(value, &QObject::destroyed, this, [this] { setMenu(nullptr); });
        if (!menuBar_) {
            menuBar_ = new TsuiMenuBar(panel_, menuBarColor_, menuBarHeight_);
            menuBar_->setFrameStyle(frameStyle_);
            menuBar_->show();
        }
        menuBar_->setMenu(value);
    }
    layOutPanel();
}

void TsuiWindowChrome::setMenuBarColor(TColor value) {
    menuBarColor_ = value;
    if (menuBar_)
        menuBar_->setColor(value);
}

void TsuiWindowChrome::setMenuBarHeight(int value) {
    menuBarHeight_ = value;
    if (menuBar_) {
        menuBar_->setBarHeight(value);
        layOutPanel();
    }
}

void TsuiWindowChrome::setFrameStyle(TsuiUIStyle value) {
    frameStyle_ = value;
    if (menuBar_)
        menuBar_->setFrameStyle(value);
}

bool TsuiWindowChrome::eventFilter(QObject* watched, QEvent* event) {
    const bool handledFirst = watched == host_ && HostHandlesFirst(event->type());
    if (handledFirst)
        watched->event(event);
    const bool taken = borderEvent(watched, event) || frameEvent(watched, event) ||
                       titleBarEvent(watched, event) || menuBarEvent(watched, event);
    return handledFirst || taken;
}

bool TsuiWindowChrome::borderEvent(const QObject* watched, QEvent* event) {
    if (watched != host_)
        return false;
    if (event->type() == QEvent::Paint) {
        QPainter canvas(host_);
        PaintFormBorder(canvas, host_->size(), borderWidth_, borderColor_);
    } else if (event->type() == QEvent::Resize) {
        updateInnerBounds();
        drawBorder();
    }
    return false;
}

bool TsuiWindowChrome::frameEvent(const QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == host_ && type == QEvent::Resize)
        frame_.hostResized();
    else if (watched == host_ && type == QEvent::Show)
        watchHostWindow();
    else if (watched == hostWindow_ && IsMouseEvent(type))
        return frame_.hostWindowMouse(*static_cast<QMouseEvent*>(event));
    else if (watched == titleBar_ && IsMouseEvent(type))
        return frame_.titleBarMouse(*static_cast<QMouseEvent*>(event));
    return false;
}

bool TsuiWindowChrome::titleBarEvent(const QObject* watched, QEvent* event) {
    if (watched == host_ && event->type() == QEvent::WindowActivate)
        titleBar_->setFormActive(true);
    else if (watched == host_ && event->type() == QEvent::WindowDeactivate)
        titleBar_->setFormActive(false);
    return false;
}

bool TsuiWindowChrome::menuBarEvent(const QObject* watched, QEvent* event) {
    if (watched != host_ || event->type() != TsuiMainMenuReadyEvent::eventType())
        return false;
    setMenu(static_cast<TsuiMainMenuReadyEvent*>(event)->menu());
    return true;
}

// The host's native window exists once the host is shown, and a change of its window flags
// makes a new one.
void TsuiWindowChrome::watchHostWindow() {
    QWindow* window = host_->windowHandle();
    if (window == hostWindow_)
        return;
    if (hostWindow_)
        hostWindow_->removeEventFilter(this);
    hostWindow_ = window;
    if (window)
        window->installEventFilter(this);
}

} // namespace pestrel
