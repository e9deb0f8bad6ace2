#include "skin/InterfaceFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace pestrel {

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

} // namespace pestrel
