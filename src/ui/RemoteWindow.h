#pragma once

#include <QWidget>
#include <array>

class QToolButton;
class TMainForm;

// The remote control: a small always-on-top tool window with one button per
// slot and an auto-mode toggle. It holds no state of its own beyond its
// buttons; captures, auto mode and the active slot all live in the main
// window, which it calls and which calls it back to mirror its state.
//
// The window has no owner, so it is neither minimised nor hidden together
// with the main window, and it never has a taskbar entry of its own.
class TRemoteForm final : public QWidget
{
    Q_OBJECT

public:
    explicit TRemoteForm(TMainForm& mainForm);
    ~TRemoteForm() override;

    // Click of any of the three slot buttons. The sender names the slot:
    // ToolBtn2 is slot 2, ToolBtn3 slot 3, anything else slot 1.
    void ToolBtn1Click(QObject* sender);
    // Click of the auto button; its own down state has already flipped.
    void AutoToolBtnClick(QObject* sender);

    // The remote auto flag: whether activating the window keeps the slot
    // buttons as they are (true) or releases them (false).
    void SetAuto(bool on);
    bool RemoteAuto() const { return m_remoteAuto; }
    // Puts the button of the slot down and the other two up; a number other
    // than 2 or 3 selects the first button.
    void SetDown(int slot);
    void AllUp();
    // Rewrites the slot buttons' tooltips from the clipboard, auto mode and
    // each slot's own file name.
    void RSetHints();

    // The slot buttons as check buttons (auto presentation) or push buttons
    // (plain presentation). Each button keeps whether it shows down.
    void MakeCheckButtons(bool check);
    bool AreCheckButtons() const;
    // Whether the slot's button shows down, in either presentation.
    bool IsDown(int slot) const;

    // The buttons, for the main window's auto switch: it compares senders
    // with AutoToolBtn and selects a slot through ToolBtn(n).
    QToolButton* ToolBtn(int slot) const; // 1 to 3; other numbers give ToolBtn1
    QToolButton* AutoToolBtn() const { return m_autoToolBtn; }
    QWidget* ToolBar1() const { return m_toolBar; }

    void setVisible(bool visible) override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildToolBar();
    QToolButton* AddButton(const char* name, int image, int x);
    void FormCreate();
    void FormActivate();
    void ToolBar1ContextPopup(const QPoint& pos);
    static void SetButtonDown(QToolButton* button, bool down);

    TMainForm& m_main;
    bool m_remoteAuto = false;
    QWidget* m_toolBar = nullptr;
    std::array<QToolButton*, 3> m_slotButtons{};
    QToolButton* m_autoToolBtn = nullptr;
};
