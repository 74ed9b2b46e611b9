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

#include <sys/stat.h>

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

TMainForm::FileState TMainForm::StatFile(const QString& fileName)
{
    FileState state;
    state.known = true;
    struct stat st = {};
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return state;
    state.exists = true;
    state.size = st.st_size;
    state.mtimeNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    state.inode = st.st_ino;
    return state;
}

void TMainForm::RememberFileState(int slot, const QString& fileName)
{
    m_fileStates[slot - 1] = StatFile(fileName);
}

void TMainForm::ReadSlot(int slot, const QString& fileName)
{
    // A failed read leaves the slot as unknown, so that no write replaces
    // the file before it has been read.
    m_fileStates[slot - 1] = FileState{};
    Editor(slot)->ReadFromFile(fileName);
    RememberFileState(slot, fileName);
}

void TMainForm::WriteSlot(int slot, const QString& fileName)
{
    Editor(slot)->WriteToFile(fileName);
    RememberFileState(slot, fileName);
}

// Before a write: if the file is not what this slot last read or wrote
// (another program changed it, or it appeared since), read it again so that
// its text stays and what follows is added after it.
void TMainForm::RefreshSlotBeforeWrite(int slot)
{
    const QString fileName = FilenamePanel(slot)->text();
    const FileState now = StatFile(fileName);
    const FileState& last = m_fileStates[slot - 1];
    if (last.known && now == last)
        return;
    if (!now.exists) {
        // Gone or never there: nothing to keep.
        m_fileStates[slot - 1] = now;
        return;
    }
    ReadSlot(slot, fileName);
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
