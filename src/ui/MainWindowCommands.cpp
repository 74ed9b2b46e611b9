// The handlers of the window's own commands: the slot file commands,
// editing, view toggles, font, find, print and clearing the clipboard; and
// the modal dialogs they ask.
#include "ui/MainWindow.h"

#include "base/AppError.h"
#include "base/Locale.h"
#include "core/Collector.h"
#include "core/EditorLaunch.h"
#include "core/ErrorReporter.h"
#include "core/SupportMail.h"
#include "platform/Autostart.h"
#include "platform/Shell.h"
#include "settings/Settings.h"
#include "ui/ClipboardViewer.h"
#include "ui/HelpWindow.h"
#include "ui/PreferencesDialog.h"
#include "ui/SlotPage.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFontDialog>
#include <QFrame>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>

namespace {

bool askConfirm(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton,
                    parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<QString> askSaveFile(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QFont> askFont(QWidget* parent, const QFont& initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return font;
}

std::optional<SlotFileSync::Settle> askChangedFile(QWidget* parent, const QString& fileName)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Clipstow"),
                    fileName +
                        QStringLiteral(" was changed by another program, and this slot holds "
                                       "changes not yet saved.\n\n"
                                       "Keep Both: the file's new text, then this slot's.\n"
                                       "Reload File: the file's text; this slot's changes are "
                                       "dropped."),
                    QMessageBox::NoButton, parent);
    QPushButton* both = box.addButton(QStringLiteral("&Keep Both"), QMessageBox::AcceptRole);
    QPushButton* reload =
        box.addButton(QStringLiteral("&Reload File"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(both);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == both)
        return SlotFileSync::Settle::KeepBoth;
    if (box.clickedButton() == reload)
        return SlotFileSync::Settle::FileOnly;
    return std::nullopt;
}

std::optional<bool> askSaveChanges(QWidget* parent, const QString& slotName,
                                   const QString& fileName)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Clipstow"),
                    QStringLiteral("The slot \"") + slotName +
                        QStringLiteral("\" holds changes not yet saved in ") + fileName +
                        QStringLiteral(".\n\nSave them before Clipstow ends?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    if (answer == QMessageBox::Save)
        return true;
    if (answer == QMessageBox::Discard)
        return false;
    return std::nullopt;
}

bool askPrint(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

MainWindow::Dialogs MainWindow::defaultDialogs()
{
    return Dialogs{askConfirm, askSaveFile, askFont, askPrint, askChangedFile, askSaveChanges};
}

void MainWindow::setDialogs(Dialogs dialogs)
{
    const Dialogs defaults = defaultDialogs();
    m_dialogs = std::move(dialogs);
    // A question left unset asks with the real dialog.
    const auto fill = [](auto& question, const auto& real) {
        if (!question)
            question = real;
    };
    fill(m_dialogs.confirm, defaults.confirm);
    fill(m_dialogs.saveFile, defaults.saveFile);
    fill(m_dialogs.font, defaults.font);
    fill(m_dialogs.print, defaults.print);
    fill(m_dialogs.changedFile, defaults.changedFile);
    fill(m_dialogs.saveChanges, defaults.saveChanges);
}

bool MainWindow::settleUnsavedSlots()
{
    for (SlotNumber slot : SlotNumber::all()) {
        // Ended meanwhile, without questions.
        if (m_noQuestions)
            return false;
        if (!m_collector.hasUnsavedText(slot))
            continue;
        const std::optional<bool> save =
            m_dialogs.saveChanges(this, m_tabs->tabText(slot.index()), m_collector.fileName(slot));
        if (!save)
            return false;
        if (!*save)
            continue;
        bool saved = false;
        errors().reportFailures([&] { saved = m_collector.saveSlot(slot); });
        if (!saved)
            return false;
    }
    return true;
}

// An existing file becomes the slot's file only once it has been read, so a
// file that cannot be read never gets the previous slot text written over it.
void MainWindow::chooseSlotFile()
{
    const std::optional<QString> chosen = m_dialogs.saveFile(saveDialog());
    if (!chosen)
        return;
    saveDialog().selectFile(*chosen);
    m_collector.chooseFile(m_collector.activeSlot(), *chosen);
}

bool MainWindow::saveActiveSlot()
{
    return m_collector.saveSlot(m_collector.activeSlot());
}

void MainWindow::saveActiveSlotAs()
{
    const std::optional<QString> chosen = m_dialogs.saveFile(saveDialog());
    if (!chosen)
        return;
    saveDialog().selectFile(*chosen);
    // The copy has the file's new text too.
    const SlotNumber slot = m_collector.activeSlot();
    if (!m_collector.settleSlot(slot))
        return;
    m_collector.saveSlotAs(slot, *chosen + QStringLiteral(".txt"));
}

void MainWindow::clearActiveSlot()
{
    if (!activeSlotEditable())
        return;
    const QString fileName = m_collector.activeFileName();
    if (m_confirmClear &&
        !m_dialogs.confirm(this, QStringLiteral("Clear \r\n") + fileName + QStringLiteral(" ?")))
        return;
    // Text another program added since the slot read the file would go
    // unseen: clearing it is asked for on its own.
    if (m_collector.fileChangedOnDisk(m_collector.activeSlot()) &&
        !m_dialogs.confirm(this, fileName + QStringLiteral(" was changed by another program since "
                                                           "it was read.\r\nClear it anyway?")))
        return;
    m_collector.clearSlot(m_collector.activeSlot());
}

void MainWindow::clearClipboard()
{
    if (m_confirmClear && !m_dialogs.confirm(this, QStringLiteral("Clear the Clipboard ?")))
        return;
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

// Auto mode would keep appending to the slot's file while it is open in the
// text editor, so it is switched off first when the user asked for that.
// The slot is saved as by the Save command; a failed write raises and
// nothing is launched. A program that cannot be started says so in the
// status bar, where the user looks after the click.
void MainWindow::editInTextEditor()
{
    if (settings().autoOff() && m_collector.autoMode())
        m_collector.setAutoMode(false, Collector::Source::TextEditorCommand);
    const EditorLaunch::Plan plan =
        EditorLaunch::planFromSettings(settings(), m_collector.activeFileName());
    if (!saveActiveSlot())
        return;
    const QString failure = EditorLaunch::run(plan, Shell::launcher());
    if (!failure.isEmpty())
        setStatusText(failure);
}

void MainWindow::showHelp()
{
    if (!m_help)
        m_help = new HelpWindow(settings(), errors(), this);
    m_help->present();
}

// The program's own viewer; a platform without one hides the item for good.
void MainWindow::showClipboardViewer()
{
    if (!Shell::hasClipboardViewer()) {
        m_commands.clipboardViewer->setEnabled(false);
        m_commands.clipboardViewer->setVisible(false);
        return;
    }
    ClipboardMonitor* monitor = m_collector.clipboardMonitor();
    if (!monitor)
        return;
    if (!m_viewer)
        m_viewer = new ClipboardViewer(*monitor, this);
    m_viewer->present();
}

void MainWindow::sendSupportMail()
{
    Shell::open(SupportMail::link(SupportMail::address(), SupportMail::buildDate(),
                                  RegionalSettings::system()));
}

void MainWindow::showPreferences()
{
    const std::unique_ptr<Autostart> autostart = createSystemAutostart();
    {
        PreferencesDialog dialog(settings(), *autostart, m_collector.saveSound(),
                                 QCoreApplication::applicationFilePath(), this);
        dialog.exec();
    }
    // Read again after every close, so that a change made meanwhile by
    // another program is seen too.
    m_confirmClear = settings().confirmClear();
    m_collector.readDateStyle();
}

bool MainWindow::activeSlotEditable()
{
    if (!m_collector.showsFileEnd(m_collector.activeSlot()))
        return true;
    setStatusText(SlotPage::fileEndNote());
    return false;
}

void MainWindow::onEditorChanged()
{
    m_commands.undo->setEnabled(activeEditor()->isModified());
}

void MainWindow::setToolbarShown(bool shown)
{
    m_commands.toolbar->setChecked(shown);
    m_toolBarBevel->setVisible(shown);
    m_toolBar->setEnabled(shown);
    m_toolBar->setVisible(shown);
}

void MainWindow::setStatusBarShown(bool shown)
{
    m_commands.statusBar->setChecked(shown);
    // Start-up disables a bar it hides; shown again, its text is not grey.
    statusBar()->setEnabled(shown);
    statusBar()->setVisible(shown);
}

// The check marks as start-up left them: a view that is off is hidden and
// disabled.
void MainWindow::applyViewMarks()
{
    if (!m_commands.toolbar->isChecked()) {
        m_toolBar->setEnabled(false);
        m_toolBar->setVisible(false);
        m_toolBarBevel->setVisible(false);
    }
    if (!m_commands.statusBar->isChecked()) {
        statusBar()->setEnabled(false);
        statusBar()->setVisible(false);
    }
}

// The dialog starts from the font last confirmed in it, not from the
// editors' font; a confirmed font goes to all three editors.
void MainWindow::chooseFont()
{
    const std::optional<QFont> chosen = m_dialogs.font(this, m_fontDialogFont);
    if (!chosen)
        return;
    m_fontDialogFont = *chosen;
    for (SlotNumber slot : SlotNumber::all()) {
        FontRecord record = m_editorFonts[slot.index()];
        record.font = *chosen;
        applyEditorFont(slot, record);
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

void MainWindow::findInSlot()
{
    SlotEditor* slotEditor = activeEditor();
    slotEditor->openFindDialog(slotEditor->selectedText());
}

void MainWindow::findNextInSlot()
{
    SlotEditor* slotEditor = activeEditor();
    if (!slotEditor->repeatFind())
        QApplication::beep();
    if (slotEditor->isVisible() && slotEditor->isEnabled() && isVisible() && isEnabled())
        slotEditor->setFocus(Qt::OtherFocusReason);
}

void MainWindow::printSlot()
{
    QPrinter printer;
    if (!m_dialogs.print(this, printer))
        return;
    activeEditor()->printText(Collector::fileNamePart(m_collector.activeFileName()), printer);
}
