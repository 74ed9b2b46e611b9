// The capture and the switches of auto mode.
#include "ui/MainForm.h"

#include "core/Capture.h"
#include "core/EditorLaunch.h"
#include "core/StampLine.h"
#include "platform/ClipboardMonitor.h"
#include "platform/ClipboardSecrets.h"
#include "platform/Shell.h"
#include "platform/SlotEditor.h"
#include "settings/RegistryLayout.h"
#include "ui/RemoteForm.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QToolButton>

bool TMainForm::IsAutoOn() const
{
    return Button(QStringLiteral("AutoButton"))->isChecked();
}

QString TMainForm::StampDateTime() const
{
    return BuildStampLine(m_dateStyle, QDateTime::currentDateTime(), RegionalSettings::system());
}

void TMainForm::PasteButtonClick(QObject* sender)
{
    const bool automatic = sender != nullptr && sender == m_monitor.get();
    // Nothing is captured before start-up has read the slot files.
    const bool proceed = !automatic || (IsAutoOn() && m_started);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (proceed && data && data->hasText() && ClipboardSecrets::isSecret(data)) {
        // Text its owner marked as not to be kept (a password) is never
        // collected; only a capture the user asked for says so.
        if (!automatic)
            SetStatusText(QStringLiteral("Secret text on the Clipboard was not captured"));
    } else if (proceed && data && data->hasText()) {
        // The file's current text is read first when it changed on disk, so
        // the block goes after it. The user's own command asks what to keep
        // of unsaved text that text would replace (the window's menu item
        // and toolbar button); a capture nobody asked for (auto mode, the
        // remote window, the tray icon and its menu) sets it aside.
        const int slot = ActiveSlot();
        const bool asked = sender != nullptr && (sender == Item(QStringLiteral("MenuItem1")) ||
                                                 sender == Button(QStringLiteral("PasteButton")));
        if (asked && !SettleSlotFile(slot))
            return;
        const QString aside = CaptureIntoSlot(*Editor(slot), StampDateTime(), m_slotFiles[slot - 1],
                                              FilenamePanel(slot)->text());
        if (!aside.isEmpty())
            SetStatusText(QStringLiteral("Unsaved text of the slot kept in ") + aside);
    }
    if (!IsAutoOn())
        AllUp();
}

void TMainForm::ClipboardChange(QObject* sender)
{
    PasteButtonClick(sender);
}

// The button has already changed its state; the menu mark still shows the
// state before the click. The remote window's auto button, when it is the
// sender, has changed its own state too and is left alone.
void TMainForm::AutoButtonClick(QObject* sender)
{
    const bool switchOn = !Item(QStringLiteral("AutoMenu"))->isChecked();
    Item(QStringLiteral("AutoMenu"))->setChecked(switchOn);
    Item(QStringLiteral("AutoMenu2"))->setChecked(switchOn);
    if (m_remote) {
        if (sender == nullptr || sender != m_remote->AutoToolBtn())
            m_remote->AutoToolBtn()->setChecked(switchOn);
        m_remote->SetAuto(switchOn);
        m_remote->MakeCheckButtons(switchOn);
        if (switchOn)
            // Holds the active slot's button down and refreshes the hints;
            // with auto mode on it captures nothing.
            m_remote->ToolBtn1Click(m_remote->ToolBtn(ActiveSlot()));
        else
            m_remote->AllUp();
    }
    SetHints();
}

// The menu items switch auto mode alone: the remote window's slot buttons
// keep their presentation until the toolbar or remote toggle is used.
void TMainForm::AutoMenuClick(QObject*)
{
    const bool on = !Item(QStringLiteral("AutoMenu"))->isChecked();
    Item(QStringLiteral("AutoMenu"))->setChecked(on);
    Item(QStringLiteral("AutoMenu2"))->setChecked(on);
    Button(QStringLiteral("AutoButton"))->setChecked(on);
    if (m_remote)
        m_remote->AutoToolBtn()->setChecked(on);
    SetHints();
}

// Auto mode would keep appending to the slot's file while it is open in the
// text editor, so it is switched off first when the user asked for that.
// The slot is saved through the Save command; a failed write raises and
// nothing is launched. A program that cannot be started says so in the
// status bar, where the user looks after the click.
void TMainForm::EditButtonClick(QObject*)
{
    if (Layout::AutoOff.read() && IsAutoOn()) {
        Button(QStringLiteral("AutoButton"))->setChecked(false);
        AutoButtonClick(Button(QStringLiteral("EditButton")));
    }
    const EditorLaunch::Plan plan = EditorLaunch::planFromSettings(GetFilename());
    if (!SaveActiveSlot())
        return;
    const QString failure = EditorLaunch::run(plan, Shell::launcher());
    if (!failure.isEmpty())
        SetStatusText(failure);
}
