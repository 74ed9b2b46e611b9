// The handlers of the main window's commands: the slot file commands,
// editing, find, print, font, clearing the clipboard, the program's other
// windows and dialogs; the modal questions they ask; and settling the
// unsaved slots before the program ends.
#include "ui/CommandHandlers.h"

#include "base/Locale.h"
#include "core/Collector.h"
#include "core/EditorLaunch.h"
#include "core/ErrorReporter.h"
#include "core/SupportMail.h"
#include "platform/Autostart.h"
#include "platform/Shell.h"
#include "settings/Settings.h"
#include "ui/ClipboardViewer.h"
#include "ui/Commands.h"
#include "ui/HelpWindow.h"
#include "ui/MainWindow.h"
#include "ui/PreferencesDialog.h"
#include "ui/SlotPage.h"
#include "ui/SplashWindow.h"
#include "ui/WindowFont.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {

bool askConfirm(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question,
                    QCoreApplication::translate("CommandHandlers", "Confirm"), text,
                    QMessageBox::NoButton, parent);
    QPushButton* yes =
        box.addButton(QCoreApplication::translate("CommandHandlers", "&Yes"), QMessageBox::YesRole);
    QPushButton* no =
        box.addButton(QCoreApplication::translate("CommandHandlers", "&No"), QMessageBox::NoRole);
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
                    //: %1 is the slot's file
                    QCoreApplication::translate(
                        "CommandHandlers", "%1 was changed by another program, and this slot holds "
                                           "changes not yet saved.\n\n"
                                           "Keep Both: the file's new text, then this slot's.\n"
                                           "Reload File: the file's text; this slot's changes are "
                                           "dropped.")
                        .arg(fileName),
                    QMessageBox::NoButton, parent);
    QPushButton* both = box.addButton(QCoreApplication::translate("CommandHandlers", "&Keep Both"),
                                      QMessageBox::AcceptRole);
    QPushButton* reload =
        box.addButton(QCoreApplication::translate("CommandHandlers", "&Reload File"),
                      QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QCoreApplication::translate("CommandHandlers", "Cancel"),
                                        QMessageBox::RejectRole);
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
    //: %1 is the slot's name (First, Second, Third), %2 its file
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Clipstow"),
                    QCoreApplication::translate("CommandHandlers",
                                                "The slot \"%1\" holds changes not yet saved "
                                                "in %2.\n\nSave them before Clipstow ends?")
                        .arg(slotName, fileName),
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

CommandHandlers::CommandHandlers(MainWindow& window, Collector& collector, const Commands& commands)
    : m_window(window), m_collector(collector), m_commands(commands), m_dialogs(defaultDialogs()),
      m_fontDialogFont(windowFont())
{
    connectCommands();
    connect(&settings(), &Settings::changed, this, [this](Settings::Value value) {
        if (value == Settings::Value::ConfirmClear)
            readConfirmClear();
    });
    m_collector.setChangedFileQuestion(
        [this](const QString& fileName) { return m_dialogs.changedFile(&m_window, fileName); });
}

CommandHandlers::~CommandHandlers()
{
    m_collector.setChangedFileQuestion({});
}

Settings& CommandHandlers::settings() const
{
    return m_collector.settings();
}

ErrorReporter& CommandHandlers::errors() const
{
    return m_collector.errors();
}

void CommandHandlers::readConfirmClear()
{
    m_confirmClear = settings().confirmClear();
}

void CommandHandlers::connectCommands()
{
    using Source = Collector::Source;
    const Commands& c = m_commands;
    Collector& collector = m_collector;
    ErrorReporter& errors = this->errors();

    connectCommand(errors, c.capture, this, [&collector] {
        collector.captureInto(collector.activeSlot(), Collector::Trigger::User);
    });
    connectCommand(errors, c.editInTextEditor, this, [this] { editInTextEditor(); });
    connectCommand(errors, c.save, this, [this] { saveActiveSlot(); });
    connectCommand(errors, c.saveAs, this, [this] { saveActiveSlotAs(); });
    connectCommand(errors, c.print, this, [this] { printSlot(); });
    connectCommand(errors, c.exit, this, [this] { m_window.close(); });
    connectCommand(errors, c.hideWindow, this, [this] { m_window.hideWindow(); });
    connectCommand(errors, c.showRemote, this, [this] { m_window.showRemoteWindow(); });
    connectCommand(errors, c.toolbar, this,
                   [this](bool checked) { m_window.setToolbarShown(checked); });
    connectCommand(errors, c.statusBar, this,
                   [this](bool checked) { m_window.setStatusBarShown(checked); });
    connectCommand(errors, c.font, this, [this] { chooseFont(); });
    connectCommand(errors, c.preferences, this, [this] { showPreferences(); });
    connectCommand(errors, c.about, this, [] { SplashWindow::run(SplashWindow::Mode::About); });
    connectCommand(errors, c.help, this, [this] { showHelp(); });
    connectCommand(errors, c.support, this, [this] { sendSupportMail(); });
    // A program built without a support address offers no mail to it.
    c.support->setVisible(!SupportMail::address().isEmpty());
    connectCommand(errors, c.clipboardViewer, this, [this] { showClipboardViewer(); });
    // The menu items switch auto mode alone: the remote window's slot
    // buttons keep their presentation.
    connectCommand(errors, c.autoMode, this,
                   [&collector] { collector.setAutoMode(!collector.autoMode(), Source::Menu); });
    connectCommand(errors, c.autoSwitch, this,
                   [&collector] { collector.setAutoMode(!collector.autoMode(), Source::Toolbar); });
    connectCommand(errors, c.clearClipboard, this, [this] { clearClipboard(); });
    connectCommand(errors, c.setFilename, this, [this] { chooseSlotFile(); });
    connectCommand(errors, c.find, this, [this] { findInSlot(); });
    connectCommand(errors, c.findNext, this, [this] { findNextInSlot(); });
    connectCommand(errors, c.showMainWindow, this, [this] { m_window.showWindow(); });
    connectCommand(errors, c.undo, this, [this] {
        if (activeSlotEditable())
            m_window.activeEditor()->undoLast();
    });
    connectCommand(errors, c.cut, this, [this] {
        if (activeSlotEditable())
            m_window.activeEditor()->cutSelection();
    });
    connectCommand(errors, c.copy, this, [this] { m_window.activeEditor()->copySelection(); });
    connectCommand(errors, c.paste, this, [this] {
        if (activeSlotEditable())
            m_window.activeEditor()->pasteClipboard();
    });
    connectCommand(errors, c.selectAll, this, [this] { m_window.activeEditor()->selectAllText(); });
    connectCommand(errors, c.clearSlot, this, [this] { clearActiveSlot(); });
    // The clipboard viewer, where the platform has one.
    c.clipboardViewer->setVisible(Shell::hasClipboardViewer());
}

// Made at its first use: a file dialog keeps its state in the toolkit's
// settings file when it goes, which a user who never chose a file should
// not find in the configuration folder.
QFileDialog& CommandHandlers::saveDialog()
{
    if (m_saveDialog)
        return *m_saveDialog;
    m_saveDialog = new QFileDialog(&m_window);
    m_saveDialog->setObjectName(QStringLiteral("saveDialog"));
    m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
    m_saveDialog->setFileMode(QFileDialog::AnyFile);
    m_saveDialog->setNameFilter(
        QCoreApplication::translate("CommandHandlers", "Text Files (*.txt)"));
    m_saveDialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    // Enter accepts the dialog while the file name's completion list is
    // open; the list would stay over the main window holding the keyboard.
    // The dialog runs modally, so a popup still open when it finishes was
    // opened inside it.
    connect(m_saveDialog, &QDialog::finished, this, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->hide();
    });
    return *m_saveDialog;
}

CommandHandlers::Dialogs CommandHandlers::defaultDialogs()
{
    return Dialogs{askConfirm, askSaveFile, askFont, askPrint, askChangedFile, askSaveChanges};
}

void CommandHandlers::setDialogs(Dialogs dialogs)
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

bool CommandHandlers::settleUnsavedSlots()
{
    for (SlotNumber slot : SlotNumber::all()) {
        // Ended meanwhile, without questions.
        if (m_window.endsWithoutQuestions())
            return false;
        if (!m_collector.hasUnsavedText(slot))
            continue;
        const std::optional<bool> save =
            m_dialogs.saveChanges(&m_window, m_window.slotName(slot), m_collector.fileName(slot));
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
void CommandHandlers::chooseSlotFile()
{
    const std::optional<QString> chosen = m_dialogs.saveFile(saveDialog());
    if (!chosen)
        return;
    saveDialog().selectFile(*chosen);
    m_collector.chooseFile(m_collector.activeSlot(), *chosen);
}

bool CommandHandlers::saveActiveSlot()
{
    return m_collector.saveSlot(m_collector.activeSlot());
}

void CommandHandlers::saveActiveSlotAs()
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

void CommandHandlers::clearActiveSlot()
{
    if (!activeSlotEditable())
        return;
    const QString fileName = m_collector.activeFileName();
    if (m_confirmClear &&
        !m_dialogs.confirm(
            &m_window,
            QCoreApplication::translate("CommandHandlers", "Clear \r\n%1 ?").arg(fileName)))
        return;
    // Text another program added since the slot read the file would go
    // unseen: clearing it is asked for on its own.
    if (m_collector.fileChangedOnDisk(m_collector.activeSlot()) &&
        !m_dialogs.confirm(&m_window,
                           QCoreApplication::translate("CommandHandlers",
                                                       "%1 was changed by another program since "
                                                       "it was read.\r\nClear it anyway?")
                               .arg(fileName)))
        return;
    m_collector.clearSlot(m_collector.activeSlot());
}

void CommandHandlers::clearClipboard()
{
    if (m_confirmClear &&
        !m_dialogs.confirm(&m_window,
                           QCoreApplication::translate("CommandHandlers", "Clear the Clipboard ?")))
        return;
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

// Auto mode would keep appending to the slot's file while it is open in the
// text editor, so it is switched off first when the user asked for that.
// The slot is saved as by the Save command; a failed write raises and
// nothing is launched. A program that cannot be started says so in the
// status bar, where the user looks after the click.
void CommandHandlers::editInTextEditor()
{
    if (settings().autoOff() && m_collector.autoMode())
        m_collector.setAutoMode(false, Collector::Source::TextEditorCommand);
    const EditorLaunch::Plan plan =
        EditorLaunch::planFromSettings(settings(), m_collector.activeFileName());
    if (!saveActiveSlot())
        return;
    const QString failure = EditorLaunch::run(plan, Shell::launcher());
    if (!failure.isEmpty())
        m_window.setStatusText(failure);
}

void CommandHandlers::showHelp()
{
    if (!m_help)
        m_help = new HelpWindow(settings(), errors(), &m_window);
    m_help->present();
}

// The program's own viewer; a platform without one hides the item for good.
void CommandHandlers::showClipboardViewer()
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
        m_viewer = new ClipboardViewer(*monitor, &m_window);
    m_viewer->present();
}

void CommandHandlers::sendSupportMail()
{
    Shell::open(SupportMail::link(SupportMail::address(), SupportMail::buildDate(),
                                  RegionalSettings::system()));
}

void CommandHandlers::showPreferences()
{
    const std::unique_ptr<Autostart> autostart = createSystemAutostart();
    {
        PreferencesDialog dialog(settings(), *autostart, m_collector.saveSound(),
                                 QCoreApplication::applicationFilePath(), &m_window);
        dialog.exec();
    }
    // Read again after every close, so that a change made meanwhile by
    // another program is seen too.
    readConfirmClear();
    m_collector.readDateStyle();
}

bool CommandHandlers::activeSlotEditable()
{
    if (!m_collector.showsFileEnd(m_collector.activeSlot()))
        return true;
    m_window.setStatusText(SlotPage::fileEndNote());
    return false;
}

// The dialog starts from the font last confirmed in it, not from the
// editors' font; a confirmed font goes to all three editors.
void CommandHandlers::chooseFont()
{
    const std::optional<QFont> chosen = m_dialogs.font(&m_window, m_fontDialogFont);
    if (!chosen)
        return;
    m_fontDialogFont = *chosen;
    m_window.setEditorsFont(*chosen);
}

void CommandHandlers::findInSlot()
{
    SlotEditor* slotEditor = m_window.activeEditor();
    slotEditor->openFindDialog(slotEditor->selectedText());
}

void CommandHandlers::findNextInSlot()
{
    SlotEditor* slotEditor = m_window.activeEditor();
    if (!slotEditor->repeatFind())
        QApplication::beep();
    if (slotEditor->isVisible() && slotEditor->isEnabled() && m_window.isVisible() &&
        m_window.isEnabled())
        slotEditor->setFocus(Qt::OtherFocusReason);
}

void CommandHandlers::printSlot()
{
    QPrinter printer;
    if (!m_dialogs.print(&m_window, printer))
        return;
    m_window.activeEditor()->printText(Collector::fileNamePart(m_collector.activeFileName()),
                                       printer);
}
