#pragma once

#include "core/SlotNumber.h"

#include <QWidget>

class QLabel;
class SlotEditor;

// One slot's tab page: the file-name panel across the top (a click on it
// asks for another file) and the slot's editor below it.
class SlotPage final : public QWidget
{
    Q_OBJECT

public:
    explicit SlotPage(SlotNumber slot, QWidget* parent = nullptr);

    SlotNumber slot() const { return m_slot; }
    SlotEditor* editor() const { return m_editor; }
    QLabel* fileNamePanel() const { return m_fileNamePanel; }
    void showFileName(const QString& fileName);

Q_SIGNALS:
    // A left click on the file-name panel (pressed and released on it).
    void fileNameClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SlotNumber m_slot;
    QLabel* m_fileNamePanel = nullptr;
    SlotEditor* m_editor = nullptr;
    bool m_panelPressed = false;
};
