#include "skin/window/SUIFormFrame.h"

#include "skin/SUIPublic.h"

#include <QMenu>
#include <QMouseEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <vector>

namespace pestrel {
namespace {

// Hosts that start maximised are maximised again on their third size change; counted once for
// the whole program.
int MaximizeSizeCount = 0;

// The top-left corner of a window outline whose corners are ellipses of `cornerSize`
// diameter: how far each row from the top stays clear of the edge.
std::vector<int> CornerInsets(int cornerSize) {
    const double r = cornerSize / 2.0;
    std::vector<int> insets;
    for (int y = 0; y < cornerSize / 2; ++y) {
        const double dy = r - y - 0.5;
        insets.push_back(
            static_cast<int>(std::lround(r - std::sqrt(std::max(0.0, r * r - dy * dy)))));
    }
    return insets;
}

// Only the top corners are rounded; the bottom ones stay square.
QRegion RoundedTopRegion(const QSize& size, int cornerSize) {
    const std::vector<int> insets = CornerInsets(cornerSize);
    const int rows = std::min(static_cast<int>(insets.size()), size.height());
    QRegion region(0, rows, size.width(), size.height() - rows);
    for (int y = 0; y < rows; ++y)
        region += QRect(insets[y], y, size.width() - 2 * insets[y], 1);
    return region;
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

TsuiFormFrame::TsuiFormFrame(QWidget* host, TsuiTitleBar* titleBar)
    : host_(host), titleBar_(titleBar) {
    hostSizeable_ = host->minimumSize() != host->maximumSize() &&
                    !host->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
    host->setMinimumSize(125, 50);
    savedBounds_ = host->geometry();
    startedMaximised_ = host->isMaximized();
    const TRect workArea = GetWorkAreaRect(host);
    host->setMaximumSize(workArea.width(), workArea.height());
    if (host->isWindow()) {
        const bool visible = host->isVisible();
        host->setWindowFlags(host->windowFlags() | Qt::FramelessWindowHint);
        if (visible)
            host->show();
    }
}

void TsuiFormFrame::applyStyle(TsuiUIStyle style) {
    if (style == TsuiUIStyle::Custom)
        return;
    host_->setMinimumWidth(GetThemeInteger(style, tiFormMinWidth));
    cornerSize_ = GetThemeInteger(style, tiFormRoundCorner);
    ApplyWindowRegion(cornerSize_);
}

void TsuiFormFrame::ApplyWindowRegion(int cornerSize) {
    if (cornerSize <= 0)
        host_->clearMask();
    else
        host_->setMask(RoundedTopRegion(host_->size(), cornerSize));
}

void TsuiFormFrame::PerformButtonAction(TsuiTitleBarButton& button) {
    const TRect workArea = GetWorkAreaRect(host_);
    host_->setMaximumSize(workArea.width(), workArea.height());
    switch (button.ButtonType()) {
    case TsuiTitleBarBtnType::suiMax:
        toggleMaximised(button);
        break;
    case TsuiTitleBarBtnType::suiMin:
        host_->showMinimized();
        break;
    case TsuiTitleBarBtnType::suiClose:
        host_->close();
        break;
    case TsuiTitleBarBtnType::suiControlBox:
        if (button.ControlBoxMenu())
            button.ControlBoxMenu()->popup(titleBar_->mapToGlobal(QPoint(0, titleBar_->height())));
        break;
    case TsuiTitleBarBtnType::suiHelp:
    case TsuiTitleBarBtnType::suiCustom:
        break;
    }
}

// The bounds are set as well as the state: a window manager may be absent or may not maximise a
// frameless window. Bounds first, as a new bounds rectangle ends the state.
void TsuiFormFrame::toggleMaximised(TsuiTitleBarButton& button) {
    if (host_->isMaximized()) {
        host_->setWindowState(host_->windowState() & ~Qt::WindowMaximized);
        if (normalGeometry_.isValid())
            host_->setGeometry(normalGeometry_);
    } else {
        normalGeometry_ = host_->geometry();
        host_->setGeometry(GetWorkAreaRect(host_).toQRect());
        host_->setWindowState(host_->windowState() | Qt::WindowMaximized);
    }
    if (button.UIStyle() == TsuiUIStyle::WinXP)
        button.UpdateMaxRestorePictures();
    ApplyWindowRegion(cornerSize_);
}

void TsuiFormFrame::hostResized() {
    followMaximisedStart();
    ApplyWindowRegion(cornerSize_);
}

void TsuiFormFrame::followMaximisedStart() {
    if (!startedMaximised_)
        return;
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

bool TsuiFormFrame::hostWindowMouse(const QMouseEvent& event) {
    const QEvent::Type type = event.type();
    const QPoint global = event.globalPosition().toPoint();
    if (drag_ && drag_->edges) {
        if (type == QEvent::MouseMove)
            host_->setGeometry(DraggedGeometry(drag_->startGeometry, drag_->edges,
                                               global - drag_->startGlobal, host_->minimumSize(),
                                               host_->maximumSize()));
        else if (type == QEvent::MouseButtonRelease && event.button() == Qt::LeftButton)
            drag_.reset();
        return true;
    }
    const Qt::Edges edges = hostSizeable_ && !host_->isMaximized()
                                ? FormEdgeHitTest(host_->mapFromGlobal(global), host_->size())
                                : Qt::Edges();
    if (type == QEvent::MouseMove && event.buttons() == Qt::NoButton)
        showEdgeCursor(edges);
    if (!edges || event.button() != Qt::LeftButton)
        return false;
    QWindow* window = host_->windowHandle();
    if (type == QEvent::MouseButtonPress && !(window && window->startSystemResize(edges)))
        drag_ = Drag{edges, global, host_->geometry(), true};
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
}

// A press on the empty bar holds the window until the release, unless it is maximised: then the
// bar only repaints. The second press of a double click maximises or restores first.
bool TsuiFormFrame::titleBarMouse(const QMouseEvent& event) {
    const QEvent::Type type = event.type();
    const QPoint global = event.globalPosition().toPoint();
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (event.button() != Qt::LeftButton ||
            titleBar_->buttonAt(event.position().toPoint()) != -1)
            return false;
        if (type == QEvent::MouseButtonDblClick) {
            for (const auto& button : titleBar_->Buttons()) {
                if (button->ButtonType() == TsuiTitleBarBtnType::suiMax) {
                    PerformButtonAction(*button);
                    break;
                }
            }
        }
        if (host_->isMaximized())
            return false;
        drag_ = Drag{{}, global, host_->frameGeometry()};
        return true;
    case QEvent::MouseMove:
        if (drag_ && !drag_->edges && (event.buttons() & Qt::LeftButton)) {
            QWindow* window = host_->windowHandle();
            if (!drag_->manual && window && window->startSystemMove()) {
                drag_.reset();
            } else {
                drag_->manual = true;
                host_->move(drag_->startGeometry.topLeft() + global - drag_->startGlobal);
            }
        }
        return false;
    default: // the release
        if (drag_ && !drag_->edges && event.button() == Qt::LeftButton)
            drag_.reset();
        return false;
    }
}

void TsuiFormFrame::showEdgeCursor(Qt::Edges edges) {
    if (edges) {
        host_->setCursor(EdgeCursor(edges));
        edgeCursorSet_ = true;
    } else if (edgeCursorSet_) {
        host_->unsetCursor();
        edgeCursorSet_ = false;
    }
}

} // namespace pestrel
