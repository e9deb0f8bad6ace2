#include "app/JsonLines.h"

#include "engine/Journal.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringDecoder>
#include <algorithm>
#include <string_view>

namespace pestrel {
namespace {

// The length of the UTF-8 sequence at `at` (RFC 3629: no overlong forms, no surrogates, nothing
// past U+10FFFF), or 0 when none starts there.
std::size_t SequenceLength(const std::string& bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0u;
    };
    const auto tail = [&](std::size_t i) { return (byte(i) & 0xC0) == 0x80; };
    const unsigned lead = byte(0);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return tail(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
        return byte(1) >= low && byte(1) <= high && tail(2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
        return byte(1) >= low && byte(1) <= high && tail(2) && tail(3) ? 4 : 0;
    }
    return 0;
}

// The bytes as text, and exactly in base64 (null when the text holds them all).
struct Encoded {
    QString text;
    QJsonValue exact;
};

Encoded Encode(const std::string& bytes) {
    // A leading byte order mark is a character of the name, not a mark to drop.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    const auto view = [&](std::size_t at, std::size_t length) -> QString {
        return decoder(QByteArrayView(bytes.data() + at, static_cast<qsizetype>(length)));
    };
    std::size_t valid = 0;
    while (valid < bytes.size()) {
        const std::size_t length = SequenceLength(bytes, valid);
        if (length == 0)
            break;
        valid += length;
    }
    if (valid == bytes.size())
        return {view(0, bytes.size()), QJsonValue::Null};
    QString text = view(0, valid);
    for (std::size_t at = valid; at < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, at);
        text += length == 0 ? QString(QChar::ReplacementCharacter) : view(at, length);
        at += length == 0 ? 1 : length;
    }
    const QByteArray exact(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return {text, QString::fromLatin1(exact.toBase64())};
}

QJsonObject Verb(const QString& verb) {
    return QJsonObject{{"verb", verb}};
}

} // namespace

std::string JsonLine(const QJsonObject& object) {
    const std::string written = QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
    // The writer leaves these raw; in compact JSON they can only stand inside a string, where an
    // escape means the same character.
    static constexpr struct {
        std::string_view raw, escaped;
    } kLineBreaks[] = {
        {"\xC2\x85", "\\u0085"}, {"\xE2\x80\xA8", "\\u2028"}, {"\xE2\x80\xA9", "\\u2029"}};
    std::string line;
    line.reserve(written.size());
    for (std::size_t at = 0; at < written.size();) {
        const auto escape =
            std::find_if(std::begin(kLineBreaks), std::end(kLineBreaks), [&](const auto& mark) {
                return std::string_view(written).substr(at).starts_with(mark.raw);
            });
        if (escape == std::end(kLineBreaks)) {
            line += written[at++];
        } else {
            line += escape->escaped;
            at += escape->raw.size();
        }
    }
    return line;
}

void PutBytes(QJsonObject& object, const QString& key, const std::string& bytes) {
    Encoded encoded = Encode(bytes);
    object.insert(key, encoded.text);
    if (!encoded.exact.isNull())
        object.insert(key + "_base64", encoded.exact);
}

QJsonObject ActionObject(const PassAction& action) {
    QJsonObject object = Verb(QString::fromLatin1(VerbName(action.verb)));
    object.insert("failed", action.failed);
    const std::span<const char* const> names = FieldNames(action.verb);
    const std::size_t count = action.fields.size();
    if (count > names.size()) {
        QJsonArray fields, exact;
        bool replaced = false;
        for (const std::string& field : action.fields) {
            Encoded encoded = Encode(field);
            fields.append(encoded.text);
            exact.append(encoded.exact);
            replaced = replaced || !encoded.exact.isNull();
        }
        object.insert("fields", fields);
        if (replaced)
            object.insert("fields_base64", exact);
        return object;
    }
    for (std::size_t i = 0; i < count; ++i)
        PutBytes(object, QString::fromLatin1(i + 1 == count ? names.back() : names[i]),
                 action.fields[i]);
    return object;
}

BackupWords BackupWordsOf(const JournalEntry& item) {
    switch (item.kind) {
    case JournalEntry::Kind::File:
        return {"file", "path", "copy"};
    case JournalEntry::Kind::Link:
        return {"link", "path", "target"};
    case JournalEntry::Kind::Crontab:
        return {"crontab", "user", "before"};
    default:
        return {"value", "place", "data"};
    }
}

QJsonObject JournalObject(const JournalEntry& item) {
    const BackupWords words = BackupWordsOf(item);
    QJsonObject object = Verb(words.verb);
    PutBytes(object, "time", item.time);
    PutBytes(object, "entry", item.entry);
    PutBytes(object, words.place, item.place);
    if (std::string_view(words.verb) == "value")
        PutBytes(object, "name", item.name);
    PutBytes(object, words.kept, item.kept);
    object.insert("restored", item.restored);
    return object;
}

QJsonObject AutostartObject(const std::string& place, const std::string& name,
                            const std::string& program, bool listed, const char* taken) {
    QJsonObject object = Verb("entry");
    PutBytes(object, "place", place);
    PutBytes(object, "name", name);
    PutBytes(object, "program", program);
    object.insert("listed", listed);
    if (taken)
        object.insert("taken", QString::fromLatin1(taken));
    return object;
}

QJsonObject SummaryObject(const std::vector<std::pair<std::string, int>>& counts,
                          std::optional<bool> finished) {
    QJsonObject object = Verb("summary");
    for (const auto& [name, count] : counts)
        object.insert(QString::fromStdString(name), count);
    if (finished)
        object.insert("finished", *finished);
    return object;
}

} // namespace pestrel
