// The capture and the switches of auto mode.
#include "ui/MainForm.h"

#include "core/Capture.h"
#include "core/SaveSound.h"
#include "core/StampLine.h"
#include "platform/SlotEditor.h"

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
    const bool automatic = sender != nullptr && sender == m_clipboardMonitor;
    // Nothing is captured before start-up has read the slot files.
    const bool proceed = !automatic || (IsAutoOn() && m_started);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (proceed && data && data->hasText()) {
        const int slot = ActiveSlot();
        // The file's current text first, so the block goes after it.
        RefreshSlotBeforeWrite(slot);
        const QString fileName = FilenamePanel(slot)->text();
        CaptureIntoSlot(
            *Editor(slot), StampDateTime(), [this, slot, fileName] { WriteSlot(slot, fileName); },
            [this] { IndicateSave(); });
    }
    if (!IsAutoOn())
        AllUp();
}

void TMainForm::ClipboardChange(QObject* sender)
{
    PasteButtonClick(sender);
}

// The button has already changed its state; the menu mark still shows the
// state before the click.
void TMainForm::AutoButtonClick(QObject*)
{
    const bool switchOn = !Item(QStringLiteral("AutoMenu"))->isChecked();
    Item(QStringLiteral("AutoMenu"))->setChecked(switchOn);
    Item(QStringLiteral("AutoMenu2"))->setChecked(switchOn);
    SetAuto(switchOn);
    if (switchOn)
        SetDown(ActiveSlot());
    else
        AllUp();
    SetHints();
}

void TMainForm::AutoMenuClick(QObject*)
{
    const bool on = !Item(QStringLiteral("AutoMenu"))->isChecked();
    Item(QStringLiteral("AutoMenu"))->setChecked(on);
    Item(QStringLiteral("AutoMenu2"))->setChecked(on);
    Button(QStringLiteral("AutoButton"))->setChecked(on);
    SetHints();
}

void TMainForm::IndicateSave()
{
    ::IndicateSave();
}
