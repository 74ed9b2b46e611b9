// The remote window's buttons: their two presentations, their tooltips and
// their clicks, which all act through the main window.
#include "ui/RemoteWindow.h"

#include "ui/MainWindow.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QToolButton>

#include <algorithm>

QToolButton* TRemoteForm::ToolBtn(int slot) const
{
    return m_slotButtons[(slot == 2 || slot == 3) ? slot - 1 : 0];
}

// A check button shows down through its checked state, a push button through
// its pressed state.
void TRemoteForm::SetButtonDown(QToolButton* button, bool down)
{
    if (button->isCheckable()) {
        button->setDown(false);
        button->setChecked(down);
    } else {
        button->setDown(down);
    }
}

bool TRemoteForm::IsDown(int slot) const
{
    const QToolButton* button = ToolBtn(slot);
    return button->isChecked() || button->isDown();
}

bool TRemoteForm::AreCheckButtons() const
{
    return m_slotButtons[0]->isCheckable();
}

void TRemoteForm::MakeCheckButtons(bool check)
{
    for (int slot = 1; slot <= 3; ++slot) {
        QToolButton* button = ToolBtn(slot);
        const bool down = IsDown(slot);
        button->setChecked(false);
        button->setDown(false);
        button->setCheckable(check);
        SetButtonDown(button, down);
    }
}

void TRemoteForm::SetAuto(bool on)
{
    m_remoteAuto = on;
}

void TRemoteForm::SetDown(int slot)
{
    const int chosen = (slot == 2 || slot == 3) ? slot : 1;
    for (int n = 1; n <= 3; ++n)
        SetButtonDown(ToolBtn(n), n == chosen);
}

void TRemoteForm::AllUp()
{
    for (int n = 1; n <= 3; ++n)
        SetButtonDown(ToolBtn(n), false);
}

void TRemoteForm::RSetHints()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText()) {
        for (QToolButton* button : m_slotButtons)
            button->setToolTip(QStringLiteral("No text in the Clipboard"));
        return;
    }
    const QString prefix = m_main.IsAutoOn() ? QStringLiteral("Switch Auto Clipstow to ")
                                             : QStringLiteral("Clipstow to ");
    for (int slot = 1; slot <= 3; ++slot)
        ToolBtn(slot)->setToolTip(prefix + m_main.FilenamePanel(slot)->text());
}

void TRemoteForm::ToolBtn1Click(QObject* sender)
{
    int slot = 1;
    if (sender != nullptr && sender == m_slotButtons[1])
        slot = 2;
    else if (sender != nullptr && sender == m_slotButtons[2])
        slot = 3;

    if (m_main.IsAutoOn()) {
        // Choose where the automatic captures go; nothing is captured now.
        SetDown(slot);
        QCoreApplication::processEvents(); // repaint the buttons at once
        m_main.SetActivePage(slot);
        m_main.SetHints();
    } else {
        // Capture into the slot; the capture releases the buttons at its end.
        m_main.SetActivePage(slot);
        m_main.PasteButtonClick(sender);
    }
}

void TRemoteForm::AutoToolBtnClick(QObject*)
{
    QToolButton* autoButton = m_main.Button(QStringLiteral("AutoButton"));
    autoButton->setChecked(!autoButton->isChecked());
    m_main.AutoButtonClick(m_autoToolBtn);
}
