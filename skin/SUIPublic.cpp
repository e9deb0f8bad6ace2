#include "skin/SUIPublic.h"

#include "toolkit/ImageList.h"

#include <QGuiApplication>
#include <QPolygon>
#include <QScreen>
#include <algorithm>
#include <vector>

namespace pestrel {
namespace {

// Nearest-neighbour source index for target index j when n source pixels cover m target pixels
// (pixel centres are matched, so equal counts copy one to one).
int NearestIndex(int j, int m, int n) {
    return static_cast<int>((2LL * j + 1) * n / (2LL * m));
}

QImage AsRgb32(const QImage& image) {
    return image.format() == QImage::Format_RGB32 ? image
                                                  : image.convertToFormat(QImage::Format_RGB32);
}

// Out(x, y) = source(columns[x], rows[y]).
QImage Resampled(const QImage& source, const std::vector<int>& columns,
                 const std::vector<int>& rows) {
    const int width = static_cast<int>(columns.size());
    const int height = static_cast<int>(rows.size());
    QImage out(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(rows[y]));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = in[columns[x]];
    }
    return out;
}

QImage StretchedTo(const QImage& source, int width, int height) {
    std::vector<int> columns(width), rows(height);
    for (int x = 0; x < width; ++x)
        columns[x] = NearestIndex(x, width, source.width());
    for (int y = 0; y < height; ++y)
        rows[y] = NearestIndex(y, height, source.height());
    return Resampled(AsRgb32(source), columns, rows);
}

} // namespace

void FrameRect(QPainter& canvas, const TRect& rect, const QColor& color) {
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    canvas.fillRect(rect.Left, rect.Top, rect.width(), 1, color);
    canvas.fillRect(rect.Left, rect.Bottom - 1, rect.width(), 1, color);
    canvas.fillRect(rect.Left, rect.Top, 1, rect.height(), color);
    canvas.fillRect(rect.Right - 1, rect.Top, 1, rect.height(), color);
}

void DrawSkinStretched(const QImage& source, QPainter& canvas, const TRect& rect,
                       bool transparent) {
    const int w = source.width(), h = source.height();
    const int W = rect.width(), H = rect.height();
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0)
        return;
    const int halfW = w / 2, halfH = h / 2;

    // Columns: the source's left half, its middle column repeated, its last half-of-w columns;
    // on a narrow target the left half wins over the right. A target no wider than the left half
    // would lose its right edge altogether, so there the two ends share the target half and half.
    const int leftColumns = W > halfW ? halfW : W / 2;
    std::vector<int> columns(W);
    for (int x = 0; x < W; ++x)
        columns[x] = x < leftColumns ? x : x < W - halfW ? halfW : x - W + w;

    // Rows, in the order the strips are laid: top half, bottom rows (spread over one row more
    // when h is even), then the middle row between them.
    std::vector<int> rows(H);
    for (int y = 0; y < std::min(halfH, H); ++y)
        rows[y] = y;
    const int bottomTop = H - halfH - 1, bottomCount = halfH + 1, sourceCount = h - halfH;
    for (int j = 0; j < bottomCount; ++j) {
        if (bottomTop + j >= 0)
            rows[bottomTop + j] = halfH + NearestIndex(j, bottomCount, sourceCount);
    }
    for (int y = halfH; y < bottomTop; ++y)
        rows[y] = halfH;

    const QImage out = Resampled(AsRgb32(source), columns, rows);
    canvas.drawImage(rect.Left, rect.Top, transparent ? MaskedImage(out, out.pixel(0, 0)) : out);
}

void DrawThreePartHorizontal(const QImage& source, QPainter& canvas, const TRect& rect,
                             bool transparent) {
    const int partWidth = source.width() / 3;
    if (partWidth <= 0 || source.height() <= 0)
        return;
    TImageList parts(partWidth, source.height());
    if (transparent)
        parts.addMasked(source, QColorToColor(source.pixelColor(0, 0)));
    else
        parts.add(source);
    parts.draw(canvas, rect.Left, rect.Top, 0);
    parts.draw(canvas, rect.Right - partWidth, rect.Top, 2);
    const int middleWidth = rect.width() - 2 * partWidth;
    if (middleWidth > 0 && rect.height() > 0)
        canvas.drawImage(rect.Left + partWidth, rect.Top,
                         StretchedTo(parts.getBitmap(1), middleWidth, rect.height()));
}

void TilePicture(QPainter& canvas, const QImage& picture, const TRect& rect) {
    const int pw = picture.width(), ph = picture.height();
    if (pw <= 0 || ph <= 0)
        return;
    for (int x = 0; x < pw + rect.width(); x += pw) {
        for (int y = 0; y < ph + rect.height(); y += ph)
            canvas.drawImage(x, y, picture);
    }
}

void DrawParentBackground(QPainter& canvas, const QWidget* control) {
    QWidget* parent = control ? control->parentWidget() : nullptr;
    if (!parent)
        return;
    canvas.save();
    canvas.translate(-control->x(), -control->y());
    canvas.setClipRect(parent->rect(), Qt::IntersectClip);
    parent->render(&canvas, QPoint(), QRegion(parent->rect()), QWidget::DrawWindowBackground);
    canvas.restore();
}

void DrawControlFrame(QPainter& canvas, const QWidget* control, TColor outer, TColor inner) {
    if (!control)
        return;
    const int w = control->width(), h = control->height();
    FrameRect(canvas, {0, 0, w, h}, ColorToQColor(outer));
    FrameRect(canvas, {1, 1, w - 1, h - 1}, ColorToQColor(inner));
}

void DrawOpenTopBorder(QPainter& canvas, const TRect& rect, int width, const QColor& color) {
    const int w = rect.width(), h = rect.height();
    if (w <= 0 || h <= 0 || width <= 0)
        return;
    canvas.fillRect(rect.Left, rect.Top, width, h, color);
    canvas.fillRect(rect.Left, rect.Bottom - width, w, width, color);
    canvas.fillRect(rect.Right - width, rect.Top, width, h, color);
}

void DrawFocusRect(QPainter& canvas, const TRect& r) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    QPolygon dots;
    auto dot = [&dots](int x, int y) {
        if ((x + y) % 2 == 0)
            dots << QPoint(x, y);
    };
    for (int x = r.Left; x < r.Right; ++x) {
        dot(x, r.Top);
        if (r.Bottom - 1 > r.Top)
            dot(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        dot(r.Left, y);
        if (r.Right - 1 > r.Left)
            dot(r.Right - 1, y);
    }
    canvas.save();
    canvas.setCompositionMode(QPainter::CompositionMode_Difference);
    canvas.setPen(QPen(Qt::white, 0));
    canvas.drawPoints(dots);
    canvas.restore();
}

bool HasVisibleCaption(const QString& caption) {
    return std::any_of(caption.begin(), caption.end(), [](QChar c) { return c > u' '; });
}

void DrawDisabledCaption(QPainter& canvas, const QRect& area, int flags, const QString& caption) {
    canvas.setPen(QColor(Qt::white));
    canvas.drawText(area.translated(1, 1), flags, caption);
    canvas.setPen(QColor(DisabledCaptionGrey));
    canvas.drawText(area, flags, caption);
}

void DrawDropArrow(QPainter& canvas, const QPoint& origin, const QColor& color, bool enabled) {
    const auto triangle = [&canvas](const QPoint& at, const QColor& fill) {
        for (int row = 0; row < 4; ++row)
            canvas.fillRect(at.x() + row, at.y() + row, 7 - 2 * row, 1, fill);
    };
    if (enabled) {
        triangle(origin, color);
        return;
    }
    triangle(origin + QPoint(1, 1), Qt::white);
    triangle(origin, QColor(DisabledCaptionGrey));
}

void PaintOffscreen(QWidget* control, const QColor& background,
                    const std::function<void(QPainter& canvas)>& paint) {
    QImage buffer(control->size(), QImage::Format_ARGB32_Premultiplied);
    buffer.fill(background);
    {
        QPainter canvas(&buffer);
        paint(canvas);
    }
    QPainter(control).drawImage(0, 0, buffer);
}

TPictureState PictureState(bool enabled, bool pressed, bool mouseOver) {
    if (!enabled)
        return TPictureState::Disabled;
    if (pressed)
        return TPictureState::MouseDown;
    return mouseOver ? TPictureState::MouseOn : TPictureState::Normal;
}

QImage ThemeStatePicture(TsuiUIStyle style, int normalEntry, TPictureState state) {
    const int offset = state == TPictureState::Disabled ? 0 : static_cast<int>(state);
    return ThemeBitmap(style, normalEntry + offset);
}

void RotateBitmapLeft(QImage& bitmap) {
    if (bitmap.isNull())
        return;
    const QImage source = bitmap.convertToFormat(bitmap.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                          : QImage::Format_RGB32);
    const int w = source.width(), h = source.height();
    QImage rotated(h, w, source.format());
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < w; ++x)
            reinterpret_cast<QRgb*>(rotated.scanLine(w - 1 - x))[y] = in[x];
    }
    bitmap = rotated;
}

bool PointInRect(int x, int y, const TRect& rect) {
    return rect.Left <= x && x <= rect.Right && rect.Top <= y && y <= rect.Bottom;
}

bool PointInRect(const QPoint& point, const TRect& rect) {
    return PointInRect(point.x(), point.y(), rect);
}

TRect GetWorkAreaRect(const QWidget* widget) {
    const QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? TRect::fromQRect(screen->availableGeometry()) : TRect{};
}

QString SpokenCaption(QString caption) {
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    return caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
}

} // namespace pestrel
