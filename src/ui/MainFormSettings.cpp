// Start-up and shutdown of the main window: what is read from the settings
// when it is created and written back when it closes.
#include "ui/MainForm.h"

#include "platform/NotifyAreaIcon.h"
#include "platform/Shell.h"
#include "platform/SlotEditor.h"
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "ui/Icons.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>

namespace {

// A stored family that is not installed would be replaced by some small
// fallback: the editors take the desktop's general font at its size
// instead, keeping only the stored style.
QFont InstalledEditorFont(const QFont& stored)
{
    if (QFontDatabase::hasFamily(stored.family()))
        return stored;
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setBold(stored.bold());
    font.setItalic(stored.italic());
    font.setUnderline(stored.underline());
    font.setStrikeOut(stored.strikeOut());
    return font;
}

} // namespace

void TMainForm::FormCreate()
{
    ShowAgreementIfNeeded();

    // The clipboard viewer, where the platform has one.
    Item(QStringLiteral("ClipbrdMenu"))->setVisible(Shell::hasClipboardViewer());

    ShowStartupSplash();
    // The tray menu (from the tray icon and the remote window's toolbar) may
    // open from now on, after the agreement and the splash window.
    m_trayMenuAllowed = true;
    NotifyAreaIcon::setAutoPopup(m_trayMenu, true);
    QApplication::setWindowIcon(Icons::programIcon());

    const QString program = QCoreApplication::applicationFilePath();
    Layout::Path.write(program);
    HookClipboard();
    if (Layout::RunEntry.exists())
        Layout::RunEntry.write(program);

    RestoreSettings();
}

void TMainForm::RestoreSettings()
{
    ReadPlacement();

    for (int slot = 1; slot <= 3; ++slot)
        FilenamePanel(slot)->setText(Layout::slotFilename(slot).read());

    for (int slot = 1; slot <= 3; ++slot) {
        FontRecord record = m_editorFonts[slot - 1];
        record.font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        Layout::readFont(record);
        record.font = InstalledEditorFont(record.font);
        ApplyEditorFont(slot, record);
    }

    Item(QStringLiteral("ToolbarMenu"))->setChecked(Layout::Toolbar.read());
    Item(QStringLiteral("StatusBarMenu"))->setChecked(Layout::StatusBar.read());
    m_confirmClr = Layout::ConfirmClr.read();
    m_dateStyle = Layout::DateStyle.read();

    // Putting the button down here does not run its click handler.
    const bool autoOn = Layout::decodeAutoOn(Layout::AutoOn.read(), Layout::Auto.read());
    Button(QStringLiteral("AutoButton"))->setChecked(autoOn);
    SetHints();

    const int active = Layout::decodeActiveFile(Layout::ActiveFile.read());
    QCoreApplication::processEvents();
    SetActivePage(active);
    QCoreApplication::processEvents();

    // Every slot is read now, so that no later write can put a buffer that
    // never saw its file's text over that file.
    LoadSlotsAtStart();
    m_started = true;

    ApplyViewMarks();

    if (IsAutoOn()) {
        Item(QStringLiteral("AutoMenu"))->setChecked(true);
        Item(QStringLiteral("AutoMenu2"))->setChecked(true);
        SetHints();
    }
}

void TMainForm::FormClose()
{
    RemoveTrayIcon();
    QCoreApplication::processEvents();
    SaveSettings();
    // The clipboard monitor leaves with the window.
    FreeClipboardMonitor();
}

void TMainForm::SaveSettings()
{
    WritePlacement();
    for (int slot = 1; slot <= 3; ++slot)
        Layout::slotFilename(slot).write(FilenamePanel(slot)->text());
    Layout::writeFont(m_editorFonts[ActiveSlot() - 1]);
    Layout::Toolbar.write(Item(QStringLiteral("ToolbarMenu"))->isChecked());
    Layout::StatusBar.write(Item(QStringLiteral("StatusBarMenu"))->isChecked());
    Layout::Auto.write(IsAutoOn());
    Layout::ShowRemote.write(RemoteVisible());
    Layout::ActiveFile.write(ActiveSlot());
}
