#pragma once

#include <QDate>
#include <QString>
#include <QUrl>

// What the program tells its users about itself: version, build date, who
// made it and where they are reached. The addresses and the date are fixed
// when the program is built.
namespace ProgramInfo {

QString name();    // "Clipstow"
QString version(); // the project's version, e.g. "3.0.0"
// The date the program was built (the source date when the build was made
// reproducible).
QDate buildDate();
// The year and the maker, as the licence names them.
QString creditLine();
QString supportMailAddress();
QString webSite();

// A new mail message to address with the program's name as its subject,
// e.g. "mailto:support@example.org?subject=Clipstow".
QUrl supportMailUrl(const QString& address);

// The project's licence as shipped in the program. Raises AppError when the
// resource is missing.
QString licenseText();

} // namespace ProgramInfo
