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

class DesktopLauncher final : public Launcher
{
public:
    bool startDetached(const QString& program, const QStringList& arguments) override
    {
        return QProcess::startDetached(program, arguments);
    }
    bool openUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

DesktopLauncher desktopLauncher;
Launcher* installed = nullptr;
} // namespace

Launcher& launcher()
{
    return installed ? *installed : desktopLauncher;
}

void setLauncher(Launcher* launcher)
{
    installed = launcher;
}

bool open(const QString& target)
{
    if (target.isEmpty())
        return false;
    if (looksLikeLink(target) && !QFileInfo::exists(target))
        return launcher().openUrl(QUrl(target));
    const QFileInfo info(target);
    if (info.isFile() && info.isExecutable())
        return launcher().startDetached(info.absoluteFilePath(), {});
    return launcher().openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void openLink(const QUrl& link)
{
    QDesktopServices::openUrl(link);
}

} // namespace Shell
