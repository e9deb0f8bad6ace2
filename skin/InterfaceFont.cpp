#include "skin/InterfaceFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>

namespace pestrel {
namespace {

bool HasBoldStyle(const QString& family) {
    static QHash<QString, bool> known;
    if (const auto found = known.constFind(family); found != known.constEnd())
        return *found;
    bool bold = false;
    for (const QString& style : QFontDatabase::styles(family))
        bold = bold || QFontDatabase::weight(family, style) >= QFont::DemiBold;
    known.insert(family, bold);
    return bold;
}

// Strikes `draw` twice, one pixel apart, in the spaced font; once where the bold has a face.
template <class Draw> void StrikeText(QPainter& canvas, Draw draw) {
    if (!LacksBoldFace(canvas.font())) {
        draw(0);
        return;
    }
    const QFont font = canvas.font();
    canvas.setFont(InterfaceTextFont(font));
    draw(0);
    draw(1);
    canvas.setFont(font);
}

} // namespace

QString ChooseInterfaceFamily(const QStringList& covering) {
    static const char* const preferred[] = {"WenQuanYi Micro Hei", "Noto Sans CJK SC",
                                            "Source Han Sans SC", "Droid Sans Fallback",
                                            "WenQuanYi Zen Hei"};
    for (const char* family : preferred) {
        if (covering.contains(QLatin1String(family), Qt::CaseInsensitive))
            return QLatin1String(family);
    }
    return covering.value(0);
}

void UseInterfaceFont() {
    const QString family =
        ChooseInterfaceFamily(QFontDatabase::families(QFontDatabase::SimplifiedChinese));
    if (family.isEmpty())
        return;
    QFont font = QApplication::font();
    font.setFamilies({family});
    QApplication::setFont(font);
    // Without this, fontconfig would answer these names with its default Latin face.
    for (const QString& windowsFace :
         {QStringLiteral("宋体"), QStringLiteral("Tahoma"), QStringLiteral("MS Sans Serif")}) {
        if (!QFontDatabase::hasFamily(windowsFace))
            QFont::insertSubstitution(windowsFace, family);
    }
}

QFont FitRowHeight(const QFont& font, int rowHeight) {
    if (QFontDatabase::hasFamily(font.family()))
        return font;
    QFont fitted = font;
    while (fitted.pixelSize() > 1 && QFontMetrics(fitted).height() > rowHeight)
        fitted.setPixelSize(fitted.pixelSize() - 1);
    return fitted;
}

bool LacksBoldFace(const QFont& font) {
    return font.weight() >= QFont::DemiBold && !HasBoldStyle(QFontInfo(font).family());
}

QFont InterfaceTextFont(const QFont& font) {
    if (!LacksBoldFace(font))
        return font;
    const bool absolute = font.letterSpacingType() == QFont::AbsoluteSpacing;
    QFont spaced = font;
    spaced.setLetterSpacing(QFont::AbsoluteSpacing, (absolute ? font.letterSpacing() : 0) + 1);
    return spaced;
}

void DrawInterfaceText(QPainter& canvas, const QPoint& baselineStart, const QString& text) {
    StrikeText(canvas, [&](int shift) { canvas.drawText(baselineStart + QPoint(shift, 0), text); });
}

void DrawInterfaceText(QPainter& canvas, const QRect& rect, int flags, const QString& text) {
    StrikeText(canvas, [&](int shift) { canvas.drawText(rect.translated(shift, 0), flags, text); });
}

} // namespace pestrel
