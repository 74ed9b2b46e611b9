// The three slots: which one is active, their file names, the file
// commands, and keeping each buffer in step with its file.
#include "ui/MainForm.h"

#include "app/ErrorReporter.h"
#include "core/AppError.h"
#include "platform/SlotEditor.h"

#include <QApplication>
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
    const int slot = ActiveSlot();
    RefreshSlotBeforeWrite(slot);
    WriteSlot(slot, GetFilename());
}

void TMainForm::SaveAsButtonClick(QObject*)
{
    const std::optional<QString> chosen = m_dialogs.saveFile(*m_saveDialog);
    if (!chosen)
        return;
    m_saveDialog->selectFile(*chosen);
    ActiveEditor()->WriteToFile(*chosen + QStringLiteral(".txt"));
}

void TMainForm::ClearButtonClick(QObject*)
{
    const QString fileName = GetFilename();
    if (m_confirmClr &&
        !m_dialogs.confirm(this, QStringLiteral("Clear \r\n") + fileName + QStringLiteral(" ?")))
        return;
    const int slot = ActiveSlot();
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
            ErrorReporter::showFailure(error);
        }
    }
}
