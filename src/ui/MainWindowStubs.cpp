// Commands and calls whose windows and services are still to come. Each is
// wired to its menu item or button already; until its part exists it does
// nothing, or the least that keeps the program usable.
#include "ui/MainWindow.h"

void TMainForm::Preferences1Click(QObject*) {}
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
