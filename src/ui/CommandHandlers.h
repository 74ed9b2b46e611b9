#pragma once

#include "core/SlotFileSync.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class ClipboardViewer;
class Collector;
class ErrorReporter;
class HelpWindow;
class MainWindow;
class QFileDialog;
class QPrinter;
class Settings;
struct Commands;

// What the main window's commands do: which handler each command runs
// (connected on construction), the handlers themselves, the modal questions
// they ask, and the unsaved slots settled before the program ends. The
// window owns it and stays the view: the handlers act on the collector and
// through the window's own functions.
class CommandHandlers final : public QObject
{
    Q_OBJECT

public:
    // The modal questions the handlers ask. Each has a default that shows
    // the real dialog; tests replace them so that nothing blocks.
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

    // Connects every command of window (its Commands) to its handler.
    CommandHandlers(MainWindow& window, Collector& collector, const Commands& commands);
    ~CommandHandlers() override;

    void setDialogs(Dialogs dialogs);
    static Dialogs defaultDialogs();

    // Whether clearing a slot or the clipboard asks first ("ConfirmClr"),
    // and that value read again.
    bool confirmsClear() const { return m_confirmClear; }
    void readConfirmClear();

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

    // Before the program ends: asks about each slot holding unsaved
    // changes and saves those the user wants kept. False when the user
    // cancelled or a save failed (the error box said why).
    bool settleUnsavedSlots();

private:
    void connectCommands();
    // For an editing command: false, with the reason in the status bar,
    // when the active slot shows only its file's end.
    bool activeSlotEditable();
    // The dialog of "Set Filename" and "Save As", made at its first use.
    QFileDialog& saveDialog();
    Settings& settings() const;
    ErrorReporter& errors() const;

    MainWindow& m_window;
    Collector& m_collector;
    const Commands& m_commands;
    Dialogs m_dialogs;
    bool m_confirmClear = true;
    QFont m_fontDialogFont;
    // Made at their first use and kept with the window.
    QFileDialog* m_saveDialog = nullptr;
    QPointer<HelpWindow> m_help;
    QPointer<ClipboardViewer> m_viewer;
};
