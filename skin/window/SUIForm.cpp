#include "skin/window/SUIForm.h"

#include "skin/SUIPublic.h"
#include "skin/SkinBitmaps.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <stdexcept>

namespace pestrel {
namespace {

// Hosts that start maximised are maximised again on their third size change; counted once for
// the whole program.
int MaximizeSizeCount = 0;

// An event filter made of a function, for filters that must not share their object with others.
class FilterHook : public QObject {
public:
    FilterHook(QObject* parent, std::function<bool(QObject*, QEvent*)> filter)
        : QObject(parent), filter_(std::move(filter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return filter_(watched, event); }

private:
    std::function<bool(QObject*, QEvent*)> filter_;
};

QAction* FindShortcut(const QWidget* menu, const QKeySequence& keys) {
    for (QAction* action : menu->actions()) {
        if (const QMenu* submenu = action->menu()) {
            if (QAction* found = FindShortcut(submenu, keys))
                return found;
        } else if (action->isEnabled() && action->shortcuts().contains(keys)) {
            return action;
        }
    }
    return nullptr;
}

Qt::CursorShape EdgeCursor(Qt::Edges edges) {
    if (edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge))
        return Qt::SizeFDiagCursor;
    if (edges == (Qt::TopEdge | Qt::RightEdge) || edges == (Qt::BottomEdge | Qt::LeftEdge))
        return Qt::SizeBDiagCursor;
    return edges & (Qt::LeftEdge | Qt::RightEdge) ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

} // namespace

Qt::Edges FormEdgeHitTest(const QPoint& client, const QSize& size) {
    const int x = client.x(), y = client.y(), w = size.width(), h = size.height();
    const bool left = x<5, top = y<5, right = x> w - 5, bottom = y> h - 5;
    if (left && top)
        return Qt::TopEdge | Qt::LeftEdge;
    if (right && top)
        return Qt::TopEdge | Qt::RightEdge;
    if (right && bottom)
        return Qt::BottomEdge | Qt::RightEdge;
    if (left && bottom)
        return Qt::BottomEdge | Qt::LeftEdge;
    if (left)
        return Qt::LeftEdge;
    if (top)
        return Qt::TopEdge;
    if (right)
        return Qt::RightEdge;
    if (bottom)
        return Qt::BottomEdge;
    return {};
}

QRect DraggedGeometry(const QRect& start, Qt::Edges edges, const QPoint& delta,
                      const QSize& minimum, const QSize& maximum) {
    const auto width = [&](int w) { return std::clamp(w, minimum.width(), maximum.width()); };
    const auto height = [&](int h) { return std::clamp(h, minimum.height(), maximum.height()); };
    QRect out = start;
    if (edges & Qt::LeftEdge)
        out.setLeft(start.right() + 1 - width(start.width() - delta.x()));
    if (edges & Qt::RightEdge)
        out.setWidth(width(start.width() + delta.x()));
    if (edges & Qt::TopEdge)
        out.setTop(start.bottom() + 1 - height(start.height() - delta.y()));
    if (edges & Qt::BottomEdge)
        out.setHeight(height(start.height() + delta.y()));
    return out;
}

void PaintFormBorder(QPainter& canvas, const QSize& client, int borderWidth, TColor color) {
    const int cw = client.width(), ch = client.height(), bw = borderWidth;
    const QColor colour = ColorToQColor(color);
    DrawOpenTopBorder(canvas, {0, 0, cw, ch}, bw, colour);
    canvas.fillRect(0, 0, cw, 1, colour);
}

TsuiForm::TsuiForm(QWidget* host) : QWidget(host), host_(host) {
    if (!host)
        throw std::invalid_argument("a TsuiForm needs the window it frames as its parent");
    for (const QObject* child : host->children()) {
        if (child != this && qobject_cast<const TsuiForm*>(child))
            throw std::runtime_error(
                "Sorry, You can create only one TsuiForm component in one form!");
    }
    hostSizeable_ = host->minimumSize() != host->maximumSize() &&
                    !host->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
    hostMargins_ = host->contentsMargins();
    host->setMinimumSize(125, 50);
    savedBounds_ = host->geometry();
    startedMaximised_ = host->isMaximized();

    setAttribute(Qt::WA_OpaquePaintEvent);
    titleBar_ = new TsuiTitleBar(this);
    titleBar_->installEventFilter(this);
    connect(titleBar_, &TsuiTitleBar::OnCustomBtnsClick, this,
            &TsuiForm::OnTitleBarCustomBtnsClick);
    connect(titleBar_, &TsuiTitleBar::OnHelpBtnClick, this, &TsuiForm::OnTitleBarHelpBtnClick);
    menuBarColor_ = color_;
    setUIStyle(TsuiUIStyle::DeepBlue);
    setCaption(host->windowTitle());

    const TRect workArea = GetWorkAreaRect(host);
    host->setMaximumSize(workArea.width(), workArea.height());
    if (host->isWindow()) {
        const bool visible = host->isVisible();
        host->setWindowFlags(host->windowFlags() | Qt::FramelessWindowHint);
        if (visible)
            host->show();
    }
    host->installEventFilter(this);
    qApp->installEventFilter(new FilterHook(this, [this](QObject* receiver, QEvent* event) {
        return ApplicationEvent(receiver, event);
    }));
    WatchHostWindow();
    UpdateInnerBounds();
}

TsuiForm::~TsuiForm() {
    host_->removeEventFilter(this);
    if (watchedWindow_)
        watchedWindow_->removeEventFilter(this);
    // The host may be on its way out too: it is repainted later, and only if it is still there.
    QMetaObject::invokeMethod(
        host_,
        [host = host_, margins = hostMargins_] {
            host->setContentsMargins(margins);
            host->update();
        },
        Qt::QueuedConnection);
}

void TsuiForm::setWidth(int value) {
    host_->resize(value + 2 * borderWidth_ + 8, host_->height());
}

void TsuiForm::setHeight(int value) {
    host_->resize(host_->width(), value + borderWidth_ + 27);
}

void TsuiForm::setUIStyle(TsuiUIStyle value) {
    style_ = value;
    if (value == TsuiUIStyle::Custom)
        return;
    setBorderColor(GetThemeColor(value, tiFormBorderColor));
    setBorderWidth(GetThemeInteger(value, tiFormBorderWidth));
    setColor(GetThemeColor(value, tiFormColor));
    setMenuBarColor(color_);
    titleBar_->setUIStyle(value);
    LayOutContent();
    if (menu_) {
        const QVariant menuStyle = menu_->property("UIStyle");
        if (menuStyle.isValid() && menuStyle.value<TsuiUIStyle>() != TsuiUIStyle::Custom)
            menu_->setProperty("UIStyle", QVariant::fromValue(value));
    }
    ContainerApplyUIStyleNested(this, value);
    ContainerApplyUIStyle(this, value);
    UpdateInnerBounds();
    update();
    DrawFormBorder();
}

void TsuiForm::setBorderColor(TColor value) {
    borderColor_ = value;
    UpdateInnerBounds();
    DrawFormBorder();
}

void TsuiForm::setBorderWidth(int value) {
    borderWidth_ = value;
    UpdateInnerBounds();
    DrawFormBorder();
}

void TsuiForm::setColor(TColor value) {
    color_ = value;
    update();
}

void TsuiForm::setCaption(const QString& value) {
    titleBar_->setCaption(value);
    host_->setWindowTitle(value);
}

void TsuiForm::setFormPanel(QWidget* value) {
    if (value == this) {
        ShowSkinInformation(
            QStringLiteral("Sorry, you can't select the Form assign to FormPanel property"));
        return;
    }
    formPanel_ = value;
    if (auto* frame = qobject_cast<QFrame*>(value))
        frame->setFrameShape(QFrame::NoFrame);
    LayOutContent();
}

void TsuiForm::UpdateInnerBounds() {
    const int bw = borderWidth_;
    // A layout on the host places the frame in the same rectangle.
    host_->setContentsMargins(bw, 0, bw, bw);
    setGeometry(bw, 0, host_->width() - 2 * bw, host_->height() - bw);
}

void TsuiForm::DrawFormBorder() {
    const int bw = borderWidth_, cw = host_->width(), ch = host_->height();
    host_->update(QRegion(host_->rect()).subtracted(QRect(bw, 1, cw - 2 * bw, ch - bw - 1)));
}

void TsuiForm::LayOutContent() {
    // Children in a layout of the frame stay below the title bar.
    setContentsMargins(0, titleBar_->height(), 0, 0);
    if (formPanel_ && formPanel_->parentWidget() == this)
        formPanel_->setGeometry(contentsRect());
}

void TsuiForm::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    if (style_ == TsuiUIStyle::MacOS || style_ == TsuiUIStyle::Protein) {
        const QImage pattern =
            SkinBitmap(style_ == TsuiUIStyle::MacOS ? QStringLiteral("MACOS_FORM_BACKGROUND")
                                                    : QStringLiteral("PROTEIN_FORM_BACKGROUND"));
        canvas.fillRect(rect(), QBrush(pattern));
    } else {
        canvas.fillRect(rect(), ColorToQColor(color_));
    }
}

void TsuiForm::resizeEvent(QResizeEvent* event) {
    LayOutContent();
    QWidget::resizeEvent(event);
}

bool TsuiForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == host_)
        return HostEvent(event);
    if (watched == watchedWindow_)
        return HostWindowEvent(event);
    if (watched == titleBar_ && event->type() == QEvent::Resize)
        LayOutContent();
    return false;
}

// The host handles each event first; the frame then adds its part.
bool TsuiForm::HostEvent(QEvent* event) {
    QObject* host = host_;
    switch (event->type()) {
    case QEvent::Paint: {
        host->event(event);
        QPainter canvas(host_);
        PaintFormBorder(canvas, host_->size(), borderWidth_, borderColor_);
        return true;
    }
    case QEvent::Resize:
        host->event(event);
        HostResized();
        return true;
    case QEvent::WindowActivate:
        titleBar_->setFormActive(true);
        break;
    case QEvent::WindowDeactivate:
        titleBar_->setFormActive(false);
        break;
    case QEvent::Show:
        WatchHostWindow();
        break;
    default:
        break;
    }
    return false;
}

void TsuiForm::HostResized() {
    if (startedMaximised_) {
        if (!host_->isMaximized()) {
            startedMaximised_ = false;
            host_->setGeometry(savedBounds_);
        } else if (MaximizeSizeCount == 2) {
            host_->setWindowState(host_->windowState() | Qt::WindowMaximized);
            const TRect workArea = GetWorkAreaRect(host_);
            host_->move(workArea.Left, workArea.Top);
        } else {
            ++MaximizeSizeCount;
        }
    }
    UpdateInnerBounds();
    DrawFormBorder();
    titleBar_->ApplyWindowRegion(titleBar_->CornerSize());
}

void TsuiForm::WatchHostWindow() {
    QWindow* window = host_->windowHandle();
    if (window == watchedWindow_)
        return;
    if (watchedWindow_)
        watchedWindow_->removeEventFilter(this);
    watchedWindow_ = window;
    if (window)
        window->installEventFilter(this);
}

// Mouse input reaches the host's window before any widget in it: presses on the edges resize the
// host, whatever lies under them.
bool TsuiForm::HostWindowEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint global = mouse->globalPosition().toPoint();
    if (edgeDrag_) {
        if (type == QEvent::MouseMove)
            host_->setGeometry(DraggedGeometry(edgeDrag_->startGeometry, edgeDrag_->edges,
                                               global - edgeDrag_->startGlobal,
                                               host_->minimumSize(), host_->maximumSize()));
        else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
            edgeDrag_.reset();
        return true;
    }
    const Qt::Edges edges = hostSizeable_ && !host_->isMaximized()
                                ? FormEdgeHitTest(host_->mapFromGlobal(global), host_->size())
                                : Qt::Edges();
    if (type == QEvent::MouseMove && mouse->buttons() == Qt::NoButton)
        ShowEdgeCursor(edges);
    if (!edges || mouse->button() != Qt::LeftButton)
        return false;
    if (type == QEvent::MouseButtonPress && !watchedWindow_->startSystemResize(edges))
        edgeDrag_ = EdgeDrag{edges, global, host_->geometry()};
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
}

void TsuiForm::ShowEdgeCursor(Qt::Edges edges) {
    if (edges) {
        host_->setCursor(EdgeCursor(edges));
        edgeCursorSet_ = true;
    } else if (edgeCursorSet_) {
        host_->unsetCursor();
        edgeCursorSet_ = false;
    }
}

// Menu shortcuts work wherever the focus is in the host window.
bool TsuiForm::ApplicationEvent(QObject* receiver, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !menu_)
        return false;
    const auto* widget = qobject_cast<const QWidget*>(receiver);
    if (!widget || widget->window() != host_->window())
        return false;
    const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
    QAction* action = FindShortcut(menu_, keys);
    if (!action)
        return false;
    action->trigger();
    return true;
}

} // namespace pestrel
