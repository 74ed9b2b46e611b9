#include "core/FirstRun.h"

#include "core/ProgramInfo.h"

#include <QCoreApplication>

namespace FirstRun {

namespace {

// The text's paragraphs each on one line, so that the agreement's view
// wraps them to its width instead of breaking them where the file does.
QString reflowed(const QString& text)
{
    QStringList paragraphs = text.trimmed().split(QStringLiteral("\n\n"));
    for (QString& paragraph : paragraphs)
        paragraph = paragraph.simplified();
    return paragraphs.join(QStringLiteral("\n\n"));
}

} // namespace

QString acceptanceText(const QDateTime& when, const RegionalSettings& region)
{
    const QString date = shortDateText(when.date(), region);
    if (when.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + longTimeText(when.time(), region);
}

QString agreementText(const AgreementFacts& facts)
{
    QStringList files;
    for (const QString& file : facts.slotFiles)
        files << QStringLiteral("    ") + file;
    // Only the contacts the program was built with.
    QString contacts;
    if (!ProgramInfo::supportMailAddress().isEmpty())
        contacts += QCoreApplication::translate("FirstRun", "Support: ") +
                    ProgramInfo::supportMailAddress() + QLatin1Char('\n');
    if (!ProgramInfo::webSite().isEmpty())
        contacts += QCoreApplication::translate("FirstRun", "Web site: ") + ProgramInfo::webSite() +
                    QLatin1Char('\n');

    return QCoreApplication::translate(
               "FirstRun",
               "%1 %2\n"
               "%3\n"
               "%4"
               "\n"
               "This is the first time %1 runs. Running it requires that you accept the "
               "terms below; please read them first.\n"
               "\n"
               "WHAT CLIPSTOW DOES BY DEFAULT\n"
               "Auto mode is on. While it is on, %1 captures every text you copy in any "
               "program: it adds the text, under a line with the date and time, to the "
               "active slot's file. The slot files are, in the folder %1 was started from:\n"
               "%5\n"
               "What is captured stays in these files until you delete it. The main window "
               "starts hidden; the tray icon brings it back.\n"
               "To switch auto mode off, press F5 in the main window (Options, \"Auto "
               "Clipstow\"), click the toolbar's \"Auto Clipstow\" button, or choose \"Auto "
               "Clipstow\" in the tray icon's menu.\n"
               "\n"
               "TERMS\n"
               "%6\n"
               "LIMITED WARRANTY AND DISCLAIMER\n"
               "%1 is given to you free of charge and without any warranty, as the last "
               "paragraph of the licence above says. You use it at your own risk: keep copies "
               "of what matters to you, and do not let it capture what others must not read.\n"
               "\n"
               "ACKNOWLEDGMENT\n"
               "By choosing \"I Accept\" you acknowledge that you have read these terms and "
               "what %1 does by default, and that you agree to them. If you choose \"I Do Not "
               "Accept\", %1 ends now without capturing anything and asks again at its next "
               "start.\n")
        .arg(ProgramInfo::name(), ProgramInfo::version(), ProgramInfo::creditLine(), contacts,
             files.join(QLatin1Char('\n')), reflowed(facts.licenseText) + QLatin1Char('\n'));
}

} // namespace FirstRun
