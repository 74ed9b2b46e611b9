#pragma once

#include "core/SlotNumber.h"
#include "settings/FontRecord.h"
#include "ui/Commands.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class Collector;
class CommandHandlers;
class ErrorReporter;
class QFrame;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;
class QToolButton;
class RemoteWindow;
class Settings;
class SlotEditor;
class SlotPage;
class TrayIcon;
class WindowPlacement;

// The program's main window, a view of the collector: the toolbar, one tab
// per slot (SlotPage: file-name panel and editor), the status bar, the main
// menu, the tray menu and the editors' context menu. What its commands do
// is CommandHandlers', which it owns; closing it settles the unsaved slots
// there first.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    // Builds the window on collector, with the program's tray icon (not
    // owned); start-up then restores its stored look (restoreView).
    MainWindow(Collector& collector, TrayIcon& trayIcon, QWidget* parent = nullptr);
    ~MainWindow() override;

    Collector& collector() const { return m_collector; }
    Settings& settings() const;
    ErrorReporter& errors() const;
    const Commands& commands() const { return m_commands; }
    CommandHandlers& handlers() const { return *m_handlers; }

    SlotPage* page(SlotNumber slot) const { return m_pages[slot.index()]; }
    SlotEditor* editor(SlotNumber slot) const;
    SlotEditor* activeEditor() const;
    // The caption of the slot's tab.
    QString slotName(SlotNumber slot) const;
    // A font the user chose, for the three editors, each keeping its colour.
    void setEditorsFont(const QFont& font);

    // The remote window, created after this one (not owned; null until then
    // and after it is gone). It gets the tray menu as its context menu.
    void setRemoteWindow(RemoteWindow* remote);
    RemoteWindow* remoteWindow() const { return m_remote; }

    // The notification-area icon.
    TrayIcon* trayIcon() const { return &m_trayIcon; }
    // The toolbar button that shows command; null when none does.
    QToolButton* toolButton(const QAction* command) const;
    QMenu* trayMenu() const { return m_trayMenu; }
    // What the status bar shows: a notice while it holds, else the text.
    QString statusText() const;
    void setStatusText(const QString& text);
    // A notice the next hint refreshes must not overwrite at once.
    void showNotice(const QString& text);
    // Whether the program's icon is in a notification area.
    bool trayIconShown() const;

    // The window's own commands, which CommandHandlers runs too.
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
    // The end goes on without questions (closeWithoutQuestions was called).
    bool endsWithoutQuestions() const { return m_noQuestions; }

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
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Construction (MainWindowMenus.cpp for the menus and the toolbar).
    void buildToolBar(QWidget* parent);
    void addToolButton(const char* name, QAction* command);
    void addToolBarGap();
    void tightenToolBar();
    void buildPages();
    void buildMenus();
    void watchTrayIcon();
    void connectCollector();

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

    void setHidePanelPressed(bool pressed);
    bool consumeEditorShortcut(QObject* watched, QEvent* event);
    bool remoteVisible() const;

    Collector& m_collector;
    Commands m_commands;
    bool m_closed = false;
    // The session ends: closing asks nothing.
    bool m_noQuestions = false;
    // Set while the window shows the slot the collector made active, so that
    // only the user's choice of tab is announced.
    bool m_showingActiveSlot = false;
    PerSlot<FontRecord> m_editorFonts{};

    QToolBar* m_toolBar = nullptr;
    QFrame* m_toolBarRule = nullptr;
    QLabel* m_hidePanel = nullptr;
    bool m_hidePanelPressed = false;
    QTabWidget* m_tabs = nullptr;
    PerSlot<SlotPage*> m_pages{};
    QLabel* m_statusText = nullptr;
    QMenu* m_trayMenu = nullptr;
    QMenu* m_editorMenu = nullptr;
    RemoteWindow* m_remote = nullptr;
    TrayIcon& m_trayIcon;
    std::unique_ptr<WindowPlacement> m_placement;
    std::unique_ptr<CommandHandlers> m_handlers;
    // The program's window last active other than the remote window and
    // popups, which a press on the tray icon brings forward.
    QPointer<QWidget> m_lastActive;
};
