#include "base/Translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

const QString ResourceFolder = QStringLiteral(":/i18n");

bool hasTranslation(const QString& language)
{
    return QFileInfo::exists(ResourceFolder + QStringLiteral("/clipstow_") + language +
                             QStringLiteral(".qm"));
}

void installFile(const QString& file)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(file))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

namespace Translations {

QString chooseLanguage(const QStringList& uiLanguages)
{
    for (const QString& entry : uiLanguages) {
        const QString language =
            entry.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
        // English is the program's own language; "C" and "POSIX" stand for it.
        if (language == QLatin1String("en") || language == QLatin1String("c") ||
            language == QLatin1String("posix"))
            return QStringLiteral("en");
        if (hasTranslation(language))
            return language;
    }
    return QStringLiteral("en");
}

QString install()
{
    const QString language = chooseLanguage(QLocale::system().uiLanguages());
    if (language == QLatin1String("en"))
        return language;
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    installFile(qtFolder + QStringLiteral("/qtbase_") + language + QStringLiteral(".qm"));
    installFile(ResourceFolder + QStringLiteral("/clipstow_") + language + QStringLiteral(".qm"));
    return language;
}

} // namespace Translations

TranslatedText::operator QString() const
{
    return QCoreApplication::translate(context, source);
}
