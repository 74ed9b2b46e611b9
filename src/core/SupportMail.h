#pragma once

#include <QDate>
#include <QString>

struct RegionalSettings;

// The "&Support" command's link: a new mail to the support address whose
// subject names the program's version and build date.
namespace SupportMail {

// The support address (ProgramInfo::supportMailAddress); empty when the
// program has none, and then there is no "&Support" command.
QString address();
// The date the program was built.
QDate buildDate();

// "mailto:" + address + "?subject=Clipstow%203%20%28build%20" + the build
// date in region's short date format + "%29". The date goes in as it is
// formatted: mail programs read the slashes and dots of a date unchanged.
QString link(const QString& address, const QDate& buildDate, const RegionalSettings& region);

} // namespace SupportMail
