#pragma once

#include "core/Capture.h"
#include "core/ClipboardMonitor.h"
#include "core/SlotFileSync.h"
#include "core/SlotNumber.h"
#include "core/SlotText.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

class ErrorReporter;
class SaveSound;
class Settings;
class TerminationRequests;

// What the program collects and how: the three slots (each its text, its
// file name and the sync that keeps the file in step), which slot is active,
// whether auto mode is on, and the capture of the clipboard into the active
// slot. It has no windows; the main window, the remote window and the tray
// icon show its state through its signals and act through its functions.
//
// Failures (AppError) pass on to the caller, which is where a signal entered
// the program's code and reportFailures shows them.
class Collector final : public QObject
{
    Q_OBJECT

public:
    // Who asked for a capture.
    enum class Trigger
    {
        User,             // a capture command of a menu or the toolbar
        Automatic,        // the clipboard changed; only in auto mode, once started
        RemoteSlotButton, // a slot button of the remote window, outside auto mode
        Tray,             // a double-click on the tray icon
    };
    Q_ENUM(Trigger)

    // Who switched auto mode.
    enum class Source
    {
        Startup,
        Toolbar,
        RemoteToggle,
        Menu,
        TextEditorCommand,
    };
    Q_ENUM(Source)

    // How a capture ended.
    enum class CaptureResult
    {
        Stored,
        NothingToStore, // no text, a secret, not in auto mode, or the user declined
        NotDelivered,   // the program that copied did not deliver the text
        Failed,         // the error box said why
    };
    Q_ENUM(CaptureResult)

    // The settings keep the slots' file names, auto mode and the active
    // slot between runs, and the stamp style; errors shows the failures of
    // captures nobody asked for (auto mode) and of reading the slots; sound
    // says that a capture was saved.
    Collector(Settings& settings, ErrorReporter& errors, SaveSound& sound,
              QObject* parent = nullptr);
    ~Collector() override;

    Settings& settings() const { return m_settings; }
    ErrorReporter& errors() const { return m_errors; }
    SaveSound& saveSound() const { return m_sound; }

    // --- Slots -----------------------------------------------------------
    // The slot's text, which its editor shows.
    SlotText& text(SlotNumber slot) { return this->slot(slot).text; }
    const SlotText& text(SlotNumber slot) const { return this->slot(slot).text; }

    QString fileName(SlotNumber slot) const;
    // Changes the name only (no file is read or written, no hint refresh).
    void setFileName(SlotNumber slot, const QString& fileName);

    SlotNumber activeSlot() const { return m_active; }
    // Makes slot the active one; no hint refresh.
    void setActiveSlot(SlotNumber slot);
    QString activeFileName() const { return fileName(m_active); }

    // Start-up: reads every slot's file, the active slot first; a missing
    // file leaves the buffer empty, a failure is shown and the next slot is
    // read. Afterwards the collector counts as started.
    void loadSlots();
    // Whether loadSlots has run; automatic captures wait for it.
    bool isStarted() const { return m_started; }

    // A file the user chose for the slot: an existing file is read and then
    // becomes the slot's file (a file that cannot be read never does);
    // otherwise the name with ".txt" appended becomes the slot's file and the
    // buffer is emptied.
    void chooseFile(SlotNumber slot, const QString& path);
    // Writes the slot's buffer to its file, after reading the file again
    // when another program changed it (settleSlot). False when the user
    // cancelled.
    bool saveSlot(SlotNumber slot);
    // Writes the slot's text to target (Save As), in the format target's
    // name selects; the slot keeps its own file. A slot that shows only its
    // file's end copies the file's whole text.
    void saveSlotAs(SlotNumber slot, const QString& target) const;
    // Empties the slot's buffer and writes the empty text to its file; a
    // file another program changed is read first, so that the write is
    // taken as the slot's.
    void clearSlot(SlotNumber slot);

    // --- The user's unsaved text and another program's change -----------
    // Asks what to keep when a slot's unsaved text and another program's
    // change of its file meet (SlotFileSync::needsAnswer); nullopt:
    // cancelled. The main window sets it; without one both are kept.
    using ChangedFileQuestion =
        std::function<std::optional<SlotFileSync::Settle>(const QString& fileName)>;
    void setChangedFileQuestion(ChangedFileQuestion question);
    // Before a command of the user's writes the slot or hands its file on:
    // a file another program changed is read again, keeping the slot's
    // unsaved text (SlotFileSync::settleChangedFile), asking where both
    // cannot simply follow one another. False when the user cancelled.
    bool settleSlot(SlotNumber slot);
    // The slot's file is not what the slot last read or wrote.
    bool fileChangedOnDisk(SlotNumber slot) const;
    // The slot holds text typed or changed since its file was last read or
    // written.
    bool hasUnsavedText(SlotNumber slot) const;
    // Writes the slot's unsaved text next to its file, without asking
    // anyone (SlotFileSync::saveAside), and returns that file's name; empty
    // when there was none. Raises when it cannot be written.
    QString saveUnsavedTextAside(SlotNumber slot);
    // The slot's file is longer than its buffer holds: the buffer shows the
    // file's end and only captures reach the file.
    bool showsFileEnd(SlotNumber slot) const;

    // --- Auto mode and capture ------------------------------------------
    bool autoMode() const { return m_autoMode; }
    // Switches auto mode, tells the views and refreshes the hints.
    void setAutoMode(bool on, Source source);

    // "DateStyle" of the stamp line, read at start, whenever the setting is
    // written and when readDateStyle asks.
    int dateStyle() const { return m_dateStyle; }
    void readDateStyle();
    QString stampLine() const;

    // The one capture command, of every view and the command line: slot
    // becomes the active one, and the clipboard's text is added to it as a
    // block and saved. A slot button's capture (RemoteSlotButton) in auto
    // mode only chooses the slot the automatic captures go to and
    // announces it (activeSlotAnnounced); nothing is captured then.
    // Text its owner marked as secret is never captured (a capture the user
    // asked for says so in the status bar). An automatic capture happens
    // only in auto mode once started. The user's capture command settles a
    // changed file first (settleSlot); any other capture never asks: it
    // sets the slot's unsaved text aside in a file next to the slot's and
    // says so in the status bar. The text comes from the clipboard monitor,
    // at once when it has read it already, otherwise once its owner has
    // delivered it, into the slot that was active when the capture was
    // asked for; an owner that does not deliver is said in the status bar.
    // captureEnded() follows every capture, a failure included.
    void captureInto(SlotNumber slot, Trigger trigger);

    // The clipboard monitor (not owned; start-up keeps it), whose copies
    // are captured in auto mode once startWatchingClipboard has run, until
    // stopWatchingClipboard stops it for good. Null: no clipboard.
    // A copy after a quiet moment is written at once. Copies that come in a
    // row (faster than their writes) are written together: each waits until
    // the events that came with it have been handled, and the copies
    // waiting then reach the slot's file in one write and one flush to the
    // disk (flushAutomaticCaptures), each with the stamp line of the moment
    // it came; captureEnded follows once they are on the disk. Whatever reads or writes a slot, and
    // every capture the user asks for, writes the waiting copies first.
    void setClipboardMonitor(ClipboardMonitor* monitor);
    ClipboardMonitor* clipboardMonitor() const { return m_monitor; }

    // The program is asked to end: from the moment a request comes (checked
    // at every automatic capture, also while earlier copies wait to be
    // captured) nothing more is captured automatically.
    void setEndRequests(const TerminationRequests* requests) { m_endRequests = requests; }

    void startWatchingClipboard();
    // Writes the waiting copies of auto mode now, in order.
    void flushAutomaticCaptures();
    void stopWatchingClipboard();
    bool isWatchingClipboard() const;

    // --- Hints ------------------------------------------------------------
    // The status bar's and tray icon's text: what a capture would do now.
    QString hintText() const;
    // The remote window's slot button's tooltip: what a click would do.
    QString slotButtonHint(SlotNumber slot) const;
    // Whether the clipboard holds text a capture would take (asking no
    // clipboard owner).
    bool clipboardHasCapturableText() const;
    // The views rewrite their hints (icons, status text, tooltips).
    void refreshHints();
    // After the user chose a tab or a window was activated: the hints are
    // refreshed and the remote window holds the active slot's button down.
    void announceActiveSlot();
    // The file-name part of a file name: the text after the last "\", ":"
    // or "/" (the whole name when it has none).
    static QString fileNamePart(const QString& fileName);

    // --- Settings --------------------------------------------------------
    // The slots' file names, the stamp style and auto mode as stored.
    void restoreSettings();
    // The slots' file names, auto mode and the active slot.
    void saveSettings() const;

Q_SIGNALS:
    void autoModeChanged(bool on, Collector::Source source);
    void activeSlotChanged(SlotNumber slot);
    void fileNameChanged(SlotNumber slot, const QString& fileName);
    void hintsChanged();
    void activeSlotAnnounced(SlotNumber slot);
    // A capture has ended, with its result.
    void captureEnded(Collector::CaptureResult result);
    // A short word for the status bar.
    void statusMessage(const QString& text);

private:
    // Captures into the active slot (captureInto).
    void capture(Trigger trigger);
    CaptureResult captureText(Trigger trigger, SlotNumber slot, ClipboardMonitor::Outcome outcome,
                              const QString& text);
    // captureText, its failure shown, then captureEnded.
    void endCapture(Trigger trigger, SlotNumber slot, ClipboardMonitor::Outcome outcome,
                    const QString& text);
    // A capture into the slot failed. The first failure opens a box; those
    // that come while it is open are counted and said once it closes, in
    // one box (which gathers the next ones in turn). An automatic capture's
    // box opens once the clipboard monitor's handler has returned, so that
    // the copies made meanwhile are captured, not held back until it
    // closes. The text of each is in the slot's buffer. copies: how many
    // copies the failed write held.
    void captureFailed(SlotNumber slot, std::exception_ptr failure, bool later, int copies);
    void showCaptureFailures(SlotNumber slot, std::exception_ptr failure);
    QString failedCopiesText(SlotNumber slot, int count) const;

    // A copy of auto mode waiting for its write.
    struct WaitingCopy
    {
        SlotNumber slot;
        QString stampLine;
        QString text;
    };
    // Writes a run of waiting copies into one slot; returns how it ended.
    CaptureResult captureCopies(SlotNumber slot, const std::vector<CopiedText>& copies);

    struct Slot
    {
        SlotText text;
        QString fileName;
        SlotFileSync sync;
    };
    Slot& slot(SlotNumber number) { return m_slots[number.index()]; }
    // Tells in the status bar what the last read or write of the slot's
    // file had to do unusually: set aside a capture that was cut off, go
    // ahead without the lock.
    void reportFileNotes(Slot& s);
    // Auto mode is on, start-up has read the slots and no end was asked for.
    bool capturesAutomatically() const;
    const Slot& slot(SlotNumber number) const { return m_slots[number.index()]; }

    Settings& m_settings;
    ErrorReporter& m_errors;
    SaveSound& m_sound;
    const TerminationRequests* m_endRequests = nullptr;
    PerSlot<Slot> m_slots;
    // Per slot: whether a box about a failed capture is open (or about to
    // open), and how many captures failed since it opened.
    struct FailureBox
    {
        bool open = false;
        int more = 0;
    };
    PerSlot<FailureBox> m_failureBoxes{};
    ChangedFileQuestion m_changedFileQuestion;
    SlotNumber m_active;
    bool m_autoMode = false;
    bool m_started = false;
    int m_dateStyle = 1;
    ClipboardMonitor* m_monitor = nullptr;
    std::deque<WaitingCopy> m_waiting;
    QTimer m_flushTimer;
    bool m_flushing = false;
    // Since the last write of waiting copies: a copy within BurstGapMs of
    // it is part of a burst and waits for the end of the round.
    static constexpr int BurstGapMs = 50;
    QElapsedTimer m_sinceFlush;
};
