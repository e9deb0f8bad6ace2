#include "translations/Language.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTranslator>
#include <optional>

namespace pestrel {
namespace {

Language installed = Language::Chinese;

// The language a locale name ("zh_CN.UTF-8", "en_GB@euro", "de") has a translation in; nothing
// when it has none.
std::optional<Language> TranslatedLanguage(const QString& locale) {
    const QString code = locale.section(QLatin1Char('_'), 0, 0)
                             .section(QLatin1Char('.'), 0, 0)
                             .section(QLatin1Char('@'), 0, 0)
                             .toLower();
    if (code == QLatin1String("zh"))
        return Language::Chinese;
    if (code == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

bool NobodyChose(const QString& locale) {
    return locale.isEmpty() || locale == QLatin1String("C") || locale == QLatin1String("POSIX") ||
           locale.startsWith(QLatin1String("C."));
}

} // namespace

Language ChooseLanguage(const LocaleVariables& variables) {
    QString locale = variables.lcAll;
    if (locale.isEmpty())
        locale = variables.lcMessages;
    if (locale.isEmpty())
        locale = variables.lang;
    if (NobodyChose(locale))
        return Language::Chinese;
    QStringList preferences = variables.language.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    preferences.append(locale);
    for (const QString& preference : preferences) {
        if (const std::optional<Language> language = TranslatedLanguage(preference))
            return *language;
    }
    return Language::English;
}

LocaleVariables EnvironmentLocale() {
    return {qEnvironmentVariable("LANGUAGE"), qEnvironmentVariable("LC_ALL"),
            qEnvironmentVariable("LC_MESSAGES"), qEnvironmentVariable("LANG")};
}

bool InstallTranslation(Language language) {
    static QTranslator english;
    if (language == Language::Chinese) {
        QCoreApplication::removeTranslator(&english);
        installed = Language::Chinese;
        return true;
    }
    if (english.isEmpty() && !english.load(QStringLiteral(":/translations/pestrel_en.qm")))
        return false;
    QCoreApplication::installTranslator(&english);
    installed = Language::English;
    return true;
}

Language CurrentLanguage() {
    return installed;
}

} // namespace pestrel
