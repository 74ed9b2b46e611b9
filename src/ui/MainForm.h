#pragma once

#include "core/Capture.h"
#include "settings/RegTools.h"

#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QPrinter;
class QTabWidget;
class QToolButton;
class QWidget;
class SlotEditor;
class NotifyAreaIcon;
class TClipboardMonitor;
class TRemoteForm;

// The program's main window: the toolbar, the three slots (tab, file-name
// panel and editor each), the status bar, the main menu, the tray menu and
// the editors' context menu, and the handler of every command they offer.
class TMainForm final : public QMainWindow
{
    Q_OBJECT

public:
    // The modal questions the window asks. Each has a default that shows the
    // real dialog; tests replace them so that nothing blocks.
    struct Dialogs
    {
        // "Confirm" box; true only for "&Yes".
        std::function<bool(QWidget* parent, const QString& text)> confirm;
        // SaveDialog; nullopt when cancelled.
        std::function<std::optional<QString>(QFileDialog& dialog)> saveFile;
        // FontDialog starting from its own font; nullopt when cancelled.
        std::function<std::optional<QFont>(QWidget* parent, const QFont& initial)> font;
        // PrintDialog1; false when cancelled.
        std::function<bool(QWidget* parent, QPrinter& printer)> print;
    };

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    void setDialogs(Dialogs dialogs);
    static Dialogs defaultDialogs();

    // Slot lookups: the active slot is the tab that is showing.
    int ActiveSlot() const;
    SlotEditor* ActiveEditor() const;
    QString GetFilename() const;
    void SetFilename(const QString& fileName);
    SlotEditor* Editor(int slot) const;
    QLabel* FilenamePanel(int slot) const;

    // Capture and auto mode.
    void PasteButtonClick(QObject* sender);
    QString StampDateTime() const;
    void AutoButtonClick(QObject* sender);
    void AutoMenuClick(QObject* sender);
    void ClipboardChange(QObject* sender);
    bool IsAutoOn() const;

    // Hint refresh and the windows around the tray.
    void SetHints();
    void HidePanelClick(QObject* sender);
    void ShowMainClick(QObject* sender);
    void ShowRemoteClick(QObject* sender);
    // Mouse press on the tray icon: brings the program's last active window
    // forward while the main window is visible; never shows a hidden one.
    void TrayIconMouseDown(QObject* sender);
    // The file-name part of a file name: the text after the last "\", ":"
    // or "/" (the whole name when it has none).
    static QString FileNamePart(const QString& fileName);
    void SetStatusText(const QString& text);
    // A notice the next hint refreshes must not overwrite at once.
    void ShowNotice(const QString& text);
    // What the status bar shows: a notice while it holds, else the text.
    QString StatusText() const;
    // Whether the program's icon is in a notification area.
    bool TrayIconShown() const;

    void PageControl1Change(QObject* sender);
    // Makes the slot's tab the active page without running PageControl1Change.
    void SetActivePage(int slot);
    void SetFileButtonClick(QObject* sender);
    void SaveChMenuClick(QObject* sender);
    void SaveAsButtonClick(QObject* sender);
    void ClearButtonClick(QObject* sender);

    void UndoMenuClick(QObject* sender);
    void CutMenuClick(QObject* sender);
    void CopyMenuClick(QObject* sender);
    void PasteMenuClick(QObject* sender);
    void SelectAllMenuClick(QObject* sender);
    void EditorChange(QObject* sender);

    void ToolbarMenuClick(QObject* sender);
    void StatusBarMenuClick(QObject* sender);
    void FontMenuClick(QObject* sender);
    void Find1Click(QObject* sender);
    void FindNext1Click(QObject* sender);
    void FocusEditor();
    void Print1Click(QObject* sender);
    void ClearClipbrdButtonClick(QObject* sender);
    void ExitMenuClick(QObject* sender);

    // Commands of other windows and programs.
    void Preferences1Click(QObject* sender);
    void Help1Click(QObject* sender);
    void AboutMenuClick(QObject* sender);
    void Support1Click(QObject* sender);
    void EditButtonClick(QObject* sender);
    void ClipbrdMenuClick(QObject* sender);

    // Start-up and shutdown.
    void RestoreSettings();
    void SaveSettings();
    // Whether the start-up sequence has read the slot files; captures wait
    // for it.
    bool IsStarted() const { return m_started; }

    // The monitor the window created at start; null once the window closed.
    // Captures it sends count as automatic ones.
    TClipboardMonitor* ClipboardMonitor() const { return m_monitor.get(); }
    // The notification-area icon; it lives as long as the window.
    NotifyAreaIcon* TrayIcon() const { return m_trayIcon.get(); }
    // The remote window, created after this one (not owned; null until then
    // and after it is gone). Every call that mirrors state into it checks.
    // Attaching it sets its auto button from the auto state.
    void SetRemoteForm(TRemoteForm* remote);
    TRemoteForm* RemoteForm() const { return m_remote; }
    // Whether the tray menu may open; start-up allows it after the
    // agreement and the splash window.
    bool TrayMenuAllowed() const { return m_trayMenuAllowed; }

    bool ConfirmClr() const { return m_confirmClr; }
    int DateStyle() const { return m_dateStyle; }
    QMenu* TrayMenu() const { return m_trayMenu; }
    QMenu* PopupMenu1() const { return m_popupMenu; }
    // Menu items, toolbar buttons and panels by their control names.
    QAction* Item(const QString& name) const;
    QToolButton* Button(const QString& name) const;

Q_SIGNALS:
    // The window has closed and its settings are saved: the program ends.
    void FormClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Construction, by concern.
    void BuildToolBar();
    void BuildPages();
    void BuildMenus();
    void BuildMainMenu();
    void BuildTrayMenu();
    void BuildPopupMenu();
    void BuildTrayIcon();
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut, void (TMainForm::*handler)(QObject*),
                     const QIcon& image);
    QToolButton* AddToolButton(const char* name, int image, const QString& tip, int x,
                               void (TMainForm::*handler)(QObject*));

    void FormCreate();
    void FormClose();
    void FormActivate();
    void FormResize();
    void LayoutPages();
    void ApplyViewMarks();
    // Gives an editor the font record's font and colour.
    void ApplyEditorFont(int slot, const FontRecord& record);

    void HidePanelMouseDown();
    void HidePanelMouseUp();
    void Filename1MouseDown(QObject* sender);
    void Filename1MouseUp(QObject* sender);
    bool ConsumeEditorShortcut(QObject* watched, QEvent* event);

    // Placement, agreement, splash and the remote window come with their own
    // windows; their calls stand here in the order of start-up.
    void ShowAgreementIfNeeded();
    void ShowStartupSplash();
    void HookClipboard();
    void FreeClipboardMonitor();
    void RemoveTrayIcon();
    void ReadPlacement();
    void WritePlacement();
    void SetDown(int slot);
    void AllUp();
    void SetAuto(bool on);
    void RSetHints();
    bool RemoteVisible() const;

    // Keeping each buffer in step with its file.
    void ReadSlot(int slot, const QString& fileName);
    void WriteSlot(int slot, const QString& fileName);
    void RefreshSlotBeforeWrite(int slot);
    void RememberFileState(int slot, const QString& fileName);
    void LoadSlotsAtStart();

    Dialogs m_dialogs;
    bool m_confirmClr = true;
    int m_dateStyle = 1;
    bool m_started = false;
    bool m_closing = false;
    bool m_trayMenuAllowed = false;
    // Set while the program itself changes the page (SetActivePage, start-up).
    bool m_settingPage = false;
    QFont m_fontDialogFont;
    std::array<FontRecord, 3> m_editorFonts{};

    QWidget* m_toolBar = nullptr;
    QFrame* m_bevel1 = nullptr;
    QLabel* m_hidePanel = nullptr;
    QTabWidget* m_pageControl = nullptr;
    QLabel* m_statusText = nullptr;
    std::array<QWidget*, 3> m_tabSheets{};
    std::array<QLabel*, 3> m_filenames{};
    std::array<SlotEditor*, 3> m_editors{};
    // Each slot's file as the slot last read or wrote it.
    std::array<SlotFileSync, 3> m_slotFiles{};
    QFileDialog* m_saveDialog = nullptr;
    QMenu* m_trayMenu = nullptr;
    QMenu* m_popupMenu = nullptr;
    QObject* m_pressedPanel = nullptr;
    TRemoteForm* m_remote = nullptr;
    std::unique_ptr<TClipboardMonitor> m_monitor;
    std::unique_ptr<NotifyAreaIcon> m_trayIcon;
    // The program's window last active other than the remote window and
    // popups, which a press on the tray icon brings forward.
    QPointer<QWidget> m_lastActive;
};
