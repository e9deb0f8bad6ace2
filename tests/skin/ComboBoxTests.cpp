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
    EXPECT_EQ(TsuiComboBox::ArrowOrigin({80, 2, 97, 19}), QPoint(84, 8));
    EXPECT_EQ(TsuiComboBox::ArrowOrigin({100, 10, 120, 30}), QPoint(106, 10));
}

TEST(SkinComboBox, PaintsFrameButtonAndArrowInTheStylesColours) {
    struct Row {
        TsuiUIStyle style;
        bool enabled;
    };
    for (const Row& row : {Row{TsuiUIStyle::WinXP, true}, Row{TsuiUIStyle::WinXP, false},
                           Row{TsuiUIStyle::MacOS, true}}) {
        TsuiComboBox combo;
        combo.addItems({"one", "two"});
        combo.resize(120, 24);
        combo.setUIStyle(row.style);
        combo.setEnabled(row.enabled);
        const QImage image = combo.grab().toImage();
        const TRect button = combo.ButtonRect();
        const QPoint at = TsuiComboBox::ArrowOrigin(button);
        // Frame: border outside, the edit colour inside.
        EXPECT_EQ(image.pixel(0, 0), Rgb(combo.BorderColor()));
        EXPECT_EQ(image.pixel(1, 1), combo.palette().color(QPalette::Base).rgb());
        // The button, below the arrow and clear of the frame.
        const QPoint face(button.Left + 2, button.Bottom - 3);
        const QRgb expectedFace = row.style == TsuiUIStyle::MacOS
                                      ? SkinBitmap("MACOS_COMBOBOX_BUTTON")
                                            .scaled(button.width(), button.height())
                                            .pixel(face - QPoint(button.Left, button.Top))
                                      : Rgb(combo.ButtonColor());
        EXPECT_EQ(image.pixel(face), expectedFace);
        // The arrow: rows of 7, 5, 3 and 1 pixels; engraved when disabled.
        const QRgb ink = row.enabled ? Rgb(combo.ArrowColor()) : DisabledCaptionGrey;
        for (const QPoint p : {at, at + QPoint(6, 0), at + QPoint(3, 3)})
            EXPECT_EQ(image.pixel(p), ink);
        EXPECT_NE(image.pixel(at + QPoint(-1, 0)), ink);
        EXPECT_EQ(image.pixel(at + QPoint(7, 1)) == 0xFFFFFFFF, !row.enabled);
    }
}

TEST(SkinComboBox, CustomKeepsTheColoursAndLaterColoursStayPut) {
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
