// Commands and calls whose windows and services are still to come. Each is
// wired to its menu item or button already; until its part exists it does
// nothing, or the least that keeps the program usable.
#include "ui/MainForm.h"

#include "platform/Autostart.h"
#include "settings/Preferences.h"
#include "ui/PreferencesDialog.h"

#include <QCoreApplication>

// Runs the Preferences dialog; the two settings the window keeps are read
// again after every close, OK or not.
void TMainForm::Preferences1Click(QObject*)
{
    const std::unique_ptr<Autostart> autostart = createSystemAutostart();
    {
        PreferencesDialog dialog(*autostart, QCoreApplication::applicationFilePath(), this);
        dialog.exec();
    }
    m_confirmClr = readConfirmClr();
    m_dateStyle = readDateStyle();
}
void TMainForm::Help1Click(QObject*) {}
void TMainForm::AboutMenuClick(QObject*) {}
void TMainForm::Support1Click(QObject*) {}
void TMainForm::ClipbrdMenuClick(QObject*) {}

// Start-up steps of the agreement and splash windows.
void TMainForm::ShowAgreementIfNeeded() {}
void TMainForm::ShowStartupSplash() {}

// Window placement.
void TMainForm::ReadPlacement() {}
void TMainForm::WritePlacement() {}
