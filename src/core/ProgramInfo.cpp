#include "core/ProgramInfo.h"

#include "base/AppError.h"

#include <QCoreApplication>
#include <QFile>

// The resources are compiled into the static library; referencing their
// initialiser keeps them linked into every program that shows the licence.
static void initLicenseResource()
{
    static const bool initialised = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(initialised);
}

namespace ProgramInfo {

QString name()
{
    return QStringLiteral("Clipstow");
}

QString version()
{
    return QStringLiteral(CLIPSTOW_VERSION);
}

QDate buildDate()
{
    return QDate::fromString(QStringLiteral(CLIPSTOW_BUILD_DATE), Qt::ISODate);
}

QString creditLine()
{
    return QStringLiteral("\u00a9 2026 The Clipstow developers");
}

namespace {
struct Contacts
{
    QString supportMail = QStringLiteral(CLIPSTOW_SUPPORT_MAIL);
    QString webSite = QStringLiteral(CLIPSTOW_WEB_SITE);
};
Contacts& contacts()
{
    static Contacts built;
    return built;
}
} // namespace

QString supportMailAddress()
{
    return contacts().supportMail;
}

QString webSite()
{
    return contacts().webSite;
}

void setContacts(const QString& supportMail, const QString& webSite)
{
    contacts() = {supportMail, webSite};
}

QUrl supportMailUrl(const QString& address)
{
    const QString subject = QString::fromLatin1(QUrl::toPercentEncoding(name()));
    return QUrl(QStringLiteral("mailto:%1?subject=%2").arg(address, subject));
}

QString licenseText()
{
    initLicenseResource();
    QFile file(QStringLiteral(":/text/LICENSE"));
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QCoreApplication::translate("ProgramInfo", "Cannot read the licence text"));
    return QString::fromUtf8(file.readAll());
}

} // namespace ProgramInfo
