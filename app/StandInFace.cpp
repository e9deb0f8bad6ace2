#include "app/StandInFace.h"

#include <QFontDatabase>
#include <QStringList>

namespace pestrel {

bool LoadStandInFaceWhereMissing(const QString& programFolder) {
    if (!QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
        return false;
    return QFontDatabase::addApplicationFont(programFolder + QLatin1Char('/') +
                                             QLatin1String(kStandInFaceFile)) >= 0;
}

} // namespace pestrel
