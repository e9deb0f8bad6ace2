#include "ui/ActionText.h"

#include "ui/ListEntries.h"

namespace pestrel {

QString FieldText(const std::string& field) {
    QString text = ShownText(field);
    for (QChar& character : text) {
        if (character.category() == QChar::Other_Control)
            character = QLatin1Char('?');
    }
    return text;
}

QString ActionText(const PassAction& action) {
    QString line = action.failed ? QStringLiteral("failed  ") : QString();
    line += QString::fromStdString(action.verb);
    for (const std::string& field : action.fields)
        line += QStringLiteral("  ") + FieldText(field);
    return line;
}

} // namespace pestrel
