#include "skin/SUIThemes.h"
#include "skin/SkinBitmaps.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>

namespace pestrel {
namespace {

const char* Styles[] = {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"};
const TsuiUIStyle StyleValues[] = {TsuiUIStyle::MacOS, TsuiUIStyle::WinXP, TsuiUIStyle::DeepBlue,
                                   TsuiUIStyle::Protein, TsuiUIStyle::BlueGlass};

// Every resource name with its stored size.
std::map<QString, QSize> Inventory() {
    std::map<QString, QSize> out;
    struct Sizes {
        QSize titleLeft, titleClient, titleRight, titleButton, button, check, radio, progress,
            progressV, tab, tabLine, bar, slider, sliderV;
    };
    const Sizes sizes[] = {
        {{48, 23},
         {49, 23},
         {48, 23},
         {17, 17},
         {84, 23},
         {15, 17},
         {16, 17},
         {13, 10},
         {13, 13},
         {18, 27},
         {17, 7},
         {45, 5},
         {11, 20},
         {19, 11}},
        {{35, 29},
         {37, 29},
         {35, 29},
         {21, 21},
         {18, 21},
         {13, 13},
         {13, 13},
         {6, 10},
         {10, 6},
         {9, 18},
         {8, 1},
         {45, 8},
         {11, 21},
         {22, 11}},
        {{97, 32},
         {98, 32},
         {97, 32},
         {19, 19},
         {74, 21},
         {13, 13},
         {13, 13},
         {1, 10},
         {10, 1},
         {6, 17},
         {5, 5},
         {45, 4},
         {11, 20},
         {18, 11}},
        {{441, 23},
         {1, 23},
         {1, 23},
         {19, 19},
         {74, 21},
         {13, 13},
         {13, 13},
         {1, 10},
         {10, 1},
         {9, 17},
         {10, 5},
         {45, 4},
         {11, 20},
         {18, 11}},
        {{162, 33},
         {179, 33},
         {101, 33},
         {19, 19},
         {77, 27},
         {13, 13},
         {13, 13},
         {1, 10},
         {10, 1},
         {9, 17},
         {10, 5},
         {45, 4},
         {11, 20},
         {18, 11}},
    };
    const QStringList states = {"NORMAL", "MOUSEON", "MOUSEDOWN"};
    for (int s = 0; s < 5; ++s) {
        const QString p = QString(Styles[s]) + "_";
        const Sizes& z = sizes[s];
        out[p + "TITLE_LEFT"] = z.titleLeft;
        out[p + "TITLE_CLIENT"] = z.titleClient;
        out[p + "TITLE_RIGHT"] = z.titleRight;
        QStringList titleButtons = {"CLOSE", "MAX", "MIN", "HELP", "CTLBOX"};
        if (s == 1)
            titleButtons << "RST";
        for (const QString& b : titleButtons)
            for (const QString& state : states)
                out[p + "TITLEBTN_" + b + "_" + state] = z.titleButton;
        for (const QString& state : states)
            out[p + "BUTTON_" + state] = z.button;
        const QStringList checks =
            s == 1 ? QStringList{"DISABLE_CHECK",   "DISABLE_UNCHECK",  "NORMAL_CHECK",
                                 "NORMAL_UNCHECK",  "MOUSEON_CHECK",    "MOUSEON_UNCHECK",
                                 "MOUSEDOWN_CHECK", "MOUSEDOWN_UNCHECK"}
                   : QStringList{"DISABLE_CHECK", "DISABLE_UNCHECK", "CHECK", "UNCHECK"};
        for (const QString& c : checks) {
            out[p + "CHECKBOX_" + c] = z.check;
            out[p + "RADIOBUTTON_" + c] = z.radio;
        }
        out[p + "PROGRESSBAR"] = z.progress;
        out[p + "PROGRESSBAR_V"] = z.progressV;
        out[p + "TAB_ACTIVE"] = z.tab;
        out[p + "TAB_INACTIVE"] = z.tab;
        out[p + "TAB_LINE"] = z.tabLine;
        out[p + "TRACKBAR_BAR"] = z.bar;
        out[p + "TRACKBAR_SLIDER"] = z.slider;
        out[p + "TRACKBAR_SLIDER_V"] = z.sliderV;
    }
    out["MACOS_FORM_BACKGROUND"] = {8, 8};
    out["PROTEIN_FORM_BACKGROUND"] = {8, 8};
    out["MACOS_MENU_BAR"] = {1, 22};
    out["MACOS_MENU_SELECT"] = {1, 21};
    out["MACOS_COMBOBOX_BUTTON"] = {16, 17};
    out["SIDECHANNEL_BAR_NORMAL"] = {8, 172};
    out["SIDECHANNEL_BAR_MOUSEON"] = {8, 172};
    out["SIDECHANNEL_BTN_ONTOP"] = {8, 7};
    out["SIDECHANNEL_BTN_NOONTOP"] = {7, 9};
    out["MENU_CHECKED"] = {16, 16};
    out["MAINICON"] = {32, 32};
    return out;
}

TEST(SkinInventory, EveryNameExistsAtItsExactSize) {
    for (const auto& [name, size] : Inventory()) {
        ASSERT_TRUE(SkinBitmapExists(name)) << name.toStdString();
        EXPECT_EQ(LoadSkinBitmap(name).size(), size) << name.toStdString();
    }
}

TEST(SkinInventory, EveryThemeResourceNameIsInTheInventory) {
    const std::map<QString, QSize> inventory = Inventory();
    for (TsuiUIStyle style : StyleValues) {
        for (int index = 1; index <= ThemeEntryCount; ++index) {
            const QString name = GetThemeString(style, index);
            if (!name.isEmpty()) {
                EXPECT_TRUE(inventory.count(name)) << name.toStdString();
            }
        }
    }
}

// Skin pictures have no alpha channel: transparency comes from key colours.
TEST(SkinInventory, KeyColorsAndJoins) {
    const QRgb magenta = qRgb(255, 0, 255);
    for (int s = 0; s < 5; ++s) {
        const TsuiUIStyle style = StyleValues[s];
        for (int index : {tiTabActive, tiTabInactive}) {
            const QImage tab = LoadThemeBitmap(style, index);
            EXPECT_EQ(tab.pixel(0, 0), magenta) << Styles[s];
            EXPECT_NE(tab.pixel(tab.width() / 2, tab.height() - 1), magenta) << Styles[s];
        }
        // The three title sections meet without a seam.
        const QImage left = LoadThemeBitmap(style, tiTitleLeft);
        const QImage client = LoadThemeBitmap(style, tiTitleClient);
        const QImage right = LoadThemeBitmap(style, tiTitleRight);
        for (int y = 0; y < left.height(); ++y) {
            EXPECT_EQ(left.pixel(left.width() - 1, y), client.pixel(0, y)) << Styles[s] << y;
            EXPECT_EQ(client.pixel(client.width() - 1, y), right.pixel(0, y)) << Styles[s] << y;
        }
        // Buttons drawn transparently key on their bottom-left pixel, which must not be painted
        // inside the button.
        const bool transparent = GetThemeBoolean(style, tiTitleBtnTransparent);
        for (int index = tiTitleBtnCloseNormal; index <= tiTitleBtnRestoreMouseDown; ++index) {
            const QImage button = LoadThemeBitmap(style, index);
            EXPECT_FALSE(button.hasAlphaChannel());
            const QRgb key = button.pixel(0, button.height() - 1);
            const QRgb centre = button.pixel(button.width() / 2, button.height() / 2);
            if (transparent) {
                EXPECT_NE(centre, key) << GetThemeString(style, index).toStdString();
            }
        }
        // The three push button states look different.
        const QImage normal = LoadThemeBitmap(style, tiButtonNormal);
        const QImage hover = LoadThemeBitmap(style, tiButtonMouseOn);
        const QImage down = LoadThemeBitmap(style, tiButtonMouseDown);
        EXPECT_NE(normal, hover) << Styles[s];
        EXPECT_NE(normal, down) << Styles[s];
        EXPECT_NE(hover, down) << Styles[s];
    }
}

} // namespace
} // namespace pestrel
