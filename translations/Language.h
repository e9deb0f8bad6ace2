#pragma once
// The language of the window and the command line. Chinese, the source text, is what the program
// speaks where nobody chose a language (the "C" and "POSIX" locales) and in a Chinese locale;
// English in an English locale and in any locale whose language has no translation.

#include <QString>

namespace pestrel {

enum class Language { Chinese, English };

// The locale variables as the environment gives them; an unset one is empty.
struct LocaleVariables {
    QString language;   // LANGUAGE: a colon-separated list of preferences
    QString lcAll;      // LC_ALL
    QString lcMessages; // LC_MESSAGES
    QString lang;       // LANG
};

// The language for these variables, read as gettext reads them: LC_ALL, then LC_MESSAGES, then
// LANG name the locale; a "C" or "POSIX" locale ignores LANGUAGE, any other lets its list of
// preferences go first, each taken when it has a translation.
Language ChooseLanguage(const LocaleVariables& variables);

// The process's own locale variables.
LocaleVariables EnvironmentLocale();

// Installs the translation of `language` into the running application (nothing for Chinese).
// Returns false when the translation could not be loaded; the program then speaks Chinese.
bool InstallTranslation(Language language);

// The language the running application speaks, as installed last.
Language CurrentLanguage();

} // namespace pestrel
