#include "toolkit/Color.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace pestrel {
namespace {

struct SystemColor {
    int role; // a QPalette::ColorRole, or -1 for the fixed colour
    QPalette::ColorGroup group;
    QRgb fixed; // used when the palette has no such role
};

constexpr QPalette::ColorGroup Active = QPalette::Active;
constexpr QPalette::ColorGroup Inactive = QPalette::Inactive;
constexpr QPalette::ColorGroup Disabled = QPalette::Disabled;

// Indexed by system colour number; caption colours follow the classic desktop scheme, which the
// palette does not describe.
const std::array<SystemColor, 31> SystemColors = {{
    {QPalette::Mid, Active, 0},             // 0 scroll bar
    {-1, Active, qRgb(0x3A, 0x6E, 0xA5)},   // 1 desktop
    {-1, Active, qRgb(0x0A, 0x24, 0x6A)},   // 2 active caption
    {-1, Active, qRgb(0x80, 0x80, 0x80)},   // 3 inactive caption
    {QPalette::Window, Active, 0},          // 4 menu
    {QPalette::Base, Active, 0},            // 5 window
    {QPalette::Shadow, Active, 0},          // 6 window frame
    {QPalette::WindowText, Active, 0},      // 7 menu text
    {QPalette::Text, Active, 0},            // 8 window text
    {-1, Active, qRgb(0xFF, 0xFF, 0xFF)},   // 9 caption text
    {QPalette::Button, Active, 0},          // 10 active border
    {QPalette::Button, Inactive, 0},        // 11 inactive border
    {QPalette::Dark, Active, 0},            // 12 application work space
    {QPalette::Highlight, Active, 0},       // 13 highlight
    {QPalette::HighlightedText, Active, 0}, // 14 highlight text
    {QPalette::Button, Active, 0},          // 15 button face
    {QPalette::Dark, Active, 0},            // 16 button shadow
    {QPalette::Text, Disabled, 0},          // 17 grey text
    {QPalette::ButtonText, Active, 0},      // 18 button text
    {-1, Active, qRgb(0xD4, 0xD0, 0xC8)},   // 19 inactive caption text
    {QPalette::Light, Active, 0},           // 20 button highlight
    {QPalette::Shadow, Active, 0},          // 21 3-D dark shadow
    {QPalette::Midlight, Active, 0},        // 22 3-D light
    {QPalette::ToolTipText, Active, 0},     // 23 info text
    {QPalette::ToolTipBase, Active, 0},     // 24 info background
    {-1, Active, qRgb(0xB5, 0xB5, 0xB5)},   // 25 (unused index)
    {QPalette::Link, Active, 0},            // 26 hot light
    {-1, Active, qRgb(0xA6, 0xCA, 0xF0)},   // 27 gradient active caption
    {-1, Active, qRgb(0xC0, 0xC0, 0xC0)},   // 28 gradient inactive caption
    {QPalette::Highlight, Active, 0},       // 29 menu highlight
    {QPalette::Window, Active, 0},          // 30 menu bar
}};

QColor FromBGR(TColor color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

} // namespace

QColor ColorToQColor(TColor color) {
    if ((color & 0xFF000000) != clSystemColor)
        return FromBGR(color);
    const TColor index = color & 0x00FFFFFF;
    if (index >= SystemColors.size())
        return QColor(Qt::black);
    const SystemColor& sys = SystemColors[index];
    if (sys.role < 0)
        return QColor(sys.fixed);
    const QPalette palette = QGuiApplication::palette();
    QColor resolved = palette.color(sys.group, static_cast<QPalette::ColorRole>(sys.role));
    resolved.setAlpha(255);
    return resolved;
}

TColor ColorToRGB(TColor color) {
    return QColorToColor(ColorToQColor(color));
}

TColor QColorToColor(const QColor& color) {
    const QRgb rgb = color.rgb();
    return static_cast<TColor>(qRed(rgb)) | static_cast<TColor>(qGreen(rgb)) << 8 |
           static_cast<TColor>(qBlue(rgb)) << 16;
}

} // namespace pestrel
