#include "gallery/GalleryLog.h"

#include <cstdio>

namespace pestrel::gallery {

void LogEvent(const QObject* sender, const char* event, const QString& value) {
    std::printf("%s %s %s\n", qPrintable(sender->objectName()), event, qPrintable(value));
    std::fflush(stdout);
}

void LogEvent(const QObject* sender, const char* event, qint64 value) {
    LogEvent(sender, event, QString::number(value));
}

} // namespace pestrel::gallery
