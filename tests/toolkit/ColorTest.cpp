#include "toolkit/Color.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

TEST(Color, PlainValuesAreBlueGreenRed) {
    EXPECT_EQ(ColorToQColor(0x00C82C00), QColor(0x00, 0x2C, 0xC8));
    EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ColorToQColor(0x00E9D6D5), QColor(0xD5, 0xD6, 0xE9));
    EXPECT_EQ(QColorToColor(QColor(0xD5, 0xD6, 0xE9)), TColor(0x00E9D6D5));
    EXPECT_EQ(ColorToRGB(0x00123456), TColor(0x00123456));
}

TEST(Color, SystemColorsFollowThePalette) {
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(ColorToQColor(clBtnFace), palette.color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(ColorToQColor(clHighlight), palette.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(ColorToQColor(clMenuText), palette.color(QPalette::Active, QPalette::WindowText));
    EXPECT_EQ(ColorToRGB(clWindow), QColorToColor(palette.color(QPalette::Active, QPalette::Base)));
    // Caption colours have no palette role: the classic scheme's grey.
    EXPECT_EQ(ColorToQColor(clInactiveCaption), QColor(128, 128, 128));
}

TEST(Color, UnknownSystemIndexIsBlack) {
    EXPECT_EQ(ColorToQColor(clSystemColor | 31), QColor(Qt::black));
    EXPECT_EQ(ColorToQColor(0xFF00FFFF), QColor(Qt::black));
}

} // namespace
} // namespace pestrel
