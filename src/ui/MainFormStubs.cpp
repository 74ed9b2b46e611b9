// Commands and calls whose windows and services are still to come. Each is
// wired to its menu item or button already; until its part exists it does
// nothing, or the least that keeps the program usable.
#include "ui/MainForm.h"

#include "core/SupportMail.h"
#include "platform/Locale.h"
#include "platform/Shell.h"
#include "ui/ClipboardViewer.h"
#include "ui/HelpWindow.h"

#include <QAction>
#include <QPointer>

void TMainForm::Preferences1Click(QObject*) {}
// Created on first use and kept with the main window.
void TMainForm::Help1Click(QObject*)
{
    static QPointer<HelpWindow> help;
    if (!help)
        help = new HelpWindow(this);
    help->present();
}
void TMainForm::AboutMenuClick(QObject*) {}
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

// Start-up steps of the agreement and splash windows.
void TMainForm::ShowAgreementIfNeeded() {}
void TMainForm::ShowStartupSplash() {}

// Window placement.
void TMainForm::ReadPlacement() {}
void TMainForm::WritePlacement() {}
