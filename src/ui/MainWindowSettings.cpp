// What the main window keeps between runs: its place, the editors' font,
// the toolbar and status bar, read once before it first shows and written
// back when the program ends.
#include "ui/MainWindow.h"

#include "core/Collector.h"
#include "settings/Settings.h"
#include "ui/CommandHandlers.h"
#include "ui/RemoteWindow.h"
#include "ui/WindowPlacement.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStatusBar>
#include <QToolBar>

namespace {

// A stored family that is not installed would be replaced by some small
// fallback: the editors take the desktop's general font at its size
// instead, keeping only the stored style.
QFont installedEditorFont(const QFont& stored)
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

void MainWindow::restoreView()
{
    readPlacement();

    // A font value that cannot be read leaves the editors the desktop's
    // general font.
    for (SlotNumber slot : SlotNumber::all()) {
        FontRecord defaults = m_editorFonts[slot.index()];
        defaults.font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        FontRecord record = settings().editorFont(defaults);
        record.font = installedEditorFont(record.font);
        applyEditorFont(slot, record);
    }

    m_commands.toolbar->setChecked(settings().toolbarShown());
    m_commands.statusBar->setChecked(settings().statusBarShown());
    m_handlers->readConfirmClear();
    applyViewMarks();
}

// Each value is written on its own: one that cannot be written is reported
// and the rest are still saved.
void MainWindow::saveSettings()
{
    writePlacement();
    m_collector.saveSettings();
    settings().setEditorFont(m_editorFonts[m_collector.activeSlot().index()]);
    settings().setToolbarShown(m_commands.toolbar->isChecked());
    settings().setStatusBarShown(m_commands.statusBar->isChecked());
    settings().setRemoteWasShown(remoteVisible());
}

// Until the remote window exists the remembered choice stays as it is.
bool MainWindow::remoteVisible() const
{
    return m_remote ? m_remote->isVisible() : settings().remoteWasShown();
}

// The main window's place is read once before it is first shown and written
// once as the program ends, also when it is hidden then.
void MainWindow::readPlacement()
{
    placement().read();
}

void MainWindow::writePlacement()
{
    placement().write();
}

WindowPlacement& MainWindow::placement()
{
    if (!m_placement)
        m_placement = std::make_unique<WindowPlacement>(*this, settings(), Placement::Window::Main,
                                                        WindowPlacement::Mode::Explicit, true);
    return *m_placement;
}

// The check marks as start-up left them: a view that is off is hidden and
// disabled.
void MainWindow::applyViewMarks()
{
    if (!m_commands.toolbar->isChecked()) {
        m_toolBar->setEnabled(false);
        m_toolBar->setVisible(false);
        m_toolBarRule->setVisible(false);
    }
    if (!m_commands.statusBar->isChecked()) {
        statusBar()->setEnabled(false);
        statusBar()->setVisible(false);
    }
}

void MainWindow::applyEditorFont(SlotNumber slot, const FontRecord& record)
{
    SlotEditor* slotEditor = editor(slot);
    m_editorFonts[slot.index()] = record;
    slotEditor->setFont(record.font);
    QPalette palette = slotEditor->palette();
    palette.setColor(QPalette::Text, record.resolvedColor(QApplication::palette(slotEditor)));
    slotEditor->setPalette(palette);
}

// The dialog's font goes to all three editors; each keeps its colour.
void MainWindow::setEditorsFont(const QFont& font)
{
    for (SlotNumber slot : SlotNumber::all()) {
        FontRecord record = m_editorFonts[slot.index()];
        record.font = font;
        applyEditorFont(slot, record);
    }
}
