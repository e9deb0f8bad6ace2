// Any bytes as the fields of an action. Its line is one JSON object with no raw control byte,
// and every field gives its bytes back: as its text when valid UTF-8, else through its base64 twin.
#include "app/JsonLines.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdlib>

namespace {

void Check(bool holds) {
    if (!holds)
        std::abort();
}

std::string Back(const QJsonValue& text, const QJsonValue& exact) {
    if (exact.isString())
        return QByteArray::fromBase64(exact.toString().toLatin1()).toStdString();
    return text.toString().toUtf8().toStdString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = bytes.find('\t');
    const std::string first = bytes.substr(0, cut);
    const std::string second = cut == std::string::npos ? "" : bytes.substr(cut + 1);
    // A verb that names both fields, and one that names fewer than it has.
    for (const pestrel::PassVerb verb : {pestrel::PassVerb::Delete, pestrel::PassVerb::Pending}) {
        const QJsonObject object = pestrel::ActionObject({verb, {first, second}});
        const std::string line = pestrel::JsonLine(object);
        for (const char c : line)
            Check(static_cast<unsigned char>(c) >= 0x20);
        QJsonParseError error;
        QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        Check(error.error == QJsonParseError::NoError);
        if (object.contains("fields")) {
            const QJsonArray fields = object.value("fields").toArray();
            const QJsonArray exact = object.value("fields_base64").toArray();
            Check(Back(fields[0], exact.at(0)) == first && Back(fields[1], exact.at(1)) == second);
        } else {
            Check(Back(object.value("path"), object.value("path_base64")) == first);
            Check(Back(object.value("kept"), object.value("kept_base64")) == second);
        }
    }
    return 0;
}
