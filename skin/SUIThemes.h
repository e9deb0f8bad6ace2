#pragma once
// The visual styles of the skinned controls, the theme table behind them and the walk by which a
// container hands a new style to its skinned children.

#include "toolkit/Color.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <cstdint>

namespace pestrel {

namespace uistyle {
Q_NAMESPACE
enum class TsuiUIStyle : std::uint8_t { Custom, MacOS, WinXP, DeepBlue, Protein, BlueGlass };
Q_ENUM_NS(TsuiUIStyle)
} // namespace uistyle
using uistyle::TsuiUIStyle;

// "MACOS_" .. "BLUEGLASS_"; empty for Custom.
QString StyleResourcePrefix(TsuiUIStyle style);

// --- the theme table ----------------------------------------------------------------------------
enum TThemeKind : std::uint8_t {
    ThemeKindInteger = 0,
    ThemeKindColor = 1,
    ThemeKindResource = 2,
    ThemeKindBoolean = 3,
};

// The entries of one style's row, 1 .. 82.
enum TThemeIndex : int {
    tiStyleOrdinal = 1,
    tiFormBorderColor,         // 2  colour
    tiFormColor,               // 3  colour
    tiFormBorderWidth,         // 4  integer
    tiFormMinWidth,            // 5  integer
    tiFormRoundCorner,         // 6  integer: corner size of the rounded window region
    tiControlBorderColor,      // 7  colour
    tiControlColor,            // 8  colour
    tiGroupFontColor,          // 9  colour
    tiMenuSelectedBorderColor, // 10 colour
    tiMenuSelectedColor,       // 11 colour
    tiMenuSelectedFontColor,   // 12 colour
    tiUnused13,                // 13 colour
    tiMenuColor,               // 14 colour
    tiMenuFontColor,           // 15 colour
    tiMenuBarColor,            // 16 colour
    tiMenuSeparatorColor,      // 17 colour
    tiMenuPressedLineColor,    // 18 colour
    tiMenuItemHeight,          // 19 integer
    tiMenuSeparatorHeight,     // 20 integer
    tiMenuBarWidth,            // 21 integer
    tiMenuChecked,             // 22 resource, no style prefix
    tiButtonNormal,            // 23 resource
    tiButtonMouseOn,
    tiButtonMouseDown,
    tiCheckBoxDisableCheck, // 26 resource
    tiCheckBoxDisableUncheck,
    tiCheckBoxNormalCheck,
    tiCheckBoxNormalUncheck,
    tiCheckBoxMouseOnCheck,
    tiCheckBoxMouseOnUncheck,
    tiCheckBoxMouseDownCheck,
    tiCheckBoxMouseDownUncheck,
    tiRadioButtonDisableCheck, // 34 resource
    tiRadioButtonDisableUncheck,
    tiRadioButtonNormalCheck,
    tiRadioButtonNormalUncheck,
    tiRadioButtonMouseOnCheck,
    tiRadioButtonMouseOnUncheck,
    tiRadioButtonMouseDownCheck,
    tiRadioButtonMouseDownUncheck,
    tiProgressBar,  // 42 resource
    tiProgressBarV, // 43 resource
    tiTitleLeft,    // 44 resource
    tiTitleClient,
    tiTitleRight,
    tiTitleBtnCloseNormal, // 47 resource
    tiTitleBtnCloseMouseOn,
    tiTitleBtnCloseMouseDown,
    tiTitleBtnMaxNormal, // 50
    tiTitleBtnMaxMouseOn,
    tiTitleBtnMaxMouseDown,
    tiTitleBtnMinNormal, // 53
    tiTitleBtnMinMouseOn,
    tiTitleBtnMinMouseDown,
    tiTitleBtnHelpNormal, // 56
    tiTitleBtnHelpMouseOn,
    tiTitleBtnHelpMouseDown,
    tiTitleBtnCtlBoxNormal, // 59
    tiTitleBtnCtlBoxMouseOn,
    tiTitleBtnCtlBoxMouseDown,
    tiTitleBtnRestoreNormal, // 62: the maximise button while the form is maximised
    tiTitleBtnRestoreMouseOn,
    tiTitleBtnRestoreMouseDown,
    tiTitleBtnTransparent,  // 65 boolean
    tiTitleLeftBtnXOffset,  // 66 integer
    tiTitleRightBtnXOffset, // 67 integer
    tiTitleBtnTop,          // 68 integer
    tiTabActive,            // 69 resource
    tiTabInactive,
    tiTabLine,
    tiTabHeight,        // 72 integer: height of the tab strip panel
    tiComboButtonColor, // 73 colour
    tiTrackBarBar,      // 74 resource
    tiTrackBarSlider,
    tiTrackBarBarV,
    tiTrackBarSliderV,
    tiTrackBarColor,            // 78 colour
    tiToolBarButtonBorderColor, // 79 colour
    tiToolBarButtonColor,
    tiToolBarButtonDownColor,
    tiToolBarColor, // 82 colour
};
constexpr int ThemeEntryCount = 82;
static_assert(tiToolBarColor == ThemeEntryCount);

struct TThemeEntry {
    std::int32_t value = -1; // integer, colour or boolean value; 0 for a resource name
    TThemeKind kind = ThemeKindInteger;
    QString text; // the resource name, for ThemeKindResource only
};

// The raw entry. Custom, a style outside 1..5 (top bit ignored) or an index outside 1..82 give
// value -1 of kind integer.
TThemeEntry GetThemeEntry(TsuiUIStyle style, int index);
// Each gives the entry when its kind matches and otherwise "", -1, false and 0 (black).
QString GetThemeString(TsuiUIStyle style, int index);
int GetThemeInteger(TsuiUIStyle style, int index);
bool GetThemeBoolean(TsuiUIStyle style, int index);
TColor GetThemeColor(TsuiUIStyle style, int index);
// The bitmap named by a resource entry, or an empty image when the entry names none (as for
// Custom) or names a missing bitmap; never throws.
QImage ThemeBitmap(TsuiUIStyle style, int index);
// The same bitmap, but throws std::runtime_error when there is none: for the inventory checks.
QImage LoadThemeBitmap(TsuiUIStyle style, int index);

// --- the form-wide style ------------------------------------------------------------------------
// Implemented by TsuiForm: the style and colour that controls created on its form take.
class TsuiFormStyleSource {
public:
    virtual TsuiUIStyle formUIStyle() const = 0;
    virtual TColor formColor() const = 0;

protected:
    ~TsuiFormStyleSource() = default;
};

// Read from the first direct child of `container` that is a TsuiForm; without one: DeepBlue,
// clBtnFace and 0. A null container counts as one without a TsuiForm.
TsuiUIStyle FindFormUIStyle(const QObject* container);
TColor FindFormColor(const QObject* container);
TColor FindFormControlBorderColor(const QObject* container);

// --- the restyle walk ---------------------------------------------------------------------------
// One rule of the walk: acts on `child` if it is of the rule's class, does nothing otherwise.
using TsuiStyleRule = void (*)(QObject* child, TsuiUIStyle style);

// Positions of the walk's rules: a radio button (also a check box) gets both of its rules, the
// radio button's first.
enum TsuiStyleRuleOrder : int {
    srRadioButton = 1,
    srCheckBox,
    srProgressBar,
    srButton,
    srListBox,
    srGroupBox,
    srEdit,
    srMemo,
    srCheckListBox,
    srSideChannel,
    srCheckGroup,
    srComboBox,
    srListView,
    srTreeView,
    srTabControl,
    srTrackBar,
    srToolBar,
    srPageControl,
};

// Adds a rule at position `order` of the walk (rules of equal order run in registration order).
// A skinned class joins the walk from its own source file with one line, e.g.
//   static const bool styled = RegisterStyleRule(srButton, ApplyStyleUnlessCustom<TsuiButton>);
bool RegisterStyleRule(int order, TsuiStyleRule rule);
// Marks a class whose instances forward a restyle to their own children (group box, image panel,
// tab control, tab sheet): ContainerApplyUIStyleNested reaches into them.
//   static const bool nested = RegisterStyledContainer(IsInstanceOf<TsuiTabSheet>);
bool RegisterStyledContainer(bool (*isContainer)(const QObject*));

// For each direct child, in child order, every matching rule in rule order.
void ContainerApplyUIStyle(QObject* container, TsuiUIStyle style);
// ContainerApplyUIStyle on each direct child of `form` that is a registered styled container.
void ContainerApplyUIStyleNested(QObject* form, TsuiUIStyle style);

// Rule builders for the common cases. T has UIStyle()/setUIStyle() or setBorderColor().
template <class T> bool IsInstanceOf(const QObject* object) {
    return dynamic_cast<const T*>(object) != nullptr;
}
template <class T> void ApplyStyleUnlessCustom(QObject* child, TsuiUIStyle style) {
    if (auto* control = dynamic_cast<T*>(child);
        control && control->UIStyle() != TsuiUIStyle::Custom)
        control->setUIStyle(style);
}
template <class T> void ApplyStyle(QObject* child, TsuiUIStyle style) {
    if (auto* control = dynamic_cast<T*>(child))
        control->setUIStyle(style);
}
template <class T> void ApplyControlBorderColor(QObject* child, TsuiUIStyle style) {
    if (auto* control = dynamic_cast<T*>(child))
        control->setBorderColor(GetThemeColor(style, tiControlBorderColor));
}

} // namespace pestrel
