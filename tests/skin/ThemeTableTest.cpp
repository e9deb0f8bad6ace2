#include "skin/SUIThemes.h"

#include <QMetaEnum>
#include <gtest/gtest.h>
#include <set>

namespace pestrel {
namespace {

constexpr TsuiUIStyle MacOS = TsuiUIStyle::MacOS, WinXP = TsuiUIStyle::WinXP,
                      DeepBlue = TsuiUIStyle::DeepBlue, Protein = TsuiUIStyle::Protein,
                      BlueGlass = TsuiUIStyle::BlueGlass, Custom = TsuiUIStyle::Custom;
const TsuiUIStyle BuiltIn[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

TsuiUIStyle Raw(int ordinal) {
    return static_cast<TsuiUIStyle>(ordinal);
}

TThemeKind ExpectedKind(int index) {
    const std::set<int> integers = {1, 4, 5, 6, 19, 20, 21, 66, 67, 68, 72};
    if (integers.count(index))
        return ThemeKindInteger;
    if (index == 65)
        return ThemeKindBoolean;
    if ((index >= 22 && index <= 64) || (index >= 69 && index <= 71) ||
        (index >= 74 && index <= 77))
        return ThemeKindResource;
    return ThemeKindColor;
}

TEST(ThemeTable, KindTagsAreTheSameForEveryStyle) {
    for (TsuiUIStyle style : BuiltIn) {
        for (int index = 1; index <= ThemeEntryCount; ++index)
            EXPECT_EQ(GetThemeEntry(style, index).kind, ExpectedKind(index))
                << "style " << int(style) << " index " << index;
    }
}

TEST(ThemeTable, CustomAndOutOfRangeGiveTheEmptyAnswers) {
    struct Case {
        TsuiUIStyle style;
        int index;
    };
    const Case cases[] = {{Custom, 4},    {Custom, 2},    {Custom, 44}, {Custom, 65}, {Raw(6), 4},
                          {Raw(0x80), 4}, {Raw(0xFF), 2}, {WinXP, 0},   {WinXP, 83},  {WinXP, -1}};
    for (const Case& c : cases) {
        const TThemeEntry entry = GetThemeEntry(c.style, c.index);
        EXPECT_EQ(entry.value, -1);
        EXPECT_EQ(entry.kind, ThemeKindInteger);
        EXPECT_EQ(GetThemeInteger(c.style, c.index), -1);
        EXPECT_EQ(GetThemeColor(c.style, c.index), TColor(0));
        EXPECT_EQ(GetThemeString(c.style, c.index), QString());
        EXPECT_FALSE(GetThemeBoolean(c.style, c.index));
    }
}

TEST(ThemeTable, TheKindTagDecidesWhatALookupGives) {
    EXPECT_EQ(GetThemeInteger(WinXP, tiFormBorderColor), -1);
    EXPECT_EQ(GetThemeColor(WinXP, tiFormBorderWidth), TColor(0));
    EXPECT_EQ(GetThemeColor(WinXP, tiFormBorderColor), TColor(0x00C82C00));
    EXPECT_EQ(GetThemeInteger(WinXP, tiFormBorderWidth), 3);
    EXPECT_EQ(GetThemeString(WinXP, tiFormBorderWidth), QString());
    EXPECT_FALSE(GetThemeBoolean(BlueGlass, tiTitleLeftBtnXOffset));
    EXPECT_EQ(GetThemeInteger(BlueGlass, tiTitleBtnTransparent), -1);
    EXPECT_EQ(GetThemeColor(DeepBlue, tiTitleLeft), TColor(0));
}

TEST(ThemeTable, OnlyTheLowSevenBitsOfTheStyleCount) {
    EXPECT_EQ(GetThemeInteger(Raw(0x82), tiFormBorderWidth), 3);
    EXPECT_EQ(GetThemeString(Raw(0x85), tiTitleLeft), "BLUEGLASS_TITLE_LEFT");
    EXPECT_EQ(GetThemeString(Raw(0x82), tiCheckBoxNormalCheck), "WINXP_CHECKBOX_NORMAL_CHECK");
}

TEST(ThemeTable, Values) {
    struct Case {
        int index;
        std::array<std::int64_t, 5> values; // MacOS .. BlueGlass
    };
    const Case cases[] = {
        {1, {1, 2, 3, 4, 5}},
        {3, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
        {5, {130, 150, 130, 130, 270}},
        {6, {0, 13, 0, 0, 11}},
        {7, {0x7F7F7F, 0x686868, 0, 0, 0}},
        {10, {0, 0xC66931, 0xA04A44, 0xC4302D, 0xEC5E5E}},
        {12, {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
        {14, {0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7}},
        {19, {20, 21, 21, 21, 21}},
        {20, {12, 5, 5, 5, 5}},
        {65, {0, 0, 0, 1, 1}},
        {66, {3, 2, 0, 0, 4}},
        {67, {-2, -2, 0, 0, -3}},
        {68, {4, 5, 2, 2, 6}},
        {72, {34, 19, 22, 22, 22}},
        {73, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE9D6D5}},
        {78, {0xEEEEEE, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
        {81, {0xD8D8D8, 0xE1AC93, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8}},
    };
    for (const Case& c : cases) {
        for (int s = 0; s < 5; ++s) {
            const TThemeEntry entry = GetThemeEntry(BuiltIn[s], c.index);
            EXPECT_EQ(entry.value, static_cast<std::int32_t>(c.values[s]))
                << "index " << c.index << " style " << s + 1;
        }
    }
}

TEST(ThemeTable, ResourceNamesAndTheirExceptions) {
    struct Case {
        TsuiUIStyle style;
        int index;
        const char* name;
    };
    const Case cases[] = {
        {DeepBlue, 62, "DEEPBLUE_TITLEBTN_MAX_NORMAL"},
        {WinXP, 62, "WINXP_TITLEBTN_RST_NORMAL"},
        {WinXP, 64, "WINXP_TITLEBTN_RST_MOUSEDOWN"},
        {Protein, 63, "PROTEIN_TITLEBTN_MAX_MOUSEON"},
        {MacOS, 22, "MENU_CHECKED"},
        {WinXP, 22, "MENU_CHECKED"},
        {MacOS, 28, "MACOS_CHECKBOX_CHECK"},
        {MacOS, 30, "MACOS_CHECKBOX_CHECK"},
        {MacOS, 32, "MACOS_CHECKBOX_CHECK"},
        {MacOS, 33, "MACOS_CHECKBOX_UNCHECK"},
        {BlueGlass, 38, "BLUEGLASS_RADIOBUTTON_CHECK"},
        {WinXP, 39, "WINXP_RADIOBUTTON_MOUSEON_UNCHECK"},
        {WinXP, 34, "WINXP_RADIOBUTTON_DISABLE_CHECK"},
        {MacOS, 23, "MACOS_BUTTON_NORMAL"},
        {Protein, 44, "PROTEIN_TITLE_LEFT"},
        {BlueGlass, 61, "BLUEGLASS_TITLEBTN_CTLBOX_MOUSEDOWN"},
        {DeepBlue, 71, "DEEPBLUE_TAB_LINE"},
        {WinXP, 76, "WINXP_TRACKBAR_BAR"},
        {WinXP, 77, "WINXP_TRACKBAR_SLIDER_V"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetThemeString(c.style, c.index), c.name) << c.index;

    std::set<QString> winxpCheckBoxes, macCheckBoxes;
    for (int index = tiCheckBoxDisableCheck; index <= tiCheckBoxMouseDownUncheck; ++index) {
        winxpCheckBoxes.insert(GetThemeString(WinXP, index));
        macCheckBoxes.insert(GetThemeString(MacOS, index));
    }
    EXPECT_EQ(winxpCheckBoxes.size(), 8u);
    EXPECT_EQ(macCheckBoxes.size(), 4u);
}

TEST(ThemeTable, StyleNamesAndPrefixes) {
    // Layout files store the style by these names.
    const QMetaEnum names = QMetaEnum::fromType<TsuiUIStyle>();
    const char* expected[] = {"Custom", "MacOS", "WinXP", "DeepBlue", "Protein", "BlueGlass"};
    ASSERT_EQ(names.keyCount(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_STREQ(names.valueToKey(i), expected[i]);
    EXPECT_EQ(sizeof(TsuiUIStyle), 1u);
    EXPECT_EQ(StyleResourcePrefix(MacOS), "MACOS_");
    EXPECT_EQ(StyleResourcePrefix(BlueGlass), "BLUEGLASS_");
    EXPECT_EQ(StyleResourcePrefix(Custom), "");
}

} // namespace
} // namespace pestrel
