// The remote window's buttons: their two presentations, their tooltips and
// their clicks, which act through the collector.
#include "ui/RemoteWindow.h"

#include <QGuiApplication>
#include <QToolButton>

// A check button shows down through its checked state, a push button through
// its pressed state.
void RemoteWindow::setButtonDown(QToolButton* button, bool down)
{
    // The button the user is pressing keeps its state until the release:
    // the window's activation, which may arrive between press and release,
    // would otherwise cancel the press and lose the click.
    if (button->isDown() && button->underMouse() &&
        (QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    if (button->isCheckable()) {
        button->setDown(false);
        button->setChecked(down);
    } else {
        button->setDown(down);
    }
}

bool RemoteWindow::isDown(SlotNumber slot) const
{
    const QToolButton* button = slotButton(slot);
    return button->isChecked() || button->isDown();
}

bool RemoteWindow::areCheckButtons() const
{
    return m_slotButtons[0]->isCheckable();
}

void RemoteWindow::makeCheckButtons(bool check)
{
    for (SlotNumber slot : SlotNumber::all()) {
        QToolButton* button = slotButton(slot);
        const bool down = isDown(slot);
        button->setChecked(false);
        button->setDown(false);
        button->setCheckable(check);
        setButtonDown(button, down);
    }
}

void RemoteWindow::setDown(SlotNumber chosen)
{
    for (SlotNumber slot : SlotNumber::all())
        setButtonDown(slotButton(slot), slot == chosen);
}

void RemoteWindow::allUp()
{
    for (QToolButton* button : m_slotButtons)
        setButtonDown(button, false);
}

void RemoteWindow::showHints()
{
    for (SlotNumber slot : SlotNumber::all())
        slotButton(slot)->setToolTip(m_collector.slotButtonHint(slot));
}

bool RemoteWindow::slotButtonsFollow(Collector::Source source)
{
    using Source = Collector::Source;
    return source == Source::Toolbar || source == Source::RemoteToggle ||
           source == Source::TextEditorCommand;
}

// The auto switch's name for screen readers says its state.
void RemoteWindow::showAutoState(bool on)
{
    m_autoButton->setAccessibleName(on ? tr("Auto Clipstow: on") : tr("Auto Clipstow: off"));
}

// The toolbar's switch, this window's toggle and the text-editor command
// bring the presentation matching the new state, with the active slot's
// button down when auto mode is on; the menu items change the toggle only.
void RemoteWindow::onAutoModeChanged(bool on, Collector::Source source)
{
    m_autoButton->setChecked(on);
    showAutoState(on);
    if (!slotButtonsFollow(source))
        return;
    m_remoteAuto = on;
    makeCheckButtons(on);
    if (on)
        setDown(m_collector.activeSlot());
    else
        allUp();
}
