#include "skin/SUIThemes.h"

#include "skin/SkinBitmaps.h"

#include <QPointer>
#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

namespace pestrel {
namespace {

constexpr int StyleCount = 5;
using Values = std::array<std::int32_t, StyleCount>; // MacOS, WinXP, DeepBlue, Protein, BlueGlass

// One index of the table. A resource entry names its element; the style prefix is added unless
// `prefixed` is false, and WinXP may use an element of its own.
struct IndexDef {
    TThemeKind kind;
    Values values;
    const char* element = nullptr;
    const char* winxpElement = nullptr;
    bool prefixed = true;
};

constexpr IndexDef Int(Values v) {
    return {ThemeKindInteger, v};
}
constexpr IndexDef Col(Values v) {
    return {ThemeKindColor, v};
}
constexpr IndexDef Bool(Values v) {
    return {ThemeKindBoolean, v};
}
constexpr IndexDef Res(const char* element, const char* winxpElement = nullptr) {
    return {ThemeKindResource, {}, element, winxpElement};
}
constexpr IndexDef Same(std::int32_t v) {
    return Col({v, v, v, v, v});
}
constexpr std::int32_t C(std::uint32_t bgr) {
    return static_cast<std::int32_t>(bgr);
}

// clang-format off
constexpr std::array<IndexDef, ThemeEntryCount> Table = {{
    /*  1 */ Int({1, 2, 3, 4, 5}),
    /*  2 */ Col({C(0x007F7F7F), C(0x00C82C00), C(0x00000000), C(0x00000000), C(0x00000000)}),
    /*  3 */ Col({C(0x00E7E7E7), C(0x00DEEBEF), C(0x00E8E8E8), C(0x00FBFBFB), C(0x00E7E7E7)}),
    /*  4 */ Int({1, 3, 1, 1, 1}),
    /*  5 */ Int({130, 150, 130, 130, 270}),
    /*  6 */ Int({0, 13, 0, 0, 11}),
    /*  7 */ Col({C(0x007F7F7F), C(0x00686868), C(0x00000000), C(0x00000000), C(0x00000000)}),
    /*  8 */ Col({C(0x00E7E7E7), C(0x00DEEBEF), C(0x00E8E8E8), C(0x00FBFBFB), C(0x00E7E7E7)}),
    /*  9 */ Col({C(0x00000000), C(0x00CF4602), C(0x00000000), C(0x00000000), C(0x00000000)}),
    /* 10 */ Col({C(0x00000000), C(0x00C66931), C(0x00A04A44), C(0x00C4302D), C(0x00EC5E5E)}),
    /* 11 */ Col({C(0x00000000), C(0x00EFD3C6), C(0x00A04A44), C(0x00C4302D), C(0x00EC5E5E)}),
    /* 12 */ Col({C(0x00FFFFFF), C(0x00000000), C(0x00FFFFFF), C(0x00FFFFFF), C(0x00FFFFFF)}),
    /* 13 */ Same(C(0x00000000)),
    /* 14 */ Col({C(0x00000000), C(0x00FFFFFF), C(0x00FFFFFF), C(0x00FFFFFF), C(0x00E7E7E7)}),
    /* 15 */ Same(C(0x00000000)),
    /* 16 */ Col({C(0x00000000), C(0x00CED3D6), C(0x00CED3D6), C(0x00CED3D6), C(0x00CED3D6)}),
    /* 17 */ Col({C(0x00000000), C(0x00848284), C(0x00848284), C(0x00848284), C(0x00848284)}),
    /* 18 */ Col({C(0x00000000), C(0x009CA6AD), C(0x009CA6AD), C(0x009CA6AD), C(0x009CA6AD)}),
    /* 19 */ Int({20, 21, 21, 21, 21}),
    /* 20 */ Int({12, 5, 5, 5, 5}),
    /* 21 */ Int({26, 26, 26, 26, 26}),
    /* 22 */ {ThemeKindResource, {}, "MENU_CHECKED", nullptr, false},
    /* 23 */ Res("BUTTON_NORMAL"),
    /* 24 */ Res("BUTTON_MOUSEON"),
    /* 25 */ Res("BUTTON_MOUSEDOWN"),
    /* 26 */ Res("CHECKBOX_DISABLE_CHECK"),
    /* 27 */ Res("CHECKBOX_DISABLE_UNCHECK"),
    /* 28 */ Res("CHECKBOX_CHECK", "CHECKBOX_NORMAL_CHECK"),
    /* 29 */ Res("CHECKBOX_UNCHECK", "CHECKBOX_NORMAL_UNCHECK"),
    /* 30 */ Res("CHECKBOX_CHECK", "CHECKBOX_MOUSEON_CHECK"),
    /* 31 */ Res("CHECKBOX_UNCHECK", "CHECKBOX_MOUSEON_UNCHECK"),
    /* 32 */ Res("CHECKBOX_CHECK", "CHECKBOX_MOUSEDOWN_CHECK"),
    /* 33 */ Res("CHECKBOX_UNCHECK", "CHECKBOX_MOUSEDOWN_UNCHECK"),
    /* 34 */ Res("RADIOBUTTON_DISABLE_CHECK"),
    /* 35 */ Res("RADIOBUTTON_DISABLE_UNCHECK"),
    /* 36 */ Res("RADIOBUTTON_CHECK", "RADIOBUTTON_NORMAL_CHECK"),
    /* 37 */ Res("RADIOBUTTON_UNCHECK", "RADIOBUTTON_NORMAL_UNCHECK"),
    /* 38 */ Res("RADIOBUTTON_CHECK", "RADIOBUTTON_MOUSEON_CHECK"),
    /* 39 */ Res("RADIOBUTTON_UNCHECK", "RADIOBUTTON_MOUSEON_UNCHECK"),
    /* 40 */ Res("RADIOBUTTON_CHECK", "RADIOBUTTON_MOUSEDOWN_CHECK"),
    /* 41 */ Res("RADIOBUTTON_UNCHECK", "RADIOBUTTON_MOUSEDOWN_UNCHECK"),
    /* 42 */ Res("PROGRESSBAR"),
    /* 43 */ Res("PROGRESSBAR_V"),
    /* 44 */ Res("TITLE_LEFT"),
    /* 45 */ Res("TITLE_CLIENT"),
    /* 46 */ Res("TITLE_RIGHT"),
    /* 47 */ Res("TITLEBTN_CLOSE_NORMAL"),
    /* 48 */ Res("TITLEBTN_CLOSE_MOUSEON"),
    /* 49 */ Res("TITLEBTN_CLOSE_MOUSEDOWN"),
    /* 50 */ Res("TITLEBTN_MAX_NORMAL"),
    /* 51 */ Res("TITLEBTN_MAX_MOUSEON"),
    /* 52 */ Res("TITLEBTN_MAX_MOUSEDOWN"),
    /* 53 */ Res("TITLEBTN_MIN_NORMAL"),
    /* 54 */ Res("TITLEBTN_MIN_MOUSEON"),
    /* 55 */ Res("TITLEBTN_MIN_MOUSEDOWN"),
    /* 56 */ Res("TITLEBTN_HELP_NORMAL"),
    /* 57 */ Res("TITLEBTN_HELP_MOUSEON"),
    /* 58 */ Res("TITLEBTN_HELP_MOUSEDOWN"),
    /* 59 */ Res("TITLEBTN_CTLBOX_NORMAL"),
    /* 60 */ Res("TITLEBTN_CTLBOX_MOUSEON"),
    /* 61 */ Res("TITLEBTN_CTLBOX_MOUSEDOWN"),
    /* 62 */ Res("TITLEBTN_MAX_NORMAL", "TITLEBTN_RST_NORMAL"),
    /* 63 */ Res("TITLEBTN_MAX_MOUSEON", "TITLEBTN_RST_MOUSEON"),
    /* 64 */ Res("TITLEBTN_MAX_MOUSEDOWN", "TITLEBTN_RST_MOUSEDOWN"),
    /* 65 */ Bool({0, 0, 0, 1, 1}),
    /* 66 */ Int({3, 2, 0, 0, 4}),
    /* 67 */ Int({-2, -2, 0, 0, -3}),
    /* 68 */ Int({4, 5, 2, 2, 6}),
    /* 69 */ Res("TAB_ACTIVE"),
    /* 70 */ Res("TAB_INACTIVE"),
    /* 71 */ Res("TAB_LINE"),
    /* 72 */ Int({34, 19, 22, 22, 22}),
    /* 73 */ Col({C(0x00E7E7E7), C(0x00DEEBEF), C(0x00E8E8E8), C(0x00FBFBFB), C(0x00E9D6D5)}),
    /* 74 */ Res("TRACKBAR_BAR"),
    /* 75 */ Res("TRACKBAR_SLIDER"),
    /* 76 */ Res("TRACKBAR_BAR"),
    /* 77 */ Res("TRACKBAR_SLIDER_V"),
    /* 78 */ Col({C(0x00EEEEEE), C(0x00DEEBEF), C(0x00E8E8E8), C(0x00FBFBFB), C(0x00E7E7E7)}),
    /* 79 */ Col({C(0x00474747), C(0x00C66931), C(0x00474747), C(0x00474747), C(0x00474747)}),
    /* 80 */ Col({C(0x00EFEFEF), C(0x00EFD3C6), C(0x00EFEFEF), C(0x00EFEFEF), C(0x00EFEFEF)}),
    /* 81 */ Col({C(0x00D8D8D8), C(0x00E1AC93), C(0x00D8D8D8), C(0x00D8D8D8), C(0x00D8D8D8)}),
    /* 82 */ Col({C(0x00E7E7E7), C(0x00DEEBEF), C(0x00E8E8E8), C(0x00FBFBFB), C(0x00E7E7E7)}),
}};
// clang-format on

// The row of a built-in style (0 .. 4), or -1; only the low seven bits of the ordinal count.
int StyleRow(TsuiUIStyle style) {
    const int ordinal = static_cast<int>(static_cast<std::uint8_t>(style) & 0x7F);
    return ordinal >= 1 && ordinal <= StyleCount ? ordinal - 1 : -1;
}

QString ResourceName(const IndexDef& def, TsuiUIStyle style) {
    const char* element =
        style == TsuiUIStyle::WinXP && def.winxpElement ? def.winxpElement : def.element;
    const QString name = QString::fromLatin1(element);
    return def.prefixed ? StyleResourcePrefix(style) + name : name;
}

struct RegisteredRule {
    int order;
    TsuiStyleRule rule;
};

struct Walk {
    std::mutex mutex;
    std::vector<RegisteredRule> rules; // sorted by order, stable
    std::vector<bool (*)(const QObject*)> containers;
};

Walk& TheWalk() {
    static Walk walk;
    return walk;
}

const TsuiFormStyleSource* FindForm(const QObject* container) {
    if (!container)
        return nullptr;
    for (const QObject* child : container->children()) {
        if (auto* form = dynamic_cast<const TsuiFormStyleSource*>(child))
            return form;
    }
    return nullptr;
}

} // namespace

QString StyleResourcePrefix(TsuiUIStyle style) {
    switch (style) {
    case TsuiUIStyle::MacOS:
        return QStringLiteral("MACOS_");
    case TsuiUIStyle::WinXP:
        return QStringLiteral("WINXP_");
    case TsuiUIStyle::DeepBlue:
        return QStringLiteral("DEEPBLUE_");
    case TsuiUIStyle::Protein:
        return QStringLiteral("PROTEIN_");
    case TsuiUIStyle::BlueGlass:
        return QStringLiteral("BLUEGLASS_");
    case TsuiUIStyle::Custom:
        break;
    }
    return {};
}

TThemeEntry GetThemeEntry(TsuiUIStyle style, int index) {
    const int row = StyleRow(style);
    if (row < 0 || index < 1 || index > ThemeEntryCount)
        return {};
    const IndexDef& def = Table[index - 1];
    if (def.kind != ThemeKindResource)
        return {def.values[row], def.kind, {}};
    return {0, def.kind, ResourceName(def, static_cast<TsuiUIStyle>(row + 1))};
}

QString GetThemeString(TsuiUIStyle style, int index) {
    TThemeEntry entry = GetThemeEntry(style, index);
    return entry.kind == ThemeKindResource ? std::move(entry.text) : QString();
}

int GetThemeInteger(TsuiUIStyle style, int index) {
    const TThemeEntry entry = GetThemeEntry(style, index);
    return entry.kind == ThemeKindInteger ? entry.value : -1;
}

bool GetThemeBoolean(TsuiUIStyle style, int index) {
    const TThemeEntry entry = GetThemeEntry(style, index);
    return entry.kind == ThemeKindBoolean && entry.value != 0;
}

TColor GetThemeColor(TsuiUIStyle style, int index) {
    const TThemeEntry entry = GetThemeEntry(style, index);
    return entry.kind == ThemeKindColor ? static_cast<TColor>(entry.value) : clBlack;
}

QImage ThemeBitmap(TsuiUIStyle style, int index) {
    return SkinBitmap(GetThemeString(style, index));
}

QImage LoadThemeBitmap(TsuiUIStyle style, int index) {
    return LoadSkinBitmap(GetThemeString(style, index));
}

TsuiUIStyle FindFormUIStyle(const QObject* container) {
    const TsuiFormStyleSource* form = FindForm(container);
    return form ? form->formUIStyle() : TsuiUIStyle::DeepBlue;
}

TColor FindFormColor(const QObject* container) {
    const TsuiFormStyleSource* form = FindForm(container);
    return form ? form->formColor() : clBtnFace;
}

TColor FindFormControlBorderColor(const QObject* container) {
    const TsuiFormStyleSource* form = FindForm(container);
    return form ? GetThemeColor(form->formUIStyle(), tiControlBorderColor) : 0;
}

bool RegisterStyleRule(int order, TsuiStyleRule rule) {
    Walk& walk = TheWalk();
    std::lock_guard lock(walk.mutex);
    auto at = std::upper_bound(walk.rules.begin(), walk.rules.end(), order,
                               [](int o, const RegisteredRule& r) { return o < r.order; });
    walk.rules.insert(at, {order, rule});
    return true;
}

bool RegisterStyledContainer(bool (*isContainer)(const QObject*)) {
    Walk& walk = TheWalk();
    std::lock_guard lock(walk.mutex);
    walk.containers.push_back(isContainer);
    return true;
}

void ContainerApplyUIStyle(QObject* container, TsuiUIStyle style) {
    if (!container)
        return;
    std::vector<RegisteredRule> rules;
    {
        Walk& walk = TheWalk();
        std::lock_guard lock(walk.mutex);
        rules = walk.rules;
    }
    // A rule may add or remove children (a check group rebuilds its boxes): walk a snapshot and
    // skip children that went away meanwhile.
    const QObjectList snapshot = container->children();
    const std::vector<QPointer<QObject>> children(snapshot.begin(), snapshot.end());
    for (const QPointer<QObject>& child : children) {
        for (const RegisteredRule& r : rules) {
            if (child)
                r.rule(child, style);
        }
    }
}

void ContainerApplyUIStyleNested(QObject* form, TsuiUIStyle style) {
    if (!form)
        return;
    std::vector<bool (*)(const QObject*)> containers;
    {
        Walk& walk = TheWalk();
        std::lock_guard lock(walk.mutex);
        containers = walk.containers;
    }
    const QObjectList children = form->children();
    for (QObject* child : children) {
        if (std::any_of(containers.begin(), containers.end(),
                        [child](auto isContainer) { return isContainer(child); }))
            ContainerApplyUIStyle(child, style);
    }
}

} // namespace pestrel
