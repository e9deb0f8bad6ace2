#pragma once
// The geometry and outline of a skinned window: the rounded outline, the size limits, maximise and
// restore, moving by the title bar and resizing from the edges. Moving and resizing are left to
// the window manager where it takes them, and done here where it refuses (a bare X server, the
// offscreen platform). The window's chrome hands it the events it needs.

#include "skin/SUIThemes.h"
#include "skin/window/SUITitleBar.h"

#include <QRect>
#include <optional>

class QMouseEvent;

namespace pestrel {

// The edges a press at `client` grabs on a host of `size` (client coordinates): 5-pixel grips at
// the left and top, 4-pixel grips at the right and bottom, corners first. No edges inside.
Qt::Edges FormEdgeHitTest(const QPoint& client, const QSize& size);

// Where a window resized by dragging `edges` by `delta` from `start` goes: the named edges follow
// the pointer, the opposite ones stay, the size is kept within [minimum, maximum].
QRect DraggedGeometry(const QRect& start, Qt::Edges edges, const QPoint& delta,
                      const QSize& minimum, const QSize& maximum);

class TsuiFormFrame {
public:
    // Takes `host`'s system frame away and limits its size; `titleBar` moves it and its buttons
    // act on it.
    TsuiFormFrame(QWidget* host, TsuiTitleBar* titleBar);

    // Whether the host could be resized when the frame was put on it: only then do its edges
    // resize it.
    bool hostSizeable() const { return hostSizeable_; }

    // The style's outline and minimum width; Custom changes nothing.
    void applyStyle(TsuiUIStyle style);
    // The host's outline with its top corners rounded by `cornerSize`.
    void ApplyWindowRegion(int cornerSize);
    // What a click on `button` of the title bar does to the host.
    void PerformButtonAction(TsuiTitleBarButton& button);
    // A host that started maximised keeps or gives up that state as its size changes; the
    // outline follows the new size.
    void hostResized();
    // Mouse input of the host's native window, before any widget sees it: a press on an edge
    // resizes the host, whatever lies under it. True when the frame took the event.
    bool hostWindowMouse(const QMouseEvent& event);
    // Mouse input of the title bar: a press on the empty bar holds the window until the release
    // and moves it, a double click maximises or restores. True when the frame took the event.
    bool titleBarMouse(const QMouseEvent& event);

private:
    void followMaximisedStart();
    void toggleMaximised(TsuiTitleBarButton& button);
    void showEdgeCursor(Qt::Edges edges);

    QWidget* host_;
    TsuiTitleBar* titleBar_;
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
