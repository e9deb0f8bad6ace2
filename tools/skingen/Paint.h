#pragma once
// Small drawing primitives for the skin artwork: colour columns, layered shapes over a background
// and colour-keyed corners.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace skingen {

// (row or column, colour) pairs; colours between stops are interpolated.
using Stops = std::vector<std::pair<int, QColor>>;

const QColor Magenta(255, 0, 255);

QColor Mix(const QColor& a, const QColor& b, double t);
QColor Lighter(const QColor& c, double t); // towards white
QColor Darker(const QColor& c, double t);  // towards black

// A 1 x height column (or width x 1 row) following the stops.
QImage Column(const Stops& stops, int height);
QImage Row(const Stops& stops, int width);
// `column` repeated over `width` columns.
QImage Widen(const QImage& column, int width);
QImage Solid(int width, int height, const QColor& color);
// The rows [top, top + height) of `image` (repeating its last row below its end).
QImage Rows(const QImage& image, int top, int height);

// Paints `layer` antialiased over `background`. With a key, every pixel the layer covers less
// than half becomes the key colour, so the picture can be drawn with that colour transparent.
QImage Compose(const QImage& background, const std::function<void(QPainter&)>& layer,
               std::optional<QColor> key = std::nullopt);

QLinearGradient VerticalGradient(double top, double bottom, const Stops& stops, int span);

} // namespace skingen
