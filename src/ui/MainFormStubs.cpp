// Commands and calls whose windows and services are still to come. Each is
// wired to its menu item or button already; until its part exists it does
// nothing, or the least that keeps the program usable.
#include "ui/MainForm.h"

#include "app/ErrorReporter.h"
#include "core/FirstRun.h"
#include "core/SupportMail.h"
#include "platform/Autostart.h"
#include "platform/Locale.h"
#include "platform/Shell.h"
#include "settings/Preferences.h"
#include "settings/RegistryLayout.h"
#include "ui/AgreementDialog.h"
#include "ui/ClipboardViewer.h"
#include "ui/HelpWindow.h"
#include "ui/PreferencesDialog.h"
#include "ui/SplashWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QPointer>
#include <cstdlib>

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

// Created on first use and kept with the main window.
void TMainForm::Help1Click(QObject*)
{
    static QPointer<HelpWindow> help;
    if (!help)
        help = new HelpWindow(this);
    help->present();
}

// Help's "&About..." and the tray's "&About".
void TMainForm::AboutMenuClick(QObject*)
{
    SplashWindow::run(SplashWindow::Mode::About);
}

void TMainForm::Support1Click(QObject*)
{
    RunFile(SupportMail::link(SupportMail::address(), SupportMail::buildDate(),
                              RegionalSettings::system()));
}

// The program's own viewer; a platform without one hides the item for good.
void TMainForm::ClipbrdMenuClick(QObject*)
{
    if (!Shell::hasClipboardViewer()) {
        Item(QStringLiteral("ClipbrdMenu"))->setEnabled(false);
        Item(QStringLiteral("ClipbrdMenu"))->setVisible(false);
        return;
    }
    static QPointer<ClipboardViewer> viewer;
    if (!viewer)
        viewer = new ClipboardViewer(this);
    viewer->present();
}

// Start-up steps of the agreement and splash windows. A setting of the
// wrong type is reported and start-up goes on: an unreadable acceptance
// asks again.
void TMainForm::ShowAgreementIfNeeded()
{
    bool needed = true;
    ErrorReporter::reportFailures(
        [&needed] { needed = FirstRun::agreementNeeded(Layout::AcceptedLicense.read()); });
    bool declined = false;
    ErrorReporter::reportFailures([&] {
        if (needed)
            declined = AgreementDialog::run() == AgreementDialog::Outcome::Declined;
    });
    if (!declined)
        return;
    // Declined: the program ends here, inside the main window's creation,
    // before the main or remote window shows, the clipboard is watched or a
    // setting other than the answer is written. The tray icon, already up,
    // goes first.
    RemoveTrayIcon();
    std::exit(0);
}

void TMainForm::ShowStartupSplash()
{
    ErrorReporter::reportFailures([] {
        if (Layout::ShowSplash.read())
            SplashWindow::run(SplashWindow::Mode::Startup);
    });
}

// Window placement.
void TMainForm::ReadPlacement() {}
void TMainForm::WritePlacement() {}
