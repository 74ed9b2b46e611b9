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
// Where users reach the makers; empty when the build named none, and then
// nothing offers to write or go there.
QString supportMailAddress();
QString webSite();
// Puts other addresses in place of the build's for the rest of the run
// (the windows read them when they are built); the tests of both cases do.
void setContacts(const QString& supportMail, const QString& webSite);

// A new mail message to address with the program's name as its subject,
// e.g. "mailto:help@clipstow.test?subject=Clipstow".
QUrl supportMailUrl(const QString& address);

// The project's licence as shipped in the program, in the installed
// language where it has a translation (which quotes the English original
// as the binding text). Raises AppError when the resource is missing.
QString licenseText();

} // namespace ProgramInfo
