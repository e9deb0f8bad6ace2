#include "skin/SUIPublic.h"
#include "skin/SkinBitmaps.h"
#include "skin/framed/SUIComboBox.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

QRgb Rgb(TColor color) {
    return ColorToQColor(color).rgb();
}

TEST(SkinComboBox, ArrowSitsMidButtonAndHalfItsHeightDown) {
    EXPECT_EQ(TsuiComboBox::arrowOrigin({80, 2, 97, 19}), QPoint(84, 8));
    EXPECT_EQ(TsuiComboBox::arrowOrigin({100, 10, 120, 30}), QPoint(106, 10));
}

// A 99 x 21 combo box: the frame's two lines, then the button from (80, 2) to (97, 19) and the
// arrow in rows of 7, 5, 3 and 1 pixels from (84, 8), engraved when disabled. Left of the button
// the field goes on: Qt draws no button of its own.
TEST(SkinComboBox, PaintsFrameButtonAndArrowInTheStylesColors) {
    const QRect button(80, 2, 17, 17);
    const auto inArrow = [](QPoint p) {
        const int row = p.y() - 8;
        return row >= 0 && row <= 3 && p.x() >= 84 + row && p.x() <= 90 - row;
    };
    struct Row {
        TsuiUIStyle style;
        bool enabled;
        bool editable = false;
    };
    for (const Row& row : {Row{TsuiUIStyle::WinXP, true}, Row{TsuiUIStyle::WinXP, false},
                           Row{TsuiUIStyle::MacOS, true}, Row{TsuiUIStyle::WinXP, true, true}}) {
        SCOPED_TRACE(static_cast<int>(row.style) * 4 + row.enabled * 2 + row.editable);
        TsuiComboBox combo;
        combo.setEditable(row.editable);
        combo.addItems({"one", "two"});
        combo.resize(99, 21);
        combo.setUIStyle(row.style);
        combo.setEnabled(row.enabled);
        const QImage image = combo.grab().toImage();
        EXPECT_EQ(image.pixel(0, 0), Rgb(combo.BorderColor()));
        EXPECT_EQ(image.pixel(1, 1), combo.palette().color(QPalette::Base).rgb());
        EXPECT_EQ(image.pixel(97, 10), combo.palette().color(QPalette::Base).rgb());
        EXPECT_EQ(image.pixel(79, 10), image.pixel(60, 10));

        const QRgb ink = row.enabled ? Rgb(combo.ArrowColor()) : DisabledCaptionGrey;
        for (const QPoint p : {QPoint(84, 8), QPoint(90, 8), QPoint(87, 11)})
            EXPECT_EQ(image.pixel(p), ink) << p.x() << "," << p.y();
        EXPECT_NE(image.pixel(83, 8), ink);
        EXPECT_EQ(image.pixel(91, 9) == 0xFFFFFFFF, !row.enabled);

        // Everywhere else the button shows its face: the style's colour, or the picture, whose
        // rows are even across inside its rounded edge.
        const QImage picture =
            SkinBitmap("MACOS_COMBOBOX_BUTTON").convertToFormat(QImage::Format_RGB32);
        for (int y = button.top() + 2; y < button.bottom() - 2; ++y) {
            for (int x = button.left() + 3; x < button.right() - 3; ++x) {
                if (inArrow({x, y}) || (!row.enabled && inArrow({x - 1, y - 1})))
                    continue;
                const QRgb face = row.style == TsuiUIStyle::MacOS
                                      ? picture.pixel(2, y - button.top())
                                      : Rgb(combo.ButtonColor());
                ASSERT_EQ(image.pixel(x, y), face) << x << "," << y;
            }
        }
    }
}

TEST(SkinComboBox, CustomKeepsTheColorsAndLaterColorsStayPut) {
    TsuiComboBox combo;
    combo.setUIStyle(TsuiUIStyle::BlueGlass);
    combo.setUIStyle(TsuiUIStyle::Custom);
    EXPECT_EQ(combo.ButtonColor(), 0x00E9D6D5u);
    combo.setBorderColor(0x000000FF);
    EXPECT_EQ(combo.ArrowColor(), 0u);
    EXPECT_EQ(combo.grab().toImage().pixel(0, 0), 0xFFFF0000);
}

TEST(SkinComboBox, KeyboardPopupAndEditingStayQts) {
    QWidget window;
    auto* combo = new TsuiComboBox(&window);
    auto* editable = new TsuiComboBox(&window);
    combo->addItems({"one", "two", "three"});
    editable->setEditable(true);
    editable->move(0, 40);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->currentText(), "two");
    QTest::keyClick(combo, Qt::Key_F4);
    EXPECT_TRUE(combo->view()->isVisible());
    combo->hidePopup();
    editable->setFocus();
    QTest::keyClicks(editable->lineEdit(), "typed");
    EXPECT_EQ(editable->currentText(), "typed");
}

} // namespace
} // namespace pestrel
