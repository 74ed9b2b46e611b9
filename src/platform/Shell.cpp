#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

namespace Shell {

namespace {
// A scheme of two or more letters, so that a drive letter is not taken for
// one on the platform that has them.
bool looksLikeLink(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}
} // namespace

bool open(const QString& target)
{
    if (target.isEmpty())
        return false;
    if (looksLikeLink(target) && !QFileInfo::exists(target))
        return QDesktopServices::openUrl(QUrl(target));
    const QFileInfo info(target);
    if (info.isFile() && info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), {});
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void openLink(const QUrl& link)
{
    QDesktopServices::openUrl(link);
}

bool launch(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

} // namespace Shell
