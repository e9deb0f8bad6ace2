#include "skin/SkinBitmaps.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QtGlobal>
#include <mutex>
#include <stdexcept>

// Outside any namespace: the resource initialiser of the static resource library.
static void InitSkinResources() {
    Q_INIT_RESOURCE(skins);
}

namespace pestrel {
namespace {

struct Cache {
    std::mutex mutex;
    QHash<QString, QImage> images;
    QSet<QString> reportedMissing;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

QString ResourcePath(const QString& name) {
    static std::once_flag registered;
    std::call_once(registered, InitSkinResources);
    return QStringLiteral(":/skins/") + name;
}

// Resource names are upper-case letters, digits and underscores; anything else (a path, "..",
// a lower-case spelling) names nothing.
bool IsResourceName(const QString& name) {
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_'))
            return false;
    }
    return true;
}

// The cached or freshly decoded bitmap; a null image when there is none.
QImage Decoded(const QString& name) {
    Cache& cache = TheCache();
    {
        std::lock_guard lock(cache.mutex);
        auto found = cache.images.constFind(name);
        if (found != cache.images.constEnd())
            return *found;
    }
    QImage image;
    if (IsResourceName(name))
        image.load(ResourcePath(name));
    if (!image.isNull()) {
        std::lock_guard lock(cache.mutex);
        cache.images.insert(name, image);
    }
    return image;
}

} // namespace

QImage SkinBitmap(const QString& name) {
    QImage image = Decoded(name);
    if (image.isNull() && !name.isEmpty()) {
        Cache& cache = TheCache();
        std::lock_guard lock(cache.mutex);
        if (!cache.reportedMissing.contains(name)) {
            cache.reportedMissing.insert(name);
            qWarning("skin picture \"%s\" is missing; it is drawn as nothing", qPrintable(name));
        }
    }
    return image;
}

QImage LoadSkinBitmap(const QString& name) {
    QImage image = Decoded(name);
    if (image.isNull())
        throw std::runtime_error("no skin bitmap resource named \"" + name.toStdString() + "\"");
    return image;
}

bool SkinBitmapExists(const QString& name) {
    return IsResourceName(name) && QFile::exists(ResourcePath(name));
}

void ClearSkinBitmapCache() {
    Cache& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    cache.images.clear();
}

} // namespace pestrel
