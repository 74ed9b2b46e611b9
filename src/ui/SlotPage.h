#pragma once

#include "core/SlotNumber.h"

#include <QWidget>

class QLabel;
class SlotEditor;
class SlotText;

// One slot's tab page: the file-name panel across the top (a click on it
// asks for another file) and the slot's editor below it. While the slot's
// file is longer than the editor holds, a note between them says that only
// the file's end is shown, and the editor takes no edits.
class SlotPage final : public QWidget
{
    Q_OBJECT

public:
    // The editor shows text, the slot's.
    SlotPage(SlotNumber slot, SlotText& text, QWidget* parent = nullptr);

    SlotNumber slot() const { return m_slot; }
    SlotEditor* editor() const { return m_editor; }
    QLabel* fileNamePanel() const { return m_fileNamePanel; }
    void showFileName(const QString& fileName);
    void showFileEnd(bool fileEnd);
    bool showsFileEnd() const;
    // The note's text.
    static QString fileEndNote();

Q_SIGNALS:
    // A left click on the file-name panel (pressed and released on it).
    void fileNameClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SlotNumber m_slot;
    QLabel* m_fileNamePanel = nullptr;
    SlotEditor* m_editor = nullptr;
    QLabel* m_fileEndNote = nullptr;
    bool m_panelPressed = false;
};
