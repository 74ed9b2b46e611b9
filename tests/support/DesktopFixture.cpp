#include "support/DesktopFixture.h"

#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

namespace TestSupport {

ScopedWorkFolder::ScopedWorkFolder() : m_oldDir(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

ScopedWorkFolder::~ScopedWorkFolder()
{
    QDir::setCurrent(m_oldDir);
}

DesktopFixture::DesktopFixture()
{
    seedReturningUser(settings());
    ErrorReporter::setHook([this](const QString& text) { m_errors << text; });
    SaveSound::setOutput(&m_sound);
    SaveSound::setSettings(&settings());
    QGuiApplication::clipboard()->clear();
}

DesktopFixture::~DesktopFixture()
{
    SaveSound::setOutput(nullptr);
    SaveSound::setSettings(nullptr);
    ErrorReporter::setHook({});
}

void startWindows(Settings& settings, std::unique_ptr<Collector>& collector,
                  std::unique_ptr<MainWindow>& main, std::unique_ptr<RemoteWindow>& remote)
{
    collector = makeCollector(settings);
    main = std::make_unique<MainWindow>(*collector);
    remote = std::make_unique<RemoteWindow>(*collector);
    main->setRemoteWindow(remote.get());
}

void closeWindows(std::unique_ptr<Collector>& collector, std::unique_ptr<MainWindow>& main,
                  std::unique_ptr<RemoteWindow>& remote)
{
    if (main)
        main->setRemoteWindow(nullptr);
    remote.reset();
    main.reset();
    collector.reset();
}

QString downButtons(const RemoteWindow& remote)
{
    QStringList down;
    for (SlotNumber slot : SlotNumber::all())
        if (remote.isDown(slot))
            down << QString::number(slot.number());
    return down.join(QLatin1Char('-'));
}

bool sameIcon(const QIcon& a, const QIcon& b)
{
    return a.pixmap(16, 16).toImage() == b.pixmap(16, 16).toImage();
}

} // namespace TestSupport
