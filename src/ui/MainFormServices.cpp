// What the main window does with the services it owns or mirrors its state
// into: the clipboard monitor, the tray icon and the remote window.
#include "ui/MainForm.h"

#include "app/ErrorReporter.h"
#include "platform/ClipboardMonitor.h"
#include "platform/NotifyAreaIcon.h"
#include "settings/RegistryLayout.h"
#include "ui/RemoteForm.h"

#include <QToolButton>

namespace {
// The program's one clipboard monitor, while it exists: a second main
// window would not create another.
TClipboardMonitor* g_monitor = nullptr;
} // namespace

void TMainForm::HookClipboard()
{
    if (g_monitor != nullptr)
        return;
    m_monitor = std::make_unique<TClipboardMonitor>();
    g_monitor = m_monitor.get();
    // Failures of the capture go to the common error box from the monitor,
    // which goes on reporting. Until start-up has read the slot files the
    // capture writes nothing.
    m_monitor->setOnChange([this](TClipboardMonitor* sender) { ClipboardChange(sender); });
}

void TMainForm::FreeClipboardMonitor()
{
    if (!m_monitor)
        return;
    if (g_monitor == m_monitor.get())
        g_monitor = nullptr;
    m_monitor.reset();
}

void TMainForm::RemoveTrayIcon()
{
    if (m_trayIcon)
        m_trayIcon->setActive(false);
}

void TMainForm::SetRemoteForm(TRemoteForm* remote)
{
    m_remote = remote;
    // Its slot buttons follow the auto state from its creation; its auto
    // button does so from here on.
    if (m_remote)
        m_remote->AutoToolBtn()->setChecked(IsAutoOn());
}

// The remote window is created after this one: start-up refreshes hints and
// sets the active slot before it exists.
void TMainForm::SetDown(int slot)
{
    if (m_remote)
        m_remote->SetDown(slot);
}

void TMainForm::AllUp()
{
    if (m_remote)
        m_remote->AllUp();
}

void TMainForm::SetAuto(bool on)
{
    if (m_remote)
        m_remote->SetAuto(on);
}

void TMainForm::RSetHints()
{
    if (m_remote)
        m_remote->RSetHints();
}

// Until the remote window exists the remembered choice stays as it is.
bool TMainForm::RemoteVisible() const
{
    return m_remote ? m_remote->isVisible() : ErrorReporter::readOrDefault(Layout::ShowRemote);
}
