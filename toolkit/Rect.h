#pragma once
// A rectangle given by its edges. Right and Bottom are exclusive when drawing, so the width is
// Right - Left.

#include <QRect>

namespace pestrel {

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int width() const { return Right - Left; }
    int height() const { return Bottom - Top; }
    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect fromQRect(const QRect& r) {
        return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

} // namespace pestrel
