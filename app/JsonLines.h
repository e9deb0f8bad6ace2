#pragma once
// The command line's records as JSON Lines: one compact object per line with its "verb" and its
// fields named per verb, the summary last.
//
// A field's bytes that are valid UTF-8 come out as a JSON string (control characters, quotes and
// backslashes escaped by the JSON writer, and the line breaks U+0085, U+2028 and U+2029 as \u
// escapes, so that no reader that splits lines there splits a record). A field that is not valid
// UTF-8 comes out twice: as text with U+FFFD in place of each byte that is not part of a valid
// sequence, and exactly, in base64, under its name with "_base64" appended.

#include "engine/PassAction.h"

#include <QJsonObject>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pestrel {

struct JournalEntry;

// `object` as one line of compact JSON, without the line end.
std::string JsonLine(const QJsonObject& object);
// Puts `bytes` under `key` by the rule above.
void PutBytes(QJsonObject& object, const QString& key, const std::string& bytes);

// What a journal line is, and what its place and kept text are called, in --list-backups' lines
// and objects: a file (path, copy), a link (path, target), a crontab (user, before), a registry
// value (place, data).
struct BackupWords {
    const char* verb;
    const char* place;
    const char* kept;
};
BackupWords BackupWordsOf(const JournalEntry& item);

// {"verb": ..., one key per field, "failed": bool}. The fields take their verb's names
// (FieldNames); a verb without names, or with more fields than names, has them as the array
// "fields".
QJsonObject ActionObject(const PassAction& action);
// A deletion of the journal: {"verb", "time", "entry", its place, "name" (values only), its kept
// text, "restored": bool}, named by BackupWordsOf.
QJsonObject JournalObject(const JournalEntry& item);
// An autostart entry: {"verb": "entry", "place", "name", "program", "listed": bool, "taken":
// "pass" or "clean-autostart" when a pass takes it}.
QJsonObject AutostartObject(const std::string& place, const std::string& name,
                            const std::string& program, bool listed, const char* taken);
// {"verb": "summary", each count, and "finished" when given}.
QJsonObject SummaryObject(const std::vector<std::pair<std::string, int>>& counts,
                          std::optional<bool> finished = std::nullopt);

} // namespace pestrel
