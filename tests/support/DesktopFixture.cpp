#include "support/DesktopFixture.h"

#include "app/Startup.h"
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QTest>

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
    reporter().setPresenter([this](const QString& text) { m_errors << text; });
    QGuiApplication::clipboard()->clear();
}

DesktopFixture::~DesktopFixture()
{
    reporter().setPresenter({});
}

void startWindows(DesktopFixture& desk, std::unique_ptr<Startup>& program)
{
    program = std::make_unique<Startup>(desk.settings(), desk.reporter(), desk.saveSound());
    QVERIFY(program->showAgreement());
    program->showSplash();
    program->readSettings();
    program->buildWindows();
    program->readSlots();
    program->attachTray();
    program->watchClipboard();
    // As a user would find it: the clipboard's content known.
    QTRY_VERIFY(program->clipboard().current().id != 0);
}

void DesktopFixture::storeText(const QString& name, const QString& text)
{
    RegTools::writeString(store(), QString::fromLatin1(Layout::ProgramKey), name, text);
}

void WindowsFixture::beginDesk()
{
    m_desk = std::make_unique<DesktopFixture>();
}

void WindowsFixture::startWindows(std::optional<bool> autoOn)
{
    if (autoOn)
        m_desk->settings().setAutoAtStart(*autoOn ? StartChoice::AlwaysOn : StartChoice::AlwaysOff);
    TestSupport::startWindows(*m_desk, m_program);
    m_collector = &m_program->collector();
    m_main = m_program->mainWindow();
    m_remote = m_program->remoteWindow();
}

void WindowsFixture::closeWindows()
{
    m_program.reset();
    m_collector = nullptr;
    m_main = nullptr;
    m_remote = nullptr;
}

void WindowsFixture::endDesk(bool messagesAllowed)
{
    closeWindows();
    const QStringList messages = m_desk ? m_desk->errors() : QStringList();
    m_desk.reset();
    if (!messagesAllowed)
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('|'))));
}

void WindowsFixture::activate(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

QString WindowsFixture::path(const QString& name) const
{
    return m_desk->path(name);
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
