#include "skin/SkinBitmaps.h"

#include <QFile>
#include <QHash>
#include <QImageReader>
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

// The resources have no file suffix. The two kinds the skin carries are read by Qt itself; naming
// the format and not asking for detection keeps Qt from loading every image plugin to ask it.
QByteArray FormatOf(QIODevice& resource) {
    const QByteArray head = resource.peek(4);
    if (head.startsWith("BM"))
        return "BMP";
    if (head == "\x89PNG")
        return "PNG";
    return {};
}

QImage Read(const QString& name) {
    QFile resource(ResourcePath(name));
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&resource);
    if (const QByteArray format = FormatOf(resource); !format.isEmpty()) {
        reader.setFormat(format);
        reader.setAutoDetectImageFormat(false);
    }
    return reader.read();
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
    const QImage image = IsResourceName(name) ? Read(name) : QImage();
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
