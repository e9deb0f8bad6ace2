#include "skin/SUIPublic.h"

#include "skin/SkinBitmaps.h"

#include <QPaintEvent>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pestrel {
namespace {

const QRgb Paper = qRgb(1, 2, 3);

// Each pixel names its own position: red = x, green = y.
QImage Coded(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x, y, 100));
    return image;
}

QImage Canvas(int w, int h) {
    QImage canvas(w, h, QImage::Format_RGB32);
    canvas.fill(Paper);
    return canvas;
}

template <class Draw> QImage Painted(QImage canvas, Draw draw) {
    QPainter p(&canvas);
    draw(p);
    p.end();
    return canvas;
}

// The source column and row each target pixel shows, read from a drawing of a coded picture.
void ReadBack(const QImage& out, int left, int top, int w, int h, std::vector<int>& columns,
              std::vector<int>& rows) {
    columns.clear();
    rows.clear();
    for (int x = 0; x < w; ++x)
        columns.push_back(qRed(out.pixel(left + x, top)));
    for (int y = 0; y < h; ++y)
        rows.push_back(qGreen(out.pixel(left, top + y)));
}

std::vector<int> Range(int from, int to) { // inclusive
    std::vector<int> out;
    for (int i = from; i <= to; ++i)
        out.push_back(i);
    return out;
}
std::vector<int> Repeat(int value, int count) {
    return std::vector<int>(count, value);
}
std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(DrawSkinStretched, KeepsTheQuarterCornersAndRepeatsTheMiddle) {
    const QImage source = Coded(74, 21);
    const QImage out = Painted(Canvas(90, 35), [&](QPainter& p) {
        DrawSkinStretched(source, p, {5, 3, 85, 30}, false);
    });
    std::vector<int> columns, rows;
    ReadBack(out, 5, 3, 80, 27, columns, rows);
    EXPECT_EQ(columns, Join({Range(0, 36), Repeat(37, 6), Range(37, 73)}));
    EXPECT_EQ(rows, Join({Range(0, 9), Repeat(10, 6), Range(10, 20)}));
    // Separable: every pixel is source(column, row).
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(out.pixel(5 + x, 3 + y), source.pixel(columns[x], rows[y])) << x << "," << y;
    // Nothing outside the rectangle.
    for (int x = 0; x < 90; ++x) {
        EXPECT_EQ(out.pixel(x, 2), Paper);
        EXPECT_EQ(out.pixel(x, 30), Paper);
    }
    EXPECT_EQ(out.pixel(4, 10), Paper);
    EXPECT_EQ(out.pixel(85, 10), Paper);
}

TEST(DrawSkinStretched, EvenHeightSpreadsTheBottomHalfOverOneRowMore) {
    const QImage source = Coded(10, 20);
    const QImage out = Painted(Canvas(10, 27), [&](QPainter& p) {
        DrawSkinStretched(source, p, {0, 0, 10, 27}, false);
    });
    std::vector<int> columns, rows;
    ReadBack(out, 0, 0, 10, 27, columns, rows);
    EXPECT_EQ(columns, Range(0, 9));
    // Rows 0-9 at the top, row 10 over 10..15, then source rows 10..19 over the last 11 rows.
    EXPECT_EQ(std::vector<int>(rows.begin(), rows.begin() + 16),
              Join({Range(0, 9), Repeat(10, 6)}));
    const std::vector<int> bottom(rows.begin() + 16, rows.end());
    EXPECT_EQ(bottom.front(), 10);
    EXPECT_EQ(bottom.back(), 19);
    EXPECT_TRUE(std::is_sorted(bottom.begin(), bottom.end()));
    for (int r = 10; r <= 19; ++r)
        EXPECT_NE(std::find(bottom.begin(), bottom.end(), r), bottom.end()) << r;
}

TEST(DrawSkinStretched, NarrowTargetKeepsTheLeftHalfAndTheLastColumns) {
    const QImage source = Coded(74, 21);
    const QImage out = Painted(Canvas(50, 23), [&](QPainter& p) {
        DrawSkinStretched(source, p, {0, 0, 50, 23}, false);
    });
    std::vector<int> columns, rows;
    ReadBack(out, 0, 0, 50, 23, columns, rows);
    EXPECT_EQ(columns, Join({Range(0, 36), Range(61, 73)}));
}

TEST(DrawSkinStretched, TargetNoWiderThanTheLeftHalfKeepsBothEnds) {
    const QImage source = Coded(84, 23);
    const QImage out = Painted(Canvas(41, 23), [&](QPainter& p) {
        DrawSkinStretched(source, p, {0, 0, 41, 23}, false);
    });
    std::vector<int> columns, rows;
    ReadBack(out, 0, 0, 41, 23, columns, rows);
    EXPECT_EQ(columns, Join({Range(0, 19), Range(63, 83)}));
}

TEST(DrawSkinStretched, TransparentLeavesKeyColoredPixelsUntouched) {
    const QRgb key = qRgb(255, 0, 255);
    QImage source(6, 5, QImage::Format_RGB32);
    source.fill(qRgb(40, 50, 60));
    source.setPixel(0, 0, key);
    source.setPixel(5, 4, key); // bottom-right corner
    source.setPixel(3, 2, key); // the middle column and row, repeated when widened
    for (const bool transparent : {false, true}) {
        const QImage out = Painted(Canvas(12, 9), [&](QPainter& p) {
            DrawSkinStretched(source, p, {1, 1, 11, 8}, transparent);
        });
        const QRgb keyed = transparent ? Paper : key;
        EXPECT_EQ(out.pixel(1, 1), keyed);
        EXPECT_EQ(out.pixel(10, 7), keyed);
        for (int x = 4; x <= 7; ++x) // column 3 repeated over target columns 3..6
            EXPECT_EQ(out.pixel(1 + x, 1 + 3), keyed) << x;
        EXPECT_EQ(out.pixel(2, 1), qRgb(40, 50, 60));
    }
}

TEST(DrawThreePartHorizontal, CapsAtTheirSizeAndTheMiddleStretched) {
    for (const int width : {9, 10, 11}) { // 10 and 11 lose their remainder columns
        const QImage source = Coded(width, 4);
        const QImage out = Painted(Canvas(24, 8), [&](QPainter& p) {
            DrawThreePartHorizontal(source, p, {2, 1, 22, 7}, false);
        });
        std::vector<int> columns, rows;
        ReadBack(out, 2, 1, 20, 6, columns, rows);
        std::vector<int> expected = Join({Range(0, 2), Range(6, 8)});
        // The middle part, columns 3..5, stretched over 14 columns, each kept in order.
        std::vector<int> middle(columns.begin() + 3, columns.begin() + 17);
        EXPECT_EQ(middle.front(), 3);
        EXPECT_EQ(middle.back(), 5);
        EXPECT_TRUE(std::is_sorted(middle.begin(), middle.end()));
        EXPECT_EQ(std::vector<int>(columns.begin(), columns.begin() + 3), Range(0, 2)) << width;
        EXPECT_EQ(std::vector<int>(columns.end() - 3, columns.end()), Range(6, 8)) << width;
        // The caps keep their own height; the middle fills the rectangle's height.
        EXPECT_EQ(out.pixel(2, 6), Paper);
        EXPECT_EQ(qGreen(out.pixel(10, 6)), 3);
        EXPECT_EQ(out.pixel(1, 3), Paper);
        EXPECT_EQ(out.pixel(22, 3), Paper);
    }
}

TEST(DrawThreePartHorizontal, TransparentMasksTheCapsButNotTheMiddle) {
    const QRgb key = qRgb(255, 0, 255);
    QImage source(9, 3, QImage::Format_RGB32);
    source.fill(qRgb(9, 9, 9));
    for (int x : {0, 4, 8})
        source.setPixel(x, 0, key);
    const QImage out = Painted(Canvas(12, 3), [&](QPainter& p) {
        DrawThreePartHorizontal(source, p, {0, 0, 12, 3}, true);
    });
    EXPECT_EQ(out.pixel(0, 0), Paper);
    EXPECT_EQ(out.pixel(11, 0), Paper);
    EXPECT_EQ(out.pixel(5, 0), key) << "the stretched middle is opaque";
    EXPECT_EQ(out.pixel(1, 0), qRgb(9, 9, 9));
}

TEST(TilePicture, TilesStartAtTheCanvasOrigin) {
    QImage tile(4, 3, QImage::Format_RGB32);
    tile.fill(qRgb(0, 0, 0));
    tile.setPixel(0, 0, qRgb(255, 255, 255));
    const QImage out = Painted(Canvas(30, 30), [&](QPainter& p) {
        TilePicture(p, tile, {10, 10, 20, 16});
    });
    EXPECT_EQ(out.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(out.pixel(12, 6), qRgb(255, 255, 255));
    EXPECT_EQ(out.pixel(1, 0), qRgb(0, 0, 0));
    // Tiles go on while x < 4 + 10 and y < 3 + 6: the last ones start at x = 12 and y = 6.
    EXPECT_EQ(out.pixel(15, 8), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(16, 0), Paper);
    EXPECT_EQ(out.pixel(0, 9), Paper);

    const QImage untouched = Painted(Canvas(5, 5), [&](QPainter& p) {
        TilePicture(p, QImage(), {0, 0, 5, 5});
    });
    EXPECT_EQ(untouched, Canvas(5, 5));
}

TEST(RotateBitmapLeft, TurnsCounterClockwise) {
    const QImage source = Coded(45, 4);
    QImage bitmap = source;
    RotateBitmapLeft(bitmap);
    ASSERT_EQ(bitmap.size(), QSize(4, 45));
    EXPECT_EQ(bitmap.pixel(0, 0), source.pixel(44, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 45; ++x)
            ASSERT_EQ(bitmap.pixel(y, 44 - x), source.pixel(x, y));
}

TEST(PointInRect, EdgesCount) {
    const TRect r{10, 20, 30, 40};
    struct Case {
        int x, y;
        bool inside;
    };
    const Case cases[] = {{10, 20, true}, {30, 40, true},  {31, 20, false}, {30, 41, false},
                          {9, 25, false}, {20, 19, false}, {20, 30, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(PointInRect(c.x, c.y, r), c.inside) << c.x << "," << c.y;
        EXPECT_EQ(PointInRect(QPoint(c.x, c.y), r), c.inside);
    }
}

// A parent that paints a colour code of its own coordinates.
class CodedParent : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, Coded(width(), height()));
    }
};

TEST(DrawParentBackground, PaintsTheParentAlignedToTheControl) {
    CodedParent parent;
    parent.resize(60, 40);
    QWidget control(&parent);
    control.setGeometry(20, 10, 15, 8);
    QWidget sibling(&parent);
    sibling.setGeometry(20, 10, 15, 8);
    sibling.setAutoFillBackground(true);
    sibling.setStyleSheet("background: red");

    const QImage out =
        Painted(Canvas(15, 8), [&](QPainter& p) { DrawParentBackground(p, &control); });
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 15; ++x)
            ASSERT_EQ(out.pixel(x, y), qRgb(20 + x, 10 + y, 100)) << x << "," << y;

    QWidget orphan;
    const QImage untouched =
        Painted(Canvas(4, 4), [&](QPainter& p) { DrawParentBackground(p, &orphan); });
    EXPECT_EQ(untouched, Canvas(4, 4));
}

TEST(DrawControlFrame, TwoNestedFrames) {
    QWidget control;
    control.resize(8, 6);
    const QImage out = Painted(
        Canvas(8, 6), [&](QPainter& p) { DrawControlFrame(p, &control, 0x000000FF, 0x00FF0000); });
    const QRgb outer = qRgb(255, 0, 0), inner = qRgb(0, 0, 255);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(out.pixel(x, 0), outer);
        EXPECT_EQ(out.pixel(x, 5), outer);
    }
    for (int y = 0; y < 6; ++y) {
        EXPECT_EQ(out.pixel(0, y), outer);
        EXPECT_EQ(out.pixel(7, y), outer);
    }
    for (int x = 1; x < 7; ++x) {
        EXPECT_EQ(out.pixel(x, 1), inner);
        EXPECT_EQ(out.pixel(x, 4), inner);
    }
    EXPECT_EQ(out.pixel(1, 2), inner);
    EXPECT_EQ(out.pixel(6, 3), inner);
    EXPECT_EQ(out.pixel(3, 2), Paper);
}

// The canvas as rows of '#' where it differs from `paper` and '.' where it does not.
std::vector<std::string> Rows(const QImage& out, QRgb paper) {
    std::vector<std::string> rows;
    for (int y = 0; y < out.height(); ++y) {
        std::string row;
        for (int x = 0; x < out.width(); ++x)
            row += out.pixel(x, y) == paper ? '.' : '#';
        rows.push_back(row);
    }
    return rows;
}

TEST(DrawOpenTopBorder, BandsAlongLeftBottomAndRight) {
    const struct {
        TRect rect;
        int width;
        std::vector<std::string> rows;
    } cases[] = {
        {{1, 1, 7, 5}, 1, {"........", ".#....#.", ".#....#.", ".#....#.", ".######.", "........"}},
        {{0, 0, 8, 6}, 2, {"##....##", "##....##", "##....##", "##....##", "########", "########"}},
        {{1, 1, 7, 5}, 0, {"........", "........", "........", "........", "........", "........"}},
        {{3, 3, 3, 5}, 1, {"........", "........", "........", "........", "........", "........"}},
    };
    for (const auto& c : cases) {
        const QImage out = Painted(Canvas(8, 6), [&](QPainter& p) {
            DrawOpenTopBorder(p, c.rect, c.width, QColor(200, 0, 0));
        });
        EXPECT_EQ(Rows(out, Paper), c.rows) << c.rect.Left << "," << c.width;
    }
}

TEST(DrawFocusRect, EveryOtherFramePixelInverted) {
    QImage black(6, 5, QImage::Format_RGB32);
    black.fill(Qt::black);
    const QImage out = Painted(black, [](QPainter& p) { DrawFocusRect(p, {0, 0, 6, 5}); });
    EXPECT_EQ(Rows(out, qRgb(0, 0, 0)),
              (std::vector<std::string>{"#.#.#.", ".....#", "#.....", ".....#", "#.#.#."}));
    EXPECT_EQ(out.pixel(0, 0), qRgb(255, 255, 255));
    // Inverting twice gives the canvas back; an empty rectangle draws nothing.
    EXPECT_EQ(Painted(out, [](QPainter& p) { DrawFocusRect(p, {0, 0, 6, 5}); }), black);
    EXPECT_EQ(Painted(black, [](QPainter& p) { DrawFocusRect(p, {3, 3, 3, 4}); }), black);
}

TEST(DrawDisabledCaption, GreyOverAWhiteCopyOnePixelLowerRight) {
    QFont font;
    font.setPixelSize(16);
    font.setStyleStrategy(QFont::NoAntialias);
    QRect grey, white;
    const QImage out = Painted(Canvas(40, 24), [&](QPainter& p) {
        p.setFont(font);
        DrawDisabledCaption(p, {0, 0, 40, 24}, Qt::AlignCenter, "M");
    });
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            if (out.pixel(x, y) == DisabledCaptionGrey)
                grey |= QRect(x, y, 1, 1);
            else if (out.pixel(x, y) == qRgb(255, 255, 255))
                white |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(grey.isEmpty());
    EXPECT_EQ(grey | white, grey.adjusted(0, 0, 1, 1));
}

// Paints through the off-screen buffer: a blue square on its background.
class Buffered : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        PaintOffscreen(this, QColor(200, 0, 0),
                       [](QPainter& canvas) { canvas.fillRect(2, 2, 3, 3, Qt::blue); });
    }
};

TEST(PaintOffscreen, FillsThenPaintsAndCopiesTheWhole) {
    Buffered widget;
    widget.resize(7, 6);
    const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Rows(shown, qRgb(200, 0, 0)),
              (std::vector<std::string>{".......", ".......", "..###..", "..###..", "..###..",
                                        "......."}));
    EXPECT_EQ(shown.pixel(3, 3), qRgb(0, 0, 255));
}

TEST(ThemeStatePicture, StateToEntryAndPicture) {
    using S = TPictureState;
    const struct {
        bool enabled, pressed, over;
        S state;
        const char* picture;
    } cases[] = {
        {true, false, false, S::Normal, "WINXP_TITLEBTN_CLOSE_NORMAL"},
        {true, false, true, S::MouseOn, "WINXP_TITLEBTN_CLOSE_MOUSEON"},
        {true, true, true, S::MouseDown, "WINXP_TITLEBTN_CLOSE_MOUSEDOWN"},
        {true, true, false, S::MouseDown, "WINXP_TITLEBTN_CLOSE_MOUSEDOWN"},
        {false, true, true, S::Disabled, "WINXP_TITLEBTN_CLOSE_NORMAL"},
    };
    for (const auto& c : cases) {
        const S state = PictureState(c.enabled, c.pressed, c.over);
        EXPECT_EQ(state, c.state) << c.picture;
        EXPECT_EQ(ThemeStatePicture(TsuiUIStyle::WinXP, tiTitleBtnCloseNormal, state),
                  LoadSkinBitmap(c.picture))
            << c.picture;
    }
    EXPECT_TRUE(ThemeStatePicture(TsuiUIStyle::Custom, tiButtonNormal, S::Normal).isNull());
}

} // namespace
} // namespace pestrel
