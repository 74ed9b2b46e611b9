// The three slots: which one is active, their file names, the file
// commands, and keeping each buffer in step with its file.
#include "ui/MainForm.h"

#include "app/ErrorReporter.h"
#include "core/AppError.h"
#include "platform/SlotEditor.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>

int TMainForm::ActiveSlot() const
{
    const QWidget* page = m_pageControl->currentWidget();
    if (page == m_tabSheets[1])
        return 2;
    if (page == m_tabSheets[2])
        return 3;
    return 1;
}

SlotEditor* TMainForm::Editor(int slot) const
{
    return m_editors[std::clamp(slot, 1, 3) - 1];
}

QLabel* TMainForm::FilenamePanel(int slot) const
{
    return m_filenames[std::clamp(slot, 1, 3) - 1];
}

SlotEditor* TMainForm::ActiveEditor() const
{
    return Editor(ActiveSlot());
}

QString TMainForm::GetFilename() const
{
    return FilenamePanel(ActiveSlot())->text();
}

void TMainForm::SetFilename(const QString& fileName)
{
    FilenamePanel(ActiveSlot())->setText(fileName);
}

void TMainForm::PageControl1Change(QObject*)
{
    SetHints();
    QCoreApplication::processEvents();
    LayoutPages();
    QCoreApplication::processEvents();
    SetDown(ActiveSlot());
    QCoreApplication::processEvents();
}

// An existing file becomes the slot's file only once it has been read, so a
// file that cannot be read never gets the previous slot text written over it.
void TMainForm::SetFileButtonClick(QObject*)
{
    const std::optional<QString> chosen = m_dialogs.saveFile(*m_saveDialog);
    if (!chosen)
        return;
    const QString path = *chosen;
    m_saveDialog->selectFile(path);
    const int slot = ActiveSlot();
    // The slot's unsaved text goes to the file it was typed for first.
    if (SlotFileSync::HasUnsavedText(*Editor(slot)) && !SaveActiveSlot())
        return;
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        ReadSlot(slot, path);
        SetFilename(path);
    } else {
        const QString fileName = path + QStringLiteral(".txt");
        SetFilename(fileName);
        Editor(slot)->ClearText();
        RememberFileState(slot, fileName);
    }
}

void TMainForm::SaveChMenuClick(QObject*)
{
    SaveActiveSlot();
}

bool TMainForm::SaveActiveSlot()
{
    const int slot = ActiveSlot();
    if (!SettleSlotFile(slot))
        return false;
    WriteSlot(slot, GetFilename());
    return true;
}

void TMainForm::SaveAsButtonClick(QObject*)
{
    const std::optional<QString> chosen = m_dialogs.saveFile(*m_saveDialog);
    if (!chosen)
        return;
    m_saveDialog->selectFile(*chosen);
    // The copy has the file's new text too.
    const int slot = ActiveSlot();
    if (!SettleSlotFile(slot))
        return;
    const QString target = *chosen + QStringLiteral(".txt");
    if (m_slotFiles[slot - 1].IsAppendOnly()) {
        // The editor shows only the file's end: the copy is the whole file.
        QFile source(GetFilename());
        if (!source.open(QIODevice::ReadOnly))
            throw AppError::withName(QStringLiteral("Cannot open file %s"), GetFilename());
        SlotFile::writeAtomically(target, source.readAll());
        return;
    }
    ActiveEditor()->WriteToFile(target);
}

void TMainForm::ClearButtonClick(QObject*)
{
    if (!ActiveSlotEditable())
        return;
    const QString fileName = GetFilename();
    if (m_confirmClr &&
        !m_dialogs.confirm(this, QStringLiteral("Clear \r\n") + fileName + QStringLiteral(" ?")))
        return;
    const int slot = ActiveSlot();
    // Text another program added since the slot read the file would go
    // unseen: clearing it is asked for on its own.
    if (m_slotFiles[slot - 1].ChangedOnDisk(fileName)) {
        if (!m_dialogs.confirm(this, fileName + QStringLiteral(" was changed by another program "
                                                               "since it was read.\r\nClear it "
                                                               "anyway?")))
            return;
        ReadSlot(slot, fileName);
    }
    Editor(slot)->ClearText();
    WriteSlot(slot, fileName);
}

// --- Buffers and files ----------------------------------------------------
// Every read and write of a slot's file goes through the slot's SlotFileSync,
// which knows what the file held after the last of them.

void TMainForm::RememberFileState(int slot, const QString& fileName)
{
    m_slotFiles[slot - 1].Adopt(*Editor(slot), fileName);
}

// A failed read leaves the slot knowing no file, so that no write replaces
// the file before it has been read.
void TMainForm::ReadSlot(int slot, const QString& fileName)
{
    m_slotFiles[slot - 1].Read(*Editor(slot), fileName);
}

// Appends when the buffer only grew at its end since the file was last read
// or written and the file is still what it was then; otherwise replaces the
// whole file atomically.
void TMainForm::WriteSlot(int slot, const QString& fileName)
{
    m_slotFiles[slot - 1].Write(*Editor(slot), fileName);
}

// Before a write: if the file is not what this slot last read or wrote
// (another program changed it, or it appeared since), read it again so that
// its text stays and what follows is added after it.
void TMainForm::RefreshSlotBeforeWrite(int slot)
{
    m_slotFiles[slot - 1].RefreshBeforeWrite(*Editor(slot), FilenamePanel(slot)->text());
}

void TMainForm::ShowFileEndState(int slot)
{
    const bool fileEnd = m_slotFiles[slot - 1].IsAppendOnly();
    SlotEditor* editor = Editor(slot);
    QLabel* note = m_fileEndNotes[slot - 1];
    editor->setReadOnly(fileEnd);
    // Read-only hides the caret: the end stays easy to find without it.
    editor->setTextInteractionFlags(fileEnd
                                        ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                        : Qt::TextEditorInteraction);
    if (note->isHidden() == fileEnd) {
        note->setVisible(fileEnd);
        LayoutPages();
    }
}

bool TMainForm::ActiveSlotEditable()
{
    const int slot = ActiveSlot();
    if (!m_slotFiles[slot - 1].IsAppendOnly())
        return true;
    SetStatusText(m_fileEndNotes[slot - 1]->text());
    return false;
}

bool TMainForm::SettleSlotFile(int slot)
{
    SlotFileSync& sync = m_slotFiles[slot - 1];
    const QString fileName = FilenamePanel(slot)->text();
    SlotFileSync::Settle how = SlotFileSync::Settle::KeepBoth;
    if (sync.NeedsAnswer(*Editor(slot), fileName)) {
        const std::optional<SlotFileSync::Settle> answer = m_dialogs.changedFile(this, fileName);
        if (!answer)
            return false;
        how = *answer;
    }
    sync.SettleChangedFile(*Editor(slot), fileName, how);
    return true;
}

// Start-up: the active slot first, then the other two, each from its file
// when it exists. A missing file leaves the buffer empty without a message.
void TMainForm::LoadSlotsAtStart()
{
    const int active = ActiveSlot();
    const int order[] = {active, active == 1 ? 2 : 1, active == 3 ? 2 : 3};
    for (int slot : order) {
        const QString fileName = FilenamePanel(slot)->text();
        const QFileInfo info(fileName);
        if (!info.exists() || info.isDir()) {
            RememberFileState(slot, fileName);
            continue;
        }
        try {
            ReadSlot(slot, fileName);
        } catch (const AppError& error) {
            ErrorReporter::show(error.message());
        }
    }
}
