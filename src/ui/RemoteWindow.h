#pragma once

#include "core/Collector.h"
#include "core/SlotNumber.h"

#include <QWidget>
#include <memory>

class QMenu;
class QToolButton;
class WindowPlacement;

// The remote control, a view of the collector: a small always-on-top tool
// window with one button per slot and an auto-mode toggle. Beyond its
// buttons' presentation it holds no state; captures, auto mode and the
// active slot are the collector's.
//
// The slot buttons have two presentations: check buttons (auto) and push
// buttons (plain). They take the one matching auto mode at creation and
// whenever the toolbar's switch, this window's toggle or the text-editor
// command switches auto mode; the menu items leave it as it is.
//
// The window has no owner, so it is neither minimised nor hidden together
// with the main window, and it never has a taskbar entry of its own.
class RemoteWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit RemoteWindow(Collector& collector);
    ~RemoteWindow() override;

    // The program ends: the window's place is written now, as it is written
    // when the window goes (with the shutdown's other settings).
    void writePlacementAtEnd();

    // The menu a right click on the toolbar opens (the tray menu); start-up
    // hands it over once the agreement and the splash window are through.
    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }

    // The remote auto flag: whether activating the window keeps the slot
    // buttons as they are (true) or releases them (false).
    void setRemoteAuto(bool on) { m_remoteAuto = on; }
    bool remoteAuto() const { return m_remoteAuto; }
    // Puts the slot's button down and the other two up.
    void setDown(SlotNumber slot);
    void allUp();
    // Rewrites the slot buttons' tooltips from the clipboard, auto mode and
    // each slot's own file name.
    void showHints();

    // The slot buttons as check buttons (auto presentation) or push buttons
    // (plain presentation). Each button keeps whether it shows down.
    void makeCheckButtons(bool check);
    bool areCheckButtons() const;
    // Whether the slot's button shows down, in either presentation.
    bool isDown(SlotNumber slot) const;

    QToolButton* slotButton(SlotNumber slot) const { return m_slotButtons[slot.index()]; }
    QToolButton* autoButton() const { return m_autoButton; }
    QWidget* toolBar() const { return m_toolBar; }

    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolBar();
    QToolButton* addButton(const char* name, int image);
    void onActivated();
    void onAutoModeChanged(bool on, Collector::Source source);
    void showAutoState(bool on);
    // Whether the slot buttons take the presentation of auto mode's new
    // state when source switched it.
    static bool slotButtonsFollow(Collector::Source source);
    void openContextMenu(const QPoint& pos);
    static void setButtonDown(QToolButton* button, bool down);

    Collector& m_collector;
    bool m_remoteAuto = false;
    QMenu* m_contextMenu = nullptr;
    QWidget* m_toolBar = nullptr;
    PerSlot<QToolButton*> m_slotButtons{};
    QToolButton* m_autoButton = nullptr;
    // Reads the window's place at every showing and writes it when the
    // window is closed or destroyed.
    std::unique_ptr<WindowPlacement> m_placement;
};
