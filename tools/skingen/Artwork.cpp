#include "Artwork.h"

#include "Paint.h"

#include <QPainterPath>
#include <cmath>

namespace skingen {
namespace {

enum class Shape { Circle, RoundSquare, Square, Pill, Orb };
enum class Glyph { Close, Max, Min, Help, CtlBox, Restore };

struct Colors {
    QColor top, bottom;
};

// How one style draws; a value given here is the one most styles share.
struct Look {
    QString prefix;
    QImage titleProfile; // one column, the bar's height
    int titleLeft, titleClient, titleRight;
    QColor titleEdge = QColor(0, 0, 0); // outer frame line of the bar
    QColor titleSheen;                  // light decoration of the end sections
    int titleSheenAlpha = 110;
    int tbSize = 19, tbTop;
    bool tbTransparent = false;
    Shape tbShape;
    Colors tb, tbClose;
    QColor tbBorder, tbGlyph;
    QColor face;
    QSize button;
    double buttonRadius;
    Colors btnNormal, btnHover, btnDown;
    QColor btnBorder, btnHoverBorder;
    bool buttonKeyed = false;
    QSize check = {13, 13}, radio = {13, 13};
    QColor checkBorder, checkFill, checkMark;
    QSize progress = {1, 10}, progressV = {10, 1};
    Colors progressFill;
    bool progressBlocks = false;
    QSize tab, tabLine;
    Colors tabActive, tabInactive;
    QColor tabBorder = QColor(0, 0, 0), pageColor;
    int trackBarHeight = 4;
    QSize slider = {11, 20}, sliderV = {18, 11};
    Colors sliderFill;
    QColor sliderBorder;
    bool xpNames = false;
};

// --- glyphs -------------------------------------------------------------------------------------
void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& color, double width) {
    QPen pen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    switch (glyph) {
    case Glyph::Close:
        p.drawLine(QPointF(l, t), QPointF(r, b));
        p.drawLine(QPointF(r, t), QPointF(l, b));
        break;
    case Glyph::Max:
        p.drawRect(box);
        p.drawLine(QPointF(l, t + width), QPointF(r, t + width));
        break;
    case Glyph::Min:
        p.drawLine(QPointF(l, b), QPointF(r - box.width() * 0.3, b));
        break;
    case Glyph::Restore: {
        const double d = box.width() * 0.35;
        p.drawRect(QRectF(l, t + d, box.width() - d, box.height() - d));
        p.drawLine(QPointF(l + d, t), QPointF(r, t));
        p.drawLine(QPointF(r, t), QPointF(r, b - d));
        break;
    }
    case Glyph::Help: {
        QPainterPath path;
        const double cx = box.center().x();
        path.moveTo(l + box.width() * 0.12, t + box.height() * 0.28);
        path.cubicTo(l + box.width() * 0.12, t - box.height() * 0.08, r - box.width() * 0.05,
                     t - box.height() * 0.05, r - box.width() * 0.1, t + box.height() * 0.3);
        path.cubicTo(r - box.width() * 0.15, t + box.height() * 0.5, cx, t + box.height() * 0.45,
                     cx, t + box.height() * 0.68);
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QPointF(cx, b), width * 0.7, width * 0.7);
        break;
    }
    case Glyph::CtlBox:
        for (int i = 0; i < 3; ++i) {
            const double y = t + box.height() * (0.15 + 0.35 * i);
            p.drawLine(QPointF(l, y), QPointF(r, y));
        }
        break;
    }
}

// --- title bar ----------------------------------------------------------------------------------
QImage TitleSection(const Look& look, int width, bool left, bool decorate) {
    const QImage base = Widen(look.titleProfile, width);
    if (!decorate)
        return base;
    const int h = base.height();
    return Compose(base, [&](QPainter& p) {
        // A soft sheen that fades out toward the inner edge, so the sections meet seamlessly.
        QLinearGradient fade(left ? 0 : width, 0, left ? width : 0, 0);
        QColor strong = look.titleSheen, none = look.titleSheen;
        strong.setAlpha(look.titleSheenAlpha);
        none.setAlpha(0);
        fade.setColorAt(0, strong);
        fade.setColorAt(0.85, none);
        fade.setColorAt(1, none);
        p.setPen(Qt::NoPen);
        p.setBrush(fade);
        p.drawRect(QRectF(0, 1, width, h * 0.45));
        // The outer frame line and a highlight just inside it.
        const double x = left ? 0.5 : width - 0.5;
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(look.titleEdge);
        p.drawLine(QPointF(x, 0), QPointF(x, h));
        QColor inner = look.titleSheen;
        inner.setAlpha(120);
        p.setPen(inner);
        p.drawLine(QPointF(left ? 1 : width - 2, 1), QPointF(left ? 1 : width - 2, h - 2));
    });
}

// Protein's wide left section: bubbles on the bar fading out to the plain colour.
QImage ProteinTitleLeft(const Look& look) {
    const int w = look.titleLeft, h = look.titleProfile.height();
    const QImage base = TitleSection(look, w, true, true);
    return Compose(base, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        struct Bubble {
            double x, y, r;
        };
        const Bubble bubbles[] = {{40, 6, 9},   {72, 17, 6},  {110, 4, 11}, {150, 18, 7},
                                  {196, 8, 10}, {240, 15, 6}, {282, 5, 8},  {320, 16, 5},
                                  {356, 9, 6},  {388, 14, 4}};
        // Faint enough that the white caption stays readable where it crosses them.
        for (const Bubble& b : bubbles) {
            const double fade = 1.0 - b.x / (w - 30);
            QRadialGradient g(b.x - b.r * 0.3, b.y - b.r * 0.4, b.r * 1.2);
            g.setColorAt(0, QColor(255, 255, 255, int(40 * fade)));
            g.setColorAt(1, QColor(255, 255, 255, int(8 * fade)));
            p.setBrush(g);
            p.drawEllipse(QPointF(b.x, b.y), b.r, b.r);
        }
        (void)h;
    });
}

// --- title-bar buttons
// ----------------------------------------------------------------------------
QImage TitleButton(const Look& look, Glyph glyph, int state) {
    const int s = look.tbSize;
    const QImage background = Rows(Widen(look.titleProfile, s), look.tbTop, s);
    const bool close = glyph == Glyph::Close;
    Colors fill = close ? look.tbClose : look.tb;
    if (look.tbShape == Shape::Circle) { // jewels of their own colour per button
        if (glyph == Glyph::Max || glyph == Glyph::Restore)
            fill = {QColor(150, 220, 120), QColor(60, 160, 50)};
        else if (glyph == Glyph::Help)
            fill = {QColor(140, 190, 250), QColor(50, 110, 210)};
        else if (glyph == Glyph::CtlBox)
            fill = {QColor(210, 210, 215), QColor(140, 140, 150)};
    }
    if (state == 1)
        fill = {Lighter(fill.top, 0.3), Lighter(fill.bottom, 0.25)};
    if (state == 2)
        fill = {Darker(fill.bottom, 0.2), Darker(fill.top, 0.15)};
    const double shift = state == 2 ? 0.6 : 0.0;
    auto layer = [&](QPainter& p) {
        const QRectF body(0.5, 0.5, s - 1.5, s - 1.5);
        p.setPen(QPen(look.tbBorder, 1));
        switch (look.tbShape) {
        case Shape::Circle:
        case Shape::Orb: {
            QRadialGradient g(s * 0.5, s * 0.35, s * 0.6);
            g.setColorAt(0, fill.top);
            g.setColorAt(1, fill.bottom);
            p.setBrush(g);
            p.drawEllipse(body);
            if (look.tbShape == Shape::Orb || state != 2) {
                QLinearGradient shine(0, 1, 0, s * 0.5);
                shine.setColorAt(0, QColor(255, 255, 255, 200));
                shine.setColorAt(1, QColor(255, 255, 255, 20));
                p.setPen(Qt::NoPen);
                p.setBrush(shine);
                p.drawEllipse(QRectF(s * 0.22, 1.5, s * 0.56, s * 0.4));
            }
            break;
        }
        case Shape::RoundSquare:
        case Shape::Pill:
        case Shape::Square: {
            const double radius = look.tbShape == Shape::Square ? 0
                                  : look.tbShape == Shape::Pill ? s * 0.3
                                                                : 3;
            QLinearGradient g(0, 0, 0, s);
            g.setColorAt(0, fill.top);
            g.setColorAt(1, fill.bottom);
            p.setBrush(g);
            p.drawRoundedRect(body, radius, radius);
            break;
        }
        }
        // MacOS jewels show their glyph only once the pointer is on them.
        const bool showGlyph = look.tbShape != Shape::Circle || state != 0;
        if (showGlyph) {
            const double m = s * 0.3;
            const QRectF box(m + shift, m + shift, s - 2 * m - 1, s - 2 * m - 1);
            DrawGlyph(p, glyph, box, look.tbGlyph, s >= 19 ? 2.0 : 1.5);
        }
    };
    const std::optional<QColor> key =
        look.tbTransparent ? std::optional<QColor>(Magenta) : std::nullopt;
    return Compose(background, layer, key);
}

// --- push buttons
// ---------------------------------------------------------------------------------
QImage PushButton(const Look& look, int state) {
    const Colors fill = state == 0 ? look.btnNormal : state == 1 ? look.btnHover : look.btnDown;
    const QColor border = state == 1 ? look.btnHoverBorder : look.btnBorder;
    const int w = look.button.width(), h = look.button.height();
    const QImage background = Solid(w, h, look.face);
    auto layer = [&](QPainter& p) {
        const QRectF body(0.5, 0.5, w - 1, h - 1);
        QLinearGradient g(0, 0, 0, h);
        g.setColorAt(0, fill.top);
        g.setColorAt(0.5, Mix(fill.top, fill.bottom, 0.45));
        g.setColorAt(0.52, fill.bottom);
        g.setColorAt(1, Mix(fill.bottom, fill.top, 0.3));
        p.setPen(QPen(border, 1));
        p.setBrush(g);
        p.drawRoundedRect(body, look.buttonRadius, look.buttonRadius);
        // An inner highlight (or a pressed shadow) one pixel inside the border.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(state == 2 ? QColor(0, 0, 0, 45) : QColor(255, 255, 255, 150), 1));
        const double r = std::max(0.0, look.buttonRadius - 1);
        p.drawRoundedRect(body.adjusted(1, 1, -1, -1), r, r);
        if (state == 1) { // a warm glow along the bottom edge when hovered
            QLinearGradient glow(0, h - 5, 0, h);
            glow.setColorAt(0, QColor(255, 200, 80, 0));
            glow.setColorAt(1, QColor(255, 190, 60, 120));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawRoundedRect(body.adjusted(1, 1, -1, -1), r, r);
        }
    };
    QImage out =
        Compose(background, layer, look.buttonKeyed ? std::optional(Magenta) : std::nullopt);
    if (!look.buttonKeyed)
        out.setPixelColor(0, 0, look.face); // the corner stays the face colour
    return out;
}

// --- check boxes and radio buttons ---------------------------------------------------------------
QImage CheckPicture(const Look& look, bool radio, bool checked, int state, bool disabled) {
    const QSize size = radio ? look.radio : look.check;
    const int w = size.width(), h = size.height();
    const int d = std::min(w, h) - (w == 13 ? 0 : 2);
    const QRectF box((w - d) / 2.0 + 0.5, (h - d) / 2.0 + 0.5, d - 1, d - 1);
    QColor fillTop = disabled ? look.face : Qt::white;
    QColor fillBottom = disabled ? look.face : look.checkFill;
    if (state == 1)
        fillBottom = Lighter(QColor(255, 200, 90), 0.35);
    if (state == 2)
        fillTop = fillBottom = Darker(look.checkFill, 0.12);
    const QColor border = disabled ? QColor(170, 170, 170) : look.checkBorder;
    const QColor mark = disabled ? QColor(150, 150, 150) : look.checkMark;
    return Compose(Solid(w, h, look.face), [&](QPainter& p) {
        QLinearGradient g(0, box.top(), 0, box.bottom());
        g.setColorAt(0, fillTop);
        g.setColorAt(1, fillBottom);
        p.setPen(QPen(border, 1));
        p.setBrush(g);
        if (radio)
            p.drawEllipse(box);
        else
            p.drawRoundedRect(box, 1.5, 1.5);
        if (!checked)
            return;
        if (radio) {
            p.setPen(Qt::NoPen);
            p.setBrush(mark);
            p.drawEllipse(box.center(), d * 0.2, d * 0.2);
        } else {
            QPainterPath tick;
            tick.moveTo(box.left() + d * 0.22, box.top() + d * 0.5);
            tick.lineTo(box.left() + d * 0.42, box.top() + d * 0.7);
            tick.lineTo(box.left() + d * 0.78, box.top() + d * 0.25);
            p.setPen(QPen(mark, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(tick);
        }
    });
}

// --- progress bar, tabs, track bar
// ------------------------------------------------------------------
QImage ProgressFill(const Look& look, bool vertical) {
    const QSize size = vertical ? look.progressV : look.progress;
    const int w = size.width(), h = size.height();
    const int across = vertical ? w : h;
    const QImage column = Column({{0, Lighter(look.progressFill.top, 0.4)},
                                  {across / 2, look.progressFill.top},
                                  {across - 1, look.progressFill.bottom}},
                                 across);
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            out.setPixel(x, y, column.pixel(0, vertical ? x : y));
    }
    if (look.progressBlocks) { // separate segments with a face-coloured gap
        for (int i = 0; i < across; ++i) {
            if (vertical)
                out.setPixelColor(i, h - 1, look.face);
            else
                out.setPixelColor(w - 1, i, look.face);
        }
    }
    if (look.prefix == "MACOS_") { // diagonal stripes
        return Compose(out, [&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 70));
            for (int x = -h; x < w + h; x += 7) {
                QPolygonF band;
                band << QPointF(x, h) << QPointF(x + 3, h) << QPointF(x + 3 + h, 0)
                     << QPointF(x + h, 0);
                p.drawPolygon(band);
            }
        });
    }
    return out;
}

QImage TabPicture(const Look& look, bool active) {
    const int w = look.tab.width(), h = look.tab.height();
    const Colors fill = active ? look.tabActive : look.tabInactive;
    const double r = std::min(w / 3.0, 4.0);
    return Compose(
        Solid(w, h, look.face),
        [&](QPainter& p) {
            QPainterPath path;
            path.moveTo(0.5, h + 1);
            path.lineTo(0.5, r + 0.5);
            path.quadTo(0.5, 0.5, r + 0.5, 0.5);
            path.lineTo(w - r - 0.5, 0.5);
            path.quadTo(w - 0.5, 0.5, w - 0.5, r + 0.5);
            path.lineTo(w - 0.5, h + 1);
            QLinearGradient g(0, 0, 0, h);
            g.setColorAt(0, fill.top);
            g.setColorAt(1, fill.bottom);
            p.setPen(QPen(look.tabBorder, 1));
            p.setBrush(g);
            p.drawPath(path);
            if (active && look.prefix == "WINXP_") { // the orange top edge
                p.setPen(QPen(QColor(255, 200, 60), 2));
                p.drawLine(QPointF(r, 1.5), QPointF(w - r, 1.5));
            }
        },
        Magenta);
}

QImage TabLine(const Look& look) {
    const int w = look.tabLine.width(), h = look.tabLine.height();
    QImage out = Widen(Column({{0, look.tabBorder},
                               {1, Lighter(look.tabActive.bottom, 0.2)},
                               {h - 1, look.pageColor}},
                              h),
                       w);
    return out;
}

QImage TrackBar(const Look& look) {
    const int w = 45, h = look.trackBarHeight;
    return Compose(Solid(w, h, look.face), [&](QPainter& p) {
        QLinearGradient g(0, 0, 0, h);
        g.setColorAt(0, Darker(look.face, 0.35));
        g.setColorAt(1, Lighter(look.face, 0.6));
        p.setPen(QPen(Darker(look.face, 0.45), 1));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), h / 2.0, h / 2.0);
    });
}

QImage Slider(const Look& look, bool vertical) {
    const QSize size = vertical ? look.sliderV : look.slider;
    const int w = size.width(), h = size.height();
    return Compose(Solid(w, h, look.face), [&](QPainter& p) {
        // A thumb with a pointed end: down for the horizontal bar, right for the vertical one.
        QPolygonF thumb;
        if (vertical)
            thumb << QPointF(0.5, 0.5) << QPointF(w * 0.7, 0.5) << QPointF(w - 0.5, h / 2.0)
                  << QPointF(w * 0.7, h - 0.5) << QPointF(0.5, h - 0.5);
        else
            thumb << QPointF(0.5, 0.5) << QPointF(w - 0.5, 0.5) << QPointF(w - 0.5, h * 0.7)
                  << QPointF(w / 2.0, h - 0.5) << QPointF(0.5, h * 0.7);
        QLinearGradient g(0, 0, vertical ? 0 : w, vertical ? h : 0);
        g.setColorAt(0, look.sliderFill.top);
        g.setColorAt(1, look.sliderFill.bottom);
        p.setPen(QPen(look.sliderBorder, 1));
        p.setBrush(g);
        p.drawPolygon(thumb);
    });
}

// --- the styles
// -----------------------------------------------------------------------------------
Look MacOS() {
    Look l;
    l.prefix = "MACOS_";
    // Grey pinstripes between a light top line and a dark bottom line.
    QImage profile(1, 23, QImage::Format_RGB32);
    for (int y = 0; y < 23; ++y)
        profile.setPixelColor(0, y, y % 2 ? QColor(222, 222, 222) : QColor(240, 240, 240));
    profile.setPixelColor(0, 0, QColor(250, 250, 250));
    profile.setPixelColor(0, 22, QColor(128, 128, 128));
    l.titleProfile = profile;
    l.titleLeft = 48, l.titleClient = 49, l.titleRight = 48;
    l.titleEdge = QColor(127, 127, 127), l.titleSheen = QColor(255, 255, 255);
    l.tbSize = 17, l.tbTop = 4, l.tbShape = Shape::Circle;
    l.tb = {QColor(250, 200, 90), QColor(222, 150, 30)};
    l.tbClose = {QColor(250, 120, 110), QColor(205, 50, 45)};
    l.tbBorder = QColor(120, 110, 100), l.tbGlyph = QColor(90, 40, 20);
    l.face = QColor(231, 231, 231);
    l.button = {84, 23}, l.buttonRadius = 10.5;
    l.btnNormal = {QColor(255, 255, 255), QColor(226, 226, 226)};
    l.btnHover = {QColor(200, 225, 250), QColor(120, 175, 235)};
    l.btnDown = {QColor(110, 160, 220), QColor(60, 120, 200)};
    l.btnBorder = QColor(120, 120, 120), l.btnHoverBorder = QColor(70, 110, 170);
    l.check = {15, 17}, l.radio = {16, 17};
    l.checkBorder = QColor(110, 110, 110), l.checkFill = QColor(215, 215, 215);
    l.checkMark = QColor(30, 30, 30);
    l.progress = {13, 10}, l.progressV = {13, 13};
    l.progressFill = {QColor(110, 165, 235), QColor(40, 100, 200)};
    l.tab = {18, 27}, l.tabLine = {17, 7};
    l.tabActive = {QColor(200, 225, 250), QColor(110, 165, 235)};
    l.tabInactive = {QColor(250, 250, 250), QColor(210, 210, 210)};
    l.tabBorder = QColor(127, 127, 127), l.pageColor = l.face;
    l.trackBarHeight = 5, l.sliderV = {19, 11};
    l.sliderFill = {QColor(250, 250, 250), QColor(190, 190, 190)};
    l.sliderBorder = QColor(100, 100, 100);
    return l;
}

Look WinXP() {
    Look l;
    l.prefix = "WINXP_";
    l.titleProfile = Column({{0, QColor(60, 140, 246)},
                             {1, QColor(120, 180, 255)},
                             {3, QColor(40, 122, 240)},
                             {14, QColor(0, 85, 229)},
                             {24, QColor(0, 72, 214)},
                             {27, QColor(0, 63, 192)},
                             {28, QColor(0, 44, 150)}},
                            29);
    l.titleLeft = 35, l.titleClient = 37, l.titleRight = 35;
    l.titleEdge = QColor(0, 44, 200), l.titleSheen = QColor(160, 200, 255);
    l.tbSize = 21, l.tbTop = 5, l.tbShape = Shape::RoundSquare;
    l.tb = {QColor(110, 160, 255), QColor(30, 90, 230)};
    l.tbClose = {QColor(240, 140, 110), QColor(205, 60, 20)};
    l.tbBorder = QColor(255, 255, 255), l.tbGlyph = QColor(255, 255, 255);
    l.face = QColor(239, 235, 222);
    l.button = {18, 21}, l.buttonRadius = 3;
    l.btnNormal = {QColor(255, 255, 255), QColor(236, 235, 230)};
    l.btnHover = {QColor(255, 255, 255), QColor(236, 235, 230)};
    l.btnDown = {QColor(226, 224, 214), QColor(242, 241, 236)};
    l.btnBorder = QColor(0, 60, 116), l.btnHoverBorder = QColor(230, 150, 30);
    l.checkBorder = QColor(28, 81, 128), l.checkFill = QColor(226, 226, 218);
    l.checkMark = QColor(33, 161, 33);
    l.progress = {6, 10}, l.progressV = {10, 6};
    l.progressFill = {QColor(100, 220, 100), QColor(40, 170, 40)}, l.progressBlocks = true;
    l.tab = {9, 18}, l.tabLine = {8, 1};
    l.tabActive = {QColor(255, 255, 255), QColor(252, 252, 254)};
    l.tabInactive = {QColor(255, 255, 255), QColor(226, 226, 220)};
    l.tabBorder = QColor(145, 155, 156), l.pageColor = QColor(145, 155, 156);
    l.trackBarHeight = 8, l.slider = {11, 21}, l.sliderV = {22, 11};
    l.sliderFill = {QColor(255, 255, 255), QColor(200, 225, 200)};
    l.sliderBorder = QColor(28, 81, 128);
    l.xpNames = true;
    return l;
}

Look DeepBlue() {
    Look l;
    l.prefix = "DEEPBLUE_";
    l.titleProfile = Column({{0, QColor(96, 128, 200)},
                             {1, QColor(56, 88, 160)},
                             {15, QColor(28, 56, 118)},
                             {16, QColor(16, 38, 92)},
                             {30, QColor(10, 28, 66)},
                             {31, QColor(4, 12, 32)}},
                            32);
    l.titleLeft = 97, l.titleClient = 98, l.titleRight = 97;
    l.titleSheen = QColor(150, 180, 240);
    l.tbTop = 2, l.tbShape = Shape::Square;
    l.tb = {QColor(52, 84, 150), QColor(24, 46, 100)};
    l.tbClose = {QColor(150, 60, 70), QColor(100, 20, 30)};
    l.tbBorder = QColor(120, 150, 210), l.tbGlyph = QColor(240, 245, 255);
    l.face = QColor(232, 232, 232);
    l.button = {74, 21}, l.buttonRadius = 2;
    l.btnNormal = {QColor(246, 248, 252), QColor(206, 216, 234)};
    l.btnHover = {QColor(235, 243, 255), QColor(170, 200, 245)};
    l.btnDown = {QColor(160, 180, 215), QColor(195, 210, 235)};
    l.btnBorder = QColor(30, 50, 100), l.btnHoverBorder = QColor(40, 90, 190);
    l.checkBorder = QColor(30, 50, 100), l.checkFill = QColor(210, 220, 238);
    l.checkMark = QColor(20, 40, 110);
    l.progressFill = {QColor(70, 110, 190), QColor(20, 45, 110)};
    l.tab = {6, 17}, l.tabLine = {5, 5};
    l.tabActive = {QColor(90, 125, 200), QColor(30, 60, 130)};
    l.tabInactive = {QColor(230, 234, 242), QColor(190, 200, 220)};
    l.pageColor = QColor(30, 60, 130);
    l.sliderFill = {QColor(90, 125, 200), QColor(30, 60, 130)};
    l.sliderBorder = QColor(10, 20, 60);
    return l;
}

Look Protein() {
    Look l;
    l.prefix = "PROTEIN_";
    // A mid periwinkle under the white caption, with a light bevel along the top.
    l.titleProfile = Column({{0, QColor(190, 200, 234)},
                             {1, QColor(104, 120, 184)},
                             {11, QColor(86, 102, 162)},
                             {21, QColor(68, 82, 138)},
                             {22, QColor(44, 54, 96)}},
                            23);
    l.titleLeft = 441, l.titleClient = 1, l.titleRight = 1;
    l.titleSheen = QColor(235, 240, 255), l.titleSheenAlpha = 36;
    l.tbTop = 2, l.tbTransparent = true, l.tbShape = Shape::Pill;
    l.tb = {QColor(248, 250, 255), QColor(196, 206, 234)};
    l.tbClose = {QColor(255, 236, 236), QColor(232, 160, 170)};
    l.tbBorder = QColor(80, 94, 140), l.tbGlyph = QColor(50, 60, 100);
    l.face = QColor(251, 251, 251);
    l.button = {74, 21}, l.buttonRadius = 5;
    l.btnNormal = {QColor(255, 255, 255), QColor(232, 234, 242)};
    l.btnHover = {QColor(255, 255, 245), QColor(246, 236, 196)};
    l.btnDown = {QColor(214, 220, 236), QColor(236, 238, 246)};
    l.btnBorder = QColor(150, 160, 190), l.btnHoverBorder = QColor(200, 170, 90);
    l.checkBorder = QColor(120, 132, 170), l.checkFill = QColor(236, 238, 246);
    l.checkMark = QColor(80, 90, 150);
    l.progressFill = {QColor(170, 190, 240), QColor(110, 130, 200)};
    l.tab = {9, 17}, l.tabLine = {10, 5};
    l.tabActive = {QColor(255, 255, 255), QColor(251, 251, 251)};
    l.tabInactive = {QColor(236, 238, 246), QColor(210, 216, 234)};
    l.pageColor = QColor(251, 251, 251);
    l.sliderFill = {QColor(255, 255, 255), QColor(200, 208, 232)};
    l.sliderBorder = QColor(90, 100, 150);
    return l;
}

Look BlueGlass() {
    Look l;
    l.prefix = "BLUEGLASS_";
    l.titleProfile = Column({{0, QColor(216, 232, 255)},
                             {1, QColor(170, 202, 246)},
                             {15, QColor(124, 166, 230)},
                             {16, QColor(72, 122, 204)},
                             {28, QColor(100, 150, 224)},
                             {31, QColor(80, 128, 210)},
                             {32, QColor(40, 84, 160)}},
                            33);
    l.titleLeft = 162, l.titleClient = 179, l.titleRight = 101;
    l.titleSheen = QColor(230, 242, 255);
    l.tbTop = 6, l.tbTransparent = true, l.tbShape = Shape::Orb;
    l.tb = {QColor(150, 200, 255), QColor(30, 90, 190)};
    l.tbClose = {QColor(255, 160, 150), QColor(190, 30, 30)};
    l.tbBorder = QColor(20, 50, 110), l.tbGlyph = QColor(255, 255, 255);
    l.face = QColor(231, 231, 231);
    l.button = {77, 27}, l.buttonRadius = 6;
    l.btnNormal = {QColor(226, 238, 255), QColor(150, 190, 240)};
    l.btnHover = {QColor(240, 248, 255), QColor(170, 215, 255)};
    l.btnDown = {QColor(120, 165, 225), QColor(160, 200, 245)};
    l.btnBorder = QColor(50, 90, 160), l.btnHoverBorder = QColor(60, 130, 230);
    l.buttonKeyed = true;
    l.checkBorder = QColor(50, 90, 160), l.checkFill = QColor(200, 222, 250);
    l.checkMark = QColor(20, 60, 150);
    l.progressFill = {QColor(140, 190, 250), QColor(50, 110, 210)};
    l.tab = {9, 17}, l.tabLine = {10, 5};
    l.tabActive = {QColor(220, 236, 255), QColor(150, 190, 240)};
    l.tabInactive = {QColor(246, 248, 252), QColor(214, 222, 236)};
    l.pageColor = QColor(150, 190, 240);
    l.sliderFill = {QColor(200, 225, 255), QColor(80, 130, 210)};
    l.sliderBorder = QColor(30, 60, 130);
    return l;
}

void AddStyle(const Look& look, std::vector<Picture>& out) {
    auto add = [&](const QString& element, QImage image) {
        out.push_back({look.prefix + element, std::move(image)});
    };
    const bool protein = look.prefix == "PROTEIN_";
    add("TITLE_LEFT",
        protein ? ProteinTitleLeft(look) : TitleSection(look, look.titleLeft, true, true));
    add("TITLE_CLIENT", TitleSection(look, look.titleClient, true, false));
    add("TITLE_RIGHT", TitleSection(look, look.titleRight, false, !protein));

    const std::pair<const char*, Glyph> buttons[] = {
        {"CLOSE", Glyph::Close}, {"MAX", Glyph::Max},       {"MIN", Glyph::Min},
        {"HELP", Glyph::Help},   {"CTLBOX", Glyph::CtlBox}, {"RST", Glyph::Restore}};
    const char* states[] = {"NORMAL", "MOUSEON", "MOUSEDOWN"};
    for (const auto& [name, glyph] : buttons) {
        if (glyph == Glyph::Restore && !look.xpNames)
            continue;
        for (int s = 0; s < 3; ++s)
            add(QStringLiteral("TITLEBTN_%1_%2").arg(name, states[s]), TitleButton(look, glyph, s));
    }
    for (int s = 0; s < 3; ++s)
        add(QStringLiteral("BUTTON_%1").arg(states[s]), PushButton(look, s));

    for (const bool radio : {false, true}) {
        const QString kind = radio ? "RADIOBUTTON_" : "CHECKBOX_";
        for (const bool checked : {true, false}) {
            const QString tail = checked ? "CHECK" : "UNCHECK";
            add(kind + "DISABLE_" + tail, CheckPicture(look, radio, checked, 0, true));
            if (look.xpNames) {
                for (int s = 0; s < 3; ++s)
                    add(kind + states[s] + "_" + tail,
                        CheckPicture(look, radio, checked, s, false));
            } else {
                add(kind + tail, CheckPicture(look, radio, checked, 0, false));
            }
        }
    }
    add("PROGRESSBAR", ProgressFill(look, false));
    add("PROGRESSBAR_V", ProgressFill(look, true));
    add("TAB_ACTIVE", TabPicture(look, true));
    add("TAB_INACTIVE", TabPicture(look, false));
    add("TAB_LINE", TabLine(look));
    add("TRACKBAR_BAR", TrackBar(look));
    add("TRACKBAR_SLIDER", Slider(look, false));
    add("TRACKBAR_SLIDER_V", Slider(look, true));
}

// --- pictures outside the styles
// --------------------------------------------------------------------
void AddShared(const Look& mac, const Look& protein, std::vector<Picture>& out) {
    QImage macBackground(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            macBackground.setPixelColor(x, y,
                                        y % 2 ? QColor(225, 225, 225) : QColor(236, 236, 236));
    }
    out.push_back({"MACOS_FORM_BACKGROUND", macBackground});

    out.push_back({"PROTEIN_FORM_BACKGROUND", Compose(Solid(8, 8, protein.face), [](QPainter& p) {
                       p.setRenderHint(QPainter::Antialiasing, false);
                       p.setPen(QColor(238, 240, 248));
                       p.drawPoint(1, 1);
                       p.drawPoint(5, 5);
                   })});
    out.push_back({"MACOS_MENU_BAR", Rows(mac.titleProfile, 0, 22)});
    out.push_back(
        {"MACOS_MENU_SELECT",
         Column({{0, QColor(120, 170, 240)}, {10, QColor(60, 120, 220)}, {20, QColor(30, 90, 200)}},
                21)});
    // The face alone: the combo box draws its arrow over it.
    out.push_back({"MACOS_COMBOBOX_BUTTON", Compose(Solid(16, 17, mac.face), [&](QPainter& p) {
                       QLinearGradient g(0, 0, 0, 17);
                       g.setColorAt(0, mac.btnHover.top);
                       g.setColorAt(1, mac.btnHover.bottom);
                       p.setPen(QPen(mac.btnHoverBorder, 1));
                       p.setBrush(g);
                       p.drawRoundedRect(QRectF(0.5, 0.5, 15, 16), 4, 4);
                   })});

    const QColor channel(200, 208, 224);
    for (const bool hot : {false, true}) {
        out.push_back(
            {hot ? "SIDECHANNEL_BAR_MOUSEON" : "SIDECHANNEL_BAR_NORMAL",
             Compose(Solid(8, 172, hot ? QColor(255, 226, 150) : channel), [&](QPainter& p) {
                 QLinearGradient g(0, 0, 8, 0);
                 g.setColorAt(0, QColor(255, 255, 255, 160));
                 g.setColorAt(1, QColor(0, 0, 0, 40));
                 p.setPen(Qt::NoPen);
                 p.setBrush(g);
                 p.drawRect(0, 0, 8, 172);
                 p.setBrush(QColor(90, 100, 130));
                 for (int y = 70; y <= 100; y += 5)
                     p.drawEllipse(QPointF(4, y), 1.1, 1.1);
             })});
    }
    out.push_back({"SIDECHANNEL_BTN_ONTOP", Compose(Solid(8, 7, channel), [](QPainter& p) {
                       p.setPen(QPen(QColor(40, 50, 80), 1));
                       p.setBrush(QColor(240, 240, 250));
                       p.drawRect(QRectF(1.5, 0.5, 5, 3));
                       p.drawLine(QPointF(4, 3.5), QPointF(4, 6.5));
                   })});
    out.push_back({"SIDECHANNEL_BTN_NOONTOP", Compose(Solid(7, 9, channel), [](QPainter& p) {
                       p.setPen(QPen(QColor(40, 50, 80), 1));
                       p.setBrush(QColor(240, 240, 250));
                       p.drawRect(QRectF(2.5, 1.5, 3, 5));
                       p.drawLine(QPointF(0.5, 4), QPointF(2.5, 4));
                   })});
    out.push_back({"MENU_CHECKED", Compose(Solid(16, 16, Qt::white), [](QPainter& p) {
                       QPainterPath tick;
                       tick.moveTo(4, 8);
                       tick.lineTo(7, 11);
                       tick.lineTo(12, 4.5);
                       p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                       p.drawPath(tick);
                   })});
}

} // namespace

// The program icon: a green shield with a white cross-out of a dark bug, on transparency.
QImage ProgramIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0); // drawn in a 32-unit square
    QPainterPath shield;
    shield.moveTo(16, 1.5);
    shield.cubicTo(21, 4, 25, 5, 29, 5);
    shield.cubicTo(29, 18, 25, 26, 16, 30.5);
    shield.cubicTo(7, 26, 3, 18, 3, 5);
    shield.cubicTo(7, 5, 11, 4, 16, 1.5);
    QLinearGradient g(0, 0, 32, 32);
    g.setColorAt(0, QColor(120, 220, 120));
    g.setColorAt(1, QColor(20, 130, 50));
    p.setPen(QPen(QColor(10, 80, 30), 1.2));
    p.setBrush(g);
    p.drawPath(shield);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 30, 30));
    p.drawEllipse(QPointF(16, 17), 5, 6.5);
    p.drawEllipse(QPointF(16, 9.5), 3, 2.5);
    p.setPen(QPen(QColor(40, 30, 30), 1.4));
    for (int i = 0; i < 3; ++i) {
        const double y = 14 + i * 3.5;
        p.drawLine(QPointF(11, y), QPointF(7.5, y - 1.5 + i));
        p.drawLine(QPointF(21, y), QPointF(24.5, y - 1.5 + i));
    }
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 24), QPointF(23, 8));
    p.end();
    return icon;
}

std::vector<Picture> AllPictures() {
    std::vector<Picture> out;
    const Look looks[] = {MacOS(), WinXP(), DeepBlue(), Protein(), BlueGlass()};
    for (const Look& look : looks)
        AddStyle(look, out);
    AddShared(looks[0], looks[3], out);
    out.push_back({"MAINICON", ProgramIcon(32)});
    return out;
}

} // namespace skingen
