// Commands and calls whose windows and services are still to come. Each is
// wired to its menu item or button already; until its part exists it does
// nothing, or the least that keeps the program usable.
#include "ui/MainForm.h"

#include "settings/RegistryLayout.h"

// Hint refresh: icons, status text and tooltips.
void TMainForm::SetHints() {}

void TMainForm::HidePanelClick(QObject*)
{
    hide();
}

void TMainForm::ShowMainClick(QObject*)
{
    showNormal();
    raise();
    activateWindow();
}

void TMainForm::ShowRemoteClick(QObject*) {}
void TMainForm::Preferences1Click(QObject*) {}
void TMainForm::Help1Click(QObject*) {}
void TMainForm::AboutMenuClick(QObject*) {}
void TMainForm::Support1Click(QObject*) {}
void TMainForm::EditButtonClick(QObject*) {}
void TMainForm::ClipbrdMenuClick(QObject*) {}

// Start-up steps of the agreement and splash windows.
void TMainForm::ShowAgreementIfNeeded() {}
void TMainForm::ShowStartupSplash() {}

// Clipboard monitor and tray icon.
void TMainForm::HookClipboard() {}
void TMainForm::RemoveTrayIcon() {}

// Window placement.
void TMainForm::ReadPlacement() {}
void TMainForm::WritePlacement() {}

// The remote window.
void TMainForm::SetDown(int) {}
void TMainForm::AllUp() {}
void TMainForm::SetAuto(bool) {}
void TMainForm::RSetHints() {}
// Until the remote window exists the remembered choice stays as it is.
bool TMainForm::RemoteVisible() const
{
    return Layout::ShowRemote.read();
}
