#pragma once

#include "core/SlotFileSync.h"
#include "core/SlotNumber.h"
#include "settings/FontRecord.h"
#include "ui/Commands.h"

#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class ClipboardViewer;
class Collector;
class ErrorReporter;
class HelpWindow;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QPrinter;
class QTabWidget;
class QToolButton;
class RemoteWindow;
class Settings;
class SlotEditor;
class SlotPage;
class TrayIcon;
class WindowPlacement;

// The program's main window, a view of the collector: the toolbar, one tab
// per slot (SlotPage: file-name panel and editor), the status bar, the main
// menu, the tray menu and the editors' context menu, and the handlers of
// the commands that act on the window and its editors.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    // The modal questions the window asks. Each has a default that shows the
    // real dialog; tests replace them so that nothing blocks.
    struct Dialogs
    {
        // "Confirm" box; true only for "&Yes".
        std::function<bool(QWidget* parent, const QString& text)> confirm;
        // The save dialog; nullopt when cancelled.
        std::function<std::optional<QString>(QFileDialog& dialog)> saveFile;
        // The font dialog starting from its own font; nullopt when cancelled.
        std::function<std::optional<QFont>(QWidget* parent, const QFont& initial)> font;
        // The print dialog; false when cancelled.
        std::function<bool(QWidget* parent, QPrinter& printer)> print;
        // The slot holds unsaved changes and another program changed its
        // file: what to keep; nullopt when cancelled.
        std::function<std::optional<SlotFileSync::Settle>(QWidget* parent, const QString& fileName)>
            changedFile;
        // The program is about to end and the slot (named by its tab)
        // holds changes not yet saved: true to save them, false to drop
        // them, nullopt to cancel the end.
        std::function<std::optional<bool>(QWidget* parent, const QString& slotName,
                                          const QString& fileName)>
            saveChanges;
    };

    // Builds the window on collector, with the program's tray icon (not
    // owned); start-up then restores its stored look (restoreView).
    MainWindow(Collector& collector, TrayIcon& trayIcon, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setDialogs(Dialogs dialogs);
    static Dialogs defaultDialogs();

    Collector& collector() const { return m_collector; }
    Settings& settings() const;
    ErrorReporter& errors() const;
    const Commands& commands() const { return m_commands; }

    SlotPage* page(SlotNumber slot) const { return m_pages[slot.index()]; }
    SlotEditor* editor(SlotNumber slot) const;
    SlotEditor* activeEditor() const;

    // The remote window, created after this one (not owned; null until then
    // and after it is gone). It gets the tray menu as its context menu.
    void setRemoteWindow(RemoteWindow* remote);
    RemoteWindow* remoteWindow() const { return m_remote; }

    // The notification-area icon.
    TrayIcon* trayIcon() const { return &m_trayIcon; }
    // The toolbar button that shows command; null when none does.
    QToolButton* toolButton(const QAction* command) const;
    QMenu* trayMenu() const { return m_trayMenu; }
    // Whether clearing a slot or the clipboard asks first ("ConfirmClr").
    bool confirmsClear() const { return m_confirmClear; }
    // What the status bar shows: a notice while it holds, else the text.
    QString statusText() const;
    void setStatusText(const QString& text);
    // A notice the next hint refreshes must not overwrite at once.
    void showNotice(const QString& text);
    // Whether the program's icon is in a notification area.
    bool trayIconShown() const;

    // --- Command handlers ---------------------------------------------
    // Each runs on its command's trigger (failures then go to the error
    // box); called directly, a failure passes on to the caller.
    void chooseSlotFile();
    // False when the user cancelled.
    bool saveActiveSlot();
    void saveActiveSlotAs();
    void clearActiveSlot();
    void clearClipboard();
    void editInTextEditor();
    // Runs the Preferences dialog; the settings the window and the
    // collector keep are read again after every close, OK or not.
    void showPreferences();
    // The help window and the clipboard viewer, created on first use and
    // kept with the main window.
    void showHelp();
    void showClipboardViewer();
    // A mail to the support address, in the desktop's mail program.
    void sendSupportMail();
    void chooseFont();
    void findInSlot();
    void findNextInSlot();
    void printSlot();
    void setToolbarShown(bool shown);
    void setStatusBarShown(bool shown);
    void hideWindow();
    void showWindow();
    void showRemoteWindow();
    // A press on the tray icon: brings the program's last active window
    // forward while the main window is visible; never shows a hidden one.
    void bringLastActiveWindowForward();
    // Closes the window as for Exit without asking about unsaved slots (the
    // session ends; start-up has set their text aside).
    void closeWithoutQuestions();

    // What the window keeps between runs: its place, the editors' font, the
    // toolbar and status bar marks, the confirmation flag. restoreView
    // reads them (once, before the window first shows); saveSettings writes
    // them with the collector's and the remote window's visibility.
    void restoreView();
    void saveSettings();

Q_SIGNALS:
    // The window is closing (Exit, its close box, the session's end), the
    // unsaved slots settled: the program ends.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Construction (MainWindowMenus.cpp for the menus and the toolbar).
    void buildToolBar();
    void addToolButton(const char* name, QAction* command, int x);
    void buildPages();
    void buildMenus();
    void connectCommands();
    void watchTrayIcon();
    void connectCollector();
    // For an editing command: false, with the reason in the status bar,
    // when the active slot shows only its file's end.
    bool activeSlotEditable();
    // Before the program ends: asks about each slot holding unsaved
    // changes and saves those the user wants kept. False when the user
    // cancelled or a save failed (the error box said why).
    bool settleUnsavedSlots();
    // The dialog of "Set Filename" and "Save As", made at its first use.
    QFileDialog& saveDialog();

    // What the window keeps between runs (MainWindowSettings.cpp).
    void applyViewMarks();
    void applyEditorFont(SlotNumber slot, const FontRecord& record);
    void readPlacement();
    void writePlacement();
    WindowPlacement& placement();

    // Views of the collector's state.
    void showAutoMode(bool on);
    void showHints();
    void showActiveSlot(SlotNumber slot);
    void onEditorChanged();

    void placeHidePanel();
    void setHidePanelPressed(bool pressed);
    bool consumeEditorShortcut(QObject* watched, QEvent* event);
    bool remoteVisible() const;

    Collector& m_collector;
    Commands m_commands;
    Dialogs m_dialogs;
    bool m_confirmClear = true;
    bool m_closed = false;
    // The session ends: closing asks nothing.
    bool m_noQuestions = false;
    // Set while the window shows the slot the collector made active, so that
    // only the user's choice of tab is announced.
    bool m_showingActiveSlot = false;
    QFont m_fontDialogFont;
    PerSlot<FontRecord> m_editorFonts{};

    QWidget* m_toolBar = nullptr;
    std::vector<QToolButton*> m_toolButtons;
    QFrame* m_toolBarBevel = nullptr;
    QLabel* m_hidePanel = nullptr;
    bool m_hidePanelPressed = false;
    QTabWidget* m_tabs = nullptr;
    PerSlot<SlotPage*> m_pages{};
    QLabel* m_statusText = nullptr;
    QFileDialog* m_saveDialog = nullptr;
    QMenu* m_trayMenu = nullptr;
    QMenu* m_editorMenu = nullptr;
    RemoteWindow* m_remote = nullptr;
    TrayIcon& m_trayIcon;
    std::unique_ptr<WindowPlacement> m_placement;
    // Made at their first use and kept with the window.
    QPointer<HelpWindow> m_help;
    QPointer<ClipboardViewer> m_viewer;
    // The program's window last active other than the remote window and
    // popups, which a press on the tray icon brings forward.
    QPointer<QWidget> m_lastActive;
};
