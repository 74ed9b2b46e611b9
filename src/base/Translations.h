#pragma once

#include <QString>
#include <QStringList>

// The program's texts in the user's language: the first language of the
// desktop's list (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) that has a
// translation, with Qt's own texts in the same language; English where
// English comes first or no language of the list has one.
namespace Translations {

// The language chosen for the given list of the desktop's languages
// ("de-DE", "fr", ...): "de", "fr" or "en".
QString chooseLanguage(const QStringList& uiLanguages);

// Installs the translators for the desktop's language on the running
// application; returns the language chosen.
QString install();

} // namespace Translations

// A text marked for translation where it is defined (QT_TRANSLATE_NOOP) and
// translated where it is used, for constants made before the translators
// are installed.
struct TranslatedText
{
    const char* context;
    const char* source;
    operator QString() const;
};
