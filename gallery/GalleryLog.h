#pragma once
// The gallery's event log: one line on standard output for every event a control raises,
// "<objectName> <event> <value>", written at once so that a reader of a pipe sees it live.

#include <QObject>
#include <QString>

namespace pestrel::gallery {

void LogEvent(const QObject* sender, const char* event, const QString& value);
void LogEvent(const QObject* sender, const char* event, qint64 value);

} // namespace pestrel::gallery
