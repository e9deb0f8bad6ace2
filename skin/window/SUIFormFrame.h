#pragma once
// The geometry and outline of a skinned window, in one helper per window: the rounded outline,
// the size limits, maximise and restore, moving by the title bar and resizing from the edges.
// Moving and resizing are left to the window manager where it takes them, and done here where it
// refuses (a bare X server, the offscreen platform).

#include "skin/SUIThemes.h"
#include "skin/window/SUITitleBar.h"

#include <QPointer>
#include <QRect>
#include <optional>

class QWindow;

namespace pestrel {

// The edges a press at `client` grabs on a host of `size` (client coordinates): 5-pixel grips at
// the left and top, 4-pixel grips at the right and bottom, corners first. No edges inside.
Qt::Edges FormEdgeHitTest(const QPoint& client, const QSize& size);

// Where a window resized by dragging `edges` by `delta` from `start` goes: the named edges follow
// the pointer, the opposite ones stay, the size is kept within [minimum, maximum].
QRect DraggedGeometry(const QRect& start, Qt::Edges edges, const QPoint& delta,
                      const QSize& minimum, const QSize& maximum);

class TsuiFormFrame : public QObject {
public:
    // Takes `host`'s system frame away and limits its size; `titleBar` moves it and its buttons
    // act on it.
    TsuiFormFrame(QWidget* host, TsuiTitleBar* titleBar, QObject* parent);

    // Whether the host could be resized when the frame was put on it: only then do its edges
    // resize it.
    bool hostSizeable() const { return hostSizeable_; }
    int CornerSize() const { return cornerSize_; }

    // The style's outline and minimum width; Custom changes nothing.
    void applyStyle(TsuiUIStyle style);
    // The host's outline with its top corners rounded by `cornerSize`.
    void ApplyWindowRegion(int cornerSize);
    // What a click on `button` of the title bar does to the host.
    void PerformButtonAction(TsuiTitleBarButton& button);
    // A host that started maximised keeps or gives up that state as its size changes.
    void followMaximisedStart();
    // Follows the host's native window, which exists once the host is shown.
    void watchHostWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool hostWindowEvent(QEvent* event);
    bool titleBarEvent(QEvent* event);
    void toggleMaximised(TsuiTitleBarButton& button);
    void showEdgeCursor(Qt::Edges edges);

    QWidget* host_;
    TsuiTitleBar* titleBar_;
    QPointer<QWindow> watchedWindow_;
    bool hostSizeable_ = true;
    int cornerSize_ = 0;
    QRect savedBounds_; // the host's bounds when the frame was put on it
    bool startedMaximised_ = false;
    QRect normalGeometry_; // the host's bounds before the maximise button maximised it
    bool edgeCursorSet_ = false;

    // The pointer holds the window: by the title bar (no edges) or by its edges.
    struct Drag {
        Qt::Edges edges;
        QPoint startGlobal;
        QRect startGeometry;
        bool manual = false; // the window manager refused: the window follows the pointer here
    };
    std::optional<Drag> drag_;
};

} // namespace pestrel
