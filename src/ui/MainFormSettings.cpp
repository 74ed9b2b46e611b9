// Start-up and shutdown of the main window: what is read from the settings
// when it is created and written back when it closes.
#include "ui/MainForm.h"

#include "app/ErrorReporter.h"
#include "platform/NotifyAreaIcon.h"
#include "platform/Shell.h"
#include "platform/SlotEditor.h"
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "ui/Icons.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>

// A setting that cannot be read (stored with the wrong type) or written is
// shown in the error box, and start-up and shutdown go on with its default.
using ErrorReporter::readOrDefault;
using ErrorReporter::reportFailures;

void TMainForm::FormCreate()
{
    // One batch for all of start-up's settings: a store another process
    // holds locked costs one short wait.
    const SettingsBatch batch;
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
    reportFailures([&] { Layout::Path.write(program); });
    HookClipboard();
    reportFailures([&] {
        if (Layout::RunEntry.exists())
            Layout::RunEntry.write(program);
    });

    RestoreSettings();
}

void TMainForm::RestoreSettings()
{
    reportFailures([this] { ReadPlacement(); });

    for (int slot = 1; slot <= 3; ++slot)
        FilenamePanel(slot)->setText(readOrDefault(Layout::slotFilename(slot)));

    // A font value of the wrong type is told once, and the editors keep
    // their own font.
    bool fontReadable = true;
    for (int slot = 1; slot <= 3; ++slot) {
        FontRecord record = m_editorFonts[slot - 1];
        record.font = Editor(slot)->font();
        try {
            if (fontReadable)
                Layout::readFont(record);
        } catch (const std::exception& failure) {
            ErrorReporter::showFailure(failure);
            fontReadable = false;
        }
        ApplyEditorFont(slot, record);
    }

    Item(QStringLiteral("ToolbarMenu"))->setChecked(readOrDefault(Layout::Toolbar));
    Item(QStringLiteral("StatusBarMenu"))->setChecked(readOrDefault(Layout::StatusBar));
    m_confirmClr = readOrDefault(Layout::ConfirmClr);
    m_dateStyle = readOrDefault(Layout::DateStyle);

    // Putting the button down here does not run its click handler.
    const bool autoOn =
        Layout::decodeAutoOn(readOrDefault(Layout::AutoOn), readOrDefault(Layout::Auto));
    Button(QStringLiteral("AutoButton"))->setChecked(autoOn);
    SetHints();

    const int active = Layout::decodeActiveFile(readOrDefault(Layout::ActiveFile));
    QCoreApplication::processEvents();
    m_pageControl->setCurrentIndex(active - 1);
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
    {
        const SettingsBatch batch;
        SaveSettings();
    }
    const QString notSaved = TakeSettingsNotSavedMessage();
    if (!notSaved.isEmpty())
        ErrorReporter::show(notSaved);
    // The clipboard monitor leaves with the window.
    FreeClipboardMonitor();
}

void TMainForm::SaveSettings()
{
    // Each value is written on its own: one that cannot be written is shown
    // and the rest are still saved.
    reportFailures([this] { WritePlacement(); });
    for (int slot = 1; slot <= 3; ++slot)
        reportFailures([&] { Layout::slotFilename(slot).write(FilenamePanel(slot)->text()); });
    reportFailures([this] { Layout::writeFont(m_editorFonts[ActiveSlot() - 1]); });
    reportFailures(
        [this] { Layout::Toolbar.write(Item(QStringLiteral("ToolbarMenu"))->isChecked()); });
    reportFailures(
        [this] { Layout::StatusBar.write(Item(QStringLiteral("StatusBarMenu"))->isChecked()); });
    reportFailures([this] { Layout::Auto.write(IsAutoOn()); });
    reportFailures([this] { Layout::ShowRemote.write(RemoteVisible()); });
    reportFailures([this] { Layout::ActiveFile.write(ActiveSlot()); });
}
