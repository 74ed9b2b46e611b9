// The window's own commands: editing, view toggles, font, find, print,
// clearing the clipboard and exit; and the modal dialogs they ask.
#include "ui/MainForm.h"

#include "platform/SlotEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
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

bool askPrint(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

TMainForm::Dialogs TMainForm::defaultDialogs()
{
    return Dialogs{askConfirm, askSaveFile, askFont, askPrint};
}

void TMainForm::setDialogs(Dialogs dialogs)
{
    const Dialogs defaults = defaultDialogs();
    m_dialogs = std::move(dialogs);
    if (!m_dialogs.confirm)
        m_dialogs.confirm = defaults.confirm;
    if (!m_dialogs.saveFile)
        m_dialogs.saveFile = defaults.saveFile;
    if (!m_dialogs.font)
        m_dialogs.font = defaults.font;
    if (!m_dialogs.print)
        m_dialogs.print = defaults.print;
}

void TMainForm::EditorChange(QObject*)
{
    Item(QStringLiteral("UndoMenu"))->setEnabled(ActiveEditor()->IsModified());
}

void TMainForm::UndoMenuClick(QObject*)
{
    ActiveEditor()->UndoLast();
}

void TMainForm::CutMenuClick(QObject*)
{
    ActiveEditor()->CutSelection();
}

void TMainForm::CopyMenuClick(QObject*)
{
    ActiveEditor()->CopySelection();
}

void TMainForm::PasteMenuClick(QObject*)
{
    ActiveEditor()->PasteClipboard();
}

void TMainForm::SelectAllMenuClick(QObject*)
{
    ActiveEditor()->SelectAllText();
}

void TMainForm::ToolbarMenuClick(QObject*)
{
    QAction* mark = Item(QStringLiteral("ToolbarMenu"));
    const bool show = !mark->isChecked();
    mark->setChecked(show);
    m_bevel1->setVisible(show);
    m_toolBar->setEnabled(show);
    m_toolBar->setVisible(show);
}

void TMainForm::StatusBarMenuClick(QObject*)
{
    QAction* mark = Item(QStringLiteral("StatusBarMenu"));
    mark->setChecked(!mark->isChecked());
    // Start-up disables a bar it hides; shown again, its text is not grey.
    statusBar()->setEnabled(mark->isChecked());
    statusBar()->setVisible(mark->isChecked());
}

// The check marks as start-up left them: a view that is off is hidden and
// disabled.
void TMainForm::ApplyViewMarks()
{
    if (!Item(QStringLiteral("ToolbarMenu"))->isChecked()) {
        m_toolBar->setEnabled(false);
        m_toolBar->setVisible(false);
        m_bevel1->setVisible(false);
    }
    if (!Item(QStringLiteral("StatusBarMenu"))->isChecked()) {
        statusBar()->setEnabled(false);
        statusBar()->setVisible(false);
    }
}

// The dialog starts from the font last confirmed in it, not from the
// editors' font; a confirmed font goes to all three editors.
void TMainForm::FontMenuClick(QObject*)
{
    const std::optional<QFont> chosen = m_dialogs.font(this, m_fontDialogFont);
    if (!chosen)
        return;
    m_fontDialogFont = *chosen;
    for (int slot = 1; slot <= 3; ++slot) {
        FontRecord record = m_editorFonts[slot - 1];
        record.font = *chosen;
        ApplyEditorFont(slot, record);
    }
}

void TMainForm::ApplyEditorFont(int slot, const FontRecord& record)
{
    SlotEditor* editor = Editor(slot);
    m_editorFonts[slot - 1] = record;
    editor->setFont(record.font);
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Text, record.resolvedColor(QApplication::palette(editor)));
    editor->setPalette(palette);
}

void TMainForm::Find1Click(QObject*)
{
    SlotEditor* editor = ActiveEditor();
    editor->OpenFindDialog(editor->SelectedText());
}

void TMainForm::FindNext1Click(QObject*)
{
    if (!ActiveEditor()->RepeatFind())
        QApplication::beep();
    FocusEditor();
}

void TMainForm::FocusEditor()
{
    SlotEditor* editor = ActiveEditor();
    if (editor->isVisible() && editor->isEnabled() && isVisible() && isEnabled())
        editor->setFocus(Qt::OtherFocusReason);
}

void TMainForm::Print1Click(QObject*)
{
    QPrinter printer;
    if (!m_dialogs.print(this, printer))
        return;
    ActiveEditor()->PrintText(FileNamePart(GetFilename()), printer);
}

void TMainForm::ClearClipbrdButtonClick(QObject*)
{
    if (m_confirmClr && !m_dialogs.confirm(this, QStringLiteral("Clear the Clipboard ?")))
        return;
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

void TMainForm::ExitMenuClick(QObject*)
{
    close();
}
