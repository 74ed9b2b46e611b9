#include "support/DesktopFixture.h"

#include "app/ErrorReporter.h"
#include "core/SaveSound.h"
#include "ui/MainForm.h"
#include "ui/RemoteForm.h"

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
    seedReturningUser();
    ErrorReporter::setHook([this](const QString& text) { m_errors << text; });
    SaveSound::setOutput(&m_sound);
    QGuiApplication::clipboard()->clear();
}

DesktopFixture::~DesktopFixture()
{
    SaveSound::setOutput(nullptr);
    ErrorReporter::setHook({});
}

void startWindows(std::unique_ptr<TMainForm>& main, std::unique_ptr<TRemoteForm>& remote)
{
    main = std::make_unique<TMainForm>();
    remote = std::make_unique<TRemoteForm>(*main);
    main->SetRemoteForm(remote.get());
}

void closeWindows(std::unique_ptr<TMainForm>& main, std::unique_ptr<TRemoteForm>& remote)
{
    if (main)
        main->SetRemoteForm(nullptr);
    remote.reset();
    main.reset();
}

QString downButtons(const TRemoteForm& remote)
{
    QStringList down;
    for (int slot = 1; slot <= 3; ++slot)
        if (remote.IsDown(slot))
            down << QString::number(slot);
    return down.join(QLatin1Char('-'));
}

bool sameIcon(const QIcon& a, const QIcon& b)
{
    return a.pixmap(16, 16).toImage() == b.pixmap(16, 16).toImage();
}

} // namespace TestSupport
