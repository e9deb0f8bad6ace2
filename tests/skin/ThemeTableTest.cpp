#include "skin/SUIThemes.h"

#include <QMetaEnum>
#include <array>
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

// The whole table, row by row. Numbers are given per style (MacOS .. BlueGlass); a resource
// name is the style prefix and the element, WinXP's own element where it has one.
struct Row {
    int index;
    TThemeKind kind;
    std::array<std::int64_t, 5> values = {};
    const char* element = nullptr;
    const char* winxpElement = nullptr;
};
constexpr TThemeKind Int = ThemeKindInteger, Color = ThemeKindColor, Res = ThemeKindResource,
                     Flag = ThemeKindBoolean;

Row Name(int index, const char* element, const char* winxpElement = nullptr) {
    return {index, Res, {}, element, winxpElement};
}

const Row Table[] = {
    {1, Int, {1, 2, 3, 4, 5}},
    {2, Color, {0x7F7F7F, 0xC82C00, 0, 0, 0}},
    {3, Color, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {4, Int, {1, 3, 1, 1, 1}},
    {5, Int, {130, 150, 130, 130, 270}},
    {6, Int, {0, 13, 0, 0, 11}},
    {7, Color, {0x7F7F7F, 0x686868, 0, 0, 0}},
    {8, Color, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {9, Color, {0, 0xCF4602, 0, 0, 0}},
    {10, Color, {0, 0xC66931, 0xA04A44, 0xC4302D, 0xEC5E5E}},
    {11, Color, {0, 0xEFD3C6, 0xA04A44, 0xC4302D, 0xEC5E5E}},
    {12, Color, {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {13, Color, {0, 0, 0, 0, 0}},
    {14, Color, {0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7}},
    {15, Color, {0, 0, 0, 0, 0}},
    {16, Color, {0, 0xCED3D6, 0xCED3D6, 0xCED3D6, 0xCED3D6}},
    {17, Color, {0, 0x848284, 0x848284, 0x848284, 0x848284}},
    {18, Color, {0, 0x9CA6AD, 0x9CA6AD, 0x9CA6AD, 0x9CA6AD}},
    {19, Int, {20, 21, 21, 21, 21}},
    {20, Int, {12, 5, 5, 5, 5}},
    {21, Int, {26, 26, 26, 26, 26}},
    Name(22, nullptr), // MENU_CHECKED in every style, without a prefix
    Name(23, "BUTTON_NORMAL"),
    Name(24, "BUTTON_MOUSEON"),
    Name(25, "BUTTON_MOUSEDOWN"),
    Name(26, "CHECKBOX_DISABLE_CHECK"),
    Name(27, "CHECKBOX_DISABLE_UNCHECK"),
    Name(28, "CHECKBOX_CHECK", "CHECKBOX_NORMAL_CHECK"),
    Name(29, "CHECKBOX_UNCHECK", "CHECKBOX_NORMAL_UNCHECK"),
    Name(30, "CHECKBOX_CHECK", "CHECKBOX_MOUSEON_CHECK"),
    Name(31, "CHECKBOX_UNCHECK", "CHECKBOX_MOUSEON_UNCHECK"),
    Name(32, "CHECKBOX_CHECK", "CHECKBOX_MOUSEDOWN_CHECK"),
    Name(33, "CHECKBOX_UNCHECK", "CHECKBOX_MOUSEDOWN_UNCHECK"),
    Name(34, "RADIOBUTTON_DISABLE_CHECK"),
    Name(35, "RADIOBUTTON_DISABLE_UNCHECK"),
    Name(36, "RADIOBUTTON_CHECK", "RADIOBUTTON_NORMAL_CHECK"),
    Name(37, "RADIOBUTTON_UNCHECK", "RADIOBUTTON_NORMAL_UNCHECK"),
    Name(38, "RADIOBUTTON_CHECK", "RADIOBUTTON_MOUSEON_CHECK"),
    Name(39, "RADIOBUTTON_UNCHECK", "RADIOBUTTON_MOUSEON_UNCHECK"),
    Name(40, "RADIOBUTTON_CHECK", "RADIOBUTTON_MOUSEDOWN_CHECK"),
    Name(41, "RADIOBUTTON_UNCHECK", "RADIOBUTTON_MOUSEDOWN_UNCHECK"),
    Name(42, "PROGRESSBAR"),
    Name(43, "PROGRESSBAR_V"),
    Name(44, "TITLE_LEFT"),
    Name(45, "TITLE_CLIENT"),
    Name(46, "TITLE_RIGHT"),
    Name(47, "TITLEBTN_CLOSE_NORMAL"),
    Name(48, "TITLEBTN_CLOSE_MOUSEON"),
    Name(49, "TITLEBTN_CLOSE_MOUSEDOWN"),
    Name(50, "TITLEBTN_MAX_NORMAL"),
    Name(51, "TITLEBTN_MAX_MOUSEON"),
    Name(52, "TITLEBTN_MAX_MOUSEDOWN"),
    Name(53, "TITLEBTN_MIN_NORMAL"),
    Name(54, "TITLEBTN_MIN_MOUSEON"),
    Name(55, "TITLEBTN_MIN_MOUSEDOWN"),
    Name(56, "TITLEBTN_HELP_NORMAL"),
    Name(57, "TITLEBTN_HELP_MOUSEON"),
    Name(58, "TITLEBTN_HELP_MOUSEDOWN"),
    Name(59, "TITLEBTN_CTLBOX_NORMAL"),
    Name(60, "TITLEBTN_CTLBOX_MOUSEON"),
    Name(61, "TITLEBTN_CTLBOX_MOUSEDOWN"),
    Name(62, "TITLEBTN_MAX_NORMAL", "TITLEBTN_RST_NORMAL"),
    Name(63, "TITLEBTN_MAX_MOUSEON", "TITLEBTN_RST_MOUSEON"),
    Name(64, "TITLEBTN_MAX_MOUSEDOWN", "TITLEBTN_RST_MOUSEDOWN"),
    {65, Flag, {0, 0, 0, 1, 1}},
    {66, Int, {3, 2, 0, 0, 4}},
    {67, Int, {-2, -2, 0, 0, -3}},
    {68, Int, {4, 5, 2, 2, 6}},
    Name(69, "TAB_ACTIVE"),
    Name(70, "TAB_INACTIVE"),
    Name(71, "TAB_LINE"),
    {72, Int, {34, 19, 22, 22, 22}},
    {73, Color, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE9D6D5}},
    Name(74, "TRACKBAR_BAR"),
    Name(75, "TRACKBAR_SLIDER"),
    Name(76, "TRACKBAR_BAR"),
    Name(77, "TRACKBAR_SLIDER_V"),
    {78, Color, {0xEEEEEE, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
    {79, Color, {0x474747, 0xC66931, 0x474747, 0x474747, 0x474747}},
    {80, Color, {0xEFEFEF, 0xEFD3C6, 0xEFEFEF, 0xEFEFEF, 0xEFEFEF}},
    {81, Color, {0xD8D8D8, 0xE1AC93, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8}},
    {82, Color, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}},
};
static_assert(std::size(Table) == ThemeEntryCount);

TEST(ThemeTable, EveryEntryOfEveryStyle) {
    for (std::size_t row = 0; row < std::size(Table); ++row) {
        const Row& expected = Table[row];
        ASSERT_EQ(expected.index, int(row) + 1); // the table above skips and repeats nothing
        for (int s = 0; s < 5; ++s) {
            const TsuiUIStyle style = BuiltIn[s];
            const TThemeEntry entry = GetThemeEntry(style, expected.index);
            SCOPED_TRACE(testing::Message() << "index " << expected.index << " style " << s + 1);
            EXPECT_EQ(entry.kind, expected.kind);
            if (expected.kind != Res) {
                EXPECT_EQ(entry.value, static_cast<std::int32_t>(expected.values[s]));
                EXPECT_EQ(entry.text, QString());
                continue;
            }
            const char* element =
                style == WinXP && expected.winxpElement ? expected.winxpElement : expected.element;
            const QString resourceName =
                element ? StyleResourcePrefix(style) + element : QStringLiteral("MENU_CHECKED");
            EXPECT_EQ(entry.text, resourceName);
            EXPECT_EQ(GetThemeString(style, expected.index), resourceName);
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
