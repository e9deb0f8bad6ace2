#include "Paint.h"

#include <algorithm>
#include <cmath>

namespace skingen {

QColor Mix(const QColor& a, const QColor& b, double t) {
    auto lerp = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()));
}

QColor Lighter(const QColor& c, double t) {
    return Mix(c, Qt::white, t);
}
QColor Darker(const QColor& c, double t) {
    return Mix(c, Qt::black, t);
}

namespace {

QColor At(const Stops& stops, int i) {
    if (i <= stops.front().first)
        return stops.front().second;
    for (std::size_t s = 1; s < stops.size(); ++s) {
        if (i <= stops[s].first) {
            const auto& [p0, c0] = stops[s - 1];
            const auto& [p1, c1] = stops[s];
            return p1 == p0 ? c1 : Mix(c0, c1, double(i - p0) / double(p1 - p0));
        }
    }
    return stops.back().second;
}

} // namespace

QImage Column(const Stops& stops, int height) {
    QImage out(1, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        out.setPixelColor(0, y, At(stops, y));
    return out;
}

QImage Row(const Stops& stops, int width) {
    QImage out(width, 1, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x)
        out.setPixelColor(x, 0, At(stops, x));
    return out;
}

QImage Widen(const QImage& column, int width) {
    QImage out(width, column.height(), QImage::Format_RGB32);
    for (int y = 0; y < column.height(); ++y) {
        const QRgb c = column.pixel(0, y);
        for (int x = 0; x < width; ++x)
            out.setPixel(x, y, c);
    }
    return out;
}

QImage Solid(int width, int height, const QColor& color) {
    QImage out(width, height, QImage::Format_RGB32);
    out.fill(color);
    return out;
}

QImage Rows(const QImage& image, int top, int height) {
    QImage out(image.width(), height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const int from = std::clamp(top + y, 0, image.height() - 1);
        for (int x = 0; x < image.width(); ++x)
            out.setPixel(x, y, image.pixel(x, from));
    }
    return out;
}

QImage Compose(const QImage& background, const std::function<void(QPainter&)>& layer,
               std::optional<QColor> key) {
    QImage shapes(background.size(), QImage::Format_ARGB32_Premultiplied);
    shapes.fill(Qt::transparent);
    {
        QPainter p(&shapes);
        p.setRenderHint(QPainter::Antialiasing);
        layer(p);
    }
    QImage out = background.convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&out);
        p.drawImage(0, 0, shapes);
    }
    if (key) {
        for (int y = 0; y < out.height(); ++y) {
            for (int x = 0; x < out.width(); ++x) {
                if (qAlpha(shapes.pixel(x, y)) < 128)
                    out.setPixelColor(x, y, *key);
            }
        }
    }
    return out;
}

QLinearGradient VerticalGradient(double top, double bottom, const Stops& stops, int span) {
    QLinearGradient g(0, top, 0, bottom);
    for (const auto& [at, color] : stops)
        g.setColorAt(std::clamp(double(at) / span, 0.0, 1.0), color);
    return g;
}

} // namespace skingen
