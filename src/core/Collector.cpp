#include "core/Collector.h"

#include "core/Capture.h"
#include "core/ErrorReporter.h"
#include "core/StampLine.h"
#include "core/slotfile/SlotFile.h"
#include "platform/TerminationRequests.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>

#include <utility>

namespace {

const char* const InitialNames[SlotCount] = {"Default1.txt", "Default2.txt", "Default3.txt"};

} // namespace

// Text its owner marked as secret is never captured, so for the hints it
// is no text.
bool Collector::clipboardHasCapturableText() const
{
    return m_monitor && m_monitor->hasCapturableText();
}

Collector::Collector(Settings& settings, ErrorReporter& errors, SaveSound& sound, QObject* parent)
    : QObject(parent), m_settings(settings), m_errors(errors), m_sound(sound)
{
    for (SlotNumber number : SlotNumber::all())
        slot(number).fileName = QString::fromLatin1(InitialNames[number.index()]);
    // Due once the events that came with the copies have been handled.
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(0);
    connect(&m_flushTimer, &QTimer::timeout, this,
            [this] { m_errors.reportFailures([this] { flushAutomaticCaptures(); }); });
    connect(&m_settings, &Settings::changed, this, [this](Settings::Value value) {
        if (value == Settings::Value::DateStyle)
            readDateStyle();
    });
}

void Collector::readDateStyle()
{
    m_dateStyle = m_settings.dateStyle();
}

Collector::~Collector()
{
    setClipboardMonitor(nullptr);
}

QString Collector::fileName(SlotNumber number) const
{
    return slot(number).fileName;
}

void Collector::setFileName(SlotNumber number, const QString& fileName)
{
    if (slot(number).fileName == fileName)
        return;
    flushAutomaticCaptures();
    slot(number).fileName = fileName;
    Q_EMIT fileNameChanged(number, fileName);
}

void Collector::setActiveSlot(SlotNumber number)
{
    if (number == m_active)
        return;
    m_active = number;
    Q_EMIT activeSlotChanged(number);
}

void Collector::loadSlots()
{
    const int active = m_active.number();
    const int order[] = {active, active == 1 ? 2 : 1, active == 3 ? 2 : 3};
    for (int number : order) {
        Slot& s = slot(number);
        const QFileInfo info(s.fileName);
        if (!info.exists() || info.isDir()) {
            s.sync.adopt(s.text, s.fileName);
            continue;
        }
        m_errors.reportFailures([&] { s.sync.read(s.text, s.fileName); });
        reportFileNotes(s);
    }
    m_started = true;
}

void Collector::chooseFile(SlotNumber number, const QString& path)
{
    flushAutomaticCaptures();
    Slot& s = slot(number);
    // The slot's unsaved text goes to the file it was typed for first.
    if (SlotFileSync::hasUnsavedText(s.text) && !saveSlot(number))
        return;
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        s.sync.read(s.text, path);
        setFileName(number, path);
        reportFileNotes(s);
    } else {
        const QString name = path + QStringLiteral(".txt");
        setFileName(number, name);
        s.text.clearText();
        s.sync.adopt(s.text, name);
    }
}

bool Collector::saveSlot(SlotNumber number)
{
    flushAutomaticCaptures();
    if (!settleSlot(number))
        return false;
    Slot& s = slot(number);
    s.sync.write(s.text, s.fileName);
    reportFileNotes(s);
    return true;
}

void Collector::saveSlotAs(SlotNumber number, const QString& target) const
{
    const Slot& s = slot(number);
    SlotFile::writeText(target,
                        s.sync.isAppendOnly() ? SlotFile::readText(s.fileName) : s.text.textLf(),
                        s.text.font());
}

void Collector::clearSlot(SlotNumber number)
{
    flushAutomaticCaptures();
    Slot& s = slot(number);
    if (s.sync.changedOnDisk(s.fileName))
        s.sync.read(s.text, s.fileName);
    s.text.clearText();
    s.sync.write(s.text, s.fileName);
    reportFileNotes(s);
}

void Collector::reportFileNotes(Slot& s)
{
    const QString torn = s.sync.takeTornAside();
    if (!torn.isEmpty())
        Q_EMIT statusMessage(
            //: %1 is the file the cut-off capture was moved to
            QCoreApplication::translate("Collector",
                                        "A capture cut off while it was written was moved to %1")
                .arg(torn));
    if (!s.sync.lockProblem().isEmpty())
        Q_EMIT statusMessage( //: %1 is the slot's file, %2 why it had no lock
            QCoreApplication::translate("Collector", "%1 was written without its lock (%2)")
                .arg(s.fileName, s.sync.lockProblem()));
}

void Collector::setChangedFileQuestion(ChangedFileQuestion question)
{
    m_changedFileQuestion = std::move(question);
}

bool Collector::settleSlot(SlotNumber number)
{
    Slot& s = slot(number);
    SlotFileSync::Settle how = SlotFileSync::Settle::KeepBoth;
    if (m_changedFileQuestion && s.sync.needsAnswer(s.text, s.fileName)) {
        const std::optional<SlotFileSync::Settle> answer = m_changedFileQuestion(s.fileName);
        if (!answer)
            return false;
        how = *answer;
    }
    s.sync.settleChangedFile(s.text, s.fileName, how);
    return true;
}

bool Collector::fileChangedOnDisk(SlotNumber number) const
{
    const Slot& s = slot(number);
    return s.sync.changedOnDisk(s.fileName);
}

bool Collector::hasUnsavedText(SlotNumber number) const
{
    return SlotFileSync::hasUnsavedText(slot(number).text);
}

QString Collector::saveUnsavedTextAside(SlotNumber number)
{
    flushAutomaticCaptures();
    const Slot& s = slot(number);
    return SlotFileSync::saveAside(s.text, s.fileName, QDateTime::currentDateTime());
}

bool Collector::showsFileEnd(SlotNumber number) const
{
    return slot(number).sync.isAppendOnly();
}

void Collector::setAutoMode(bool on, Source source)
{
    m_autoMode = on;
    // In auto mode each copy's text is read the moment it appears.
    if (m_monitor)
        m_monitor->setReadingText(on);
    Q_EMIT autoModeChanged(on, source);
    refreshHints();
}

QString Collector::stampLine() const
{
    return buildStampLine(m_dateStyle, QDateTime::currentDateTime(), RegionalSettings::system());
}

void Collector::captureInto(SlotNumber slot, Trigger trigger)
{
    if (trigger == Trigger::RemoteSlotButton && m_autoMode) {
        // Choose where the automatic captures go. The slot is the
        // collector's before the remote window shows it, and no events run
        // meanwhile: the window's activation, which the click may bring,
        // puts the active slot's button down.
        setActiveSlot(slot);
        announceActiveSlot();
        return;
    }
    setActiveSlot(slot);
    capture(trigger);
}

void Collector::capture(Trigger trigger)
{
    // Nothing is captured automatically before start-up has read the slot
    // files.
    if ((trigger == Trigger::Automatic && !capturesAutomatically()) || !m_monitor) {
        Q_EMIT captureEnded(CaptureResult::NothingToStore);
        return;
    }
    const SlotNumber slot = m_active;
    // The text may come from the clipboard's owner after the command that
    // asked for it has returned.
    m_monitor->readText(
        this, [this, trigger, slot](ClipboardMonitor::Outcome outcome, const QString& text) {
            endCapture(trigger, slot, outcome, text);
        });
}

void Collector::endCapture(Trigger trigger, SlotNumber slot, ClipboardMonitor::Outcome outcome,
                           const QString& text)
{
    CaptureResult result = CaptureResult::Failed;
    // Copies made before this capture was asked for go first.
    flushAutomaticCaptures();
    try {
        result = captureText(trigger, slot, outcome, text);
    } catch (...) {
        captureFailed(slot, std::current_exception(), trigger == Trigger::Automatic, 1);
    }
    Q_EMIT captureEnded(result);
}

void Collector::captureFailed(SlotNumber slot, std::exception_ptr failure, bool later, int copies)
{
    FailureBox& box = m_failureBoxes[slot.index()];
    if (box.open) {
        box.more += copies;
        Q_EMIT statusMessage(failedCopiesText(slot, box.more));
        return;
    }
    box.open = true;
    // The box says the first copy's failure; the others of its write follow.
    box.more = copies - 1;
    if (later)
        QMetaObject::invokeMethod(
            this, [this, slot, failure] { showCaptureFailures(slot, failure); },
            Qt::QueuedConnection);
    else
        showCaptureFailures(slot, failure);
}

void Collector::showCaptureFailures(SlotNumber slot, std::exception_ptr failure)
{
    // The boxes are modal: the collector may be gone when one closes.
    const QPointer<Collector> alive(this);
    m_errors.reportFailures([&failure] { std::rethrow_exception(failure); });
    while (alive) {
        FailureBox& box = m_failureBoxes[slot.index()];
        const int more = std::exchange(box.more, 0);
        if (more == 0) {
            box.open = false;
            return;
        }
        m_errors.show(failedCopiesText(slot, more));
    }
}

QString Collector::failedCopiesText(SlotNumber slot, int count) const
{
    const QString file = fileName(slot);
    const int number = slot.number();
    if (count == 1)
        return tr("One more copy could not be written to %1; its text is in slot %2, "
                  "which can be saved once the file can be written")
            .arg(file)
            .arg(number);
    return tr("%n more copies could not be written to %1; their text is in slot %2, "
              "which can be saved once the file can be written",
              nullptr, count)
        .arg(file)
        .arg(number);
}

Collector::CaptureResult Collector::captureText(Trigger trigger, SlotNumber number,
                                                ClipboardMonitor::Outcome outcome,
                                                const QString& text)
{
    using Outcome = ClipboardMonitor::Outcome;
    // Checked again: the text may come after the program was asked to end.
    if (trigger == Trigger::Automatic && !capturesAutomatically())
        return CaptureResult::NothingToStore;
    if (outcome == Outcome::NotDelivered)
        return CaptureResult::NotDelivered;
    if (outcome == Outcome::Secret) {
        // Text its owner marked as not to be kept (a password) is never
        // collected; only a capture the user asked for says so.
        if (trigger != Trigger::Automatic)
            Q_EMIT statusMessage(QCoreApplication::translate(
                "Collector", "Secret text on the Clipboard was not captured"));
    } else if (outcome == Outcome::Text) {
        // The file's current text is read first when it changed on disk, so
        // the block goes after it. The user's own command asks what to keep
        // of unsaved text that text would replace; a capture nobody asked
        // for (auto mode, the remote window, the tray) sets it aside.
        Slot& s = slot(number);
        if (trigger == Trigger::User && !settleSlot(number))
            return CaptureResult::NothingToStore;
        const QString aside =
            captureIntoSlot(s.text, stampLine(), s.sync, s.fileName, text, m_sound);
        if (!aside.isEmpty())
            Q_EMIT statusMessage(
                QCoreApplication::translate("Collector", "Unsaved text of the slot kept in %1")
                    .arg(aside));
        reportFileNotes(s);
        return CaptureResult::Stored;
    }
    return CaptureResult::NothingToStore;
}

bool Collector::capturesAutomatically() const
{
    return m_autoMode && m_started && !(m_endRequests && m_endRequests->isRequested());
}

void Collector::setClipboardMonitor(ClipboardMonitor* monitor)
{
    if (m_monitor)
        m_monitor->disconnect(this);
    m_monitor = monitor;
    if (!m_monitor)
        return;
    m_monitor->setReadingText(m_autoMode);
    // A hint that says there is no text while there is would be false: the
    // hints follow every change of the clipboard, before its capture.
    connect(m_monitor, &ClipboardMonitor::changed, this, &Collector::refreshHints);
    connect(m_monitor, &ClipboardMonitor::notDelivered, this, &Collector::statusMessage);
}

void Collector::startWatchingClipboard()
{
    if (!m_monitor || m_monitor->isStopped())
        return;
    // Until start-up has read the slot files the capture writes nothing.
    m_monitor->setCaptureHandler([this](const QString& text) {
        m_waiting.push_back({m_active, text.isEmpty() ? QString() : stampLine(), text});
        if (m_flushTimer.isActive() || m_flushing)
            return;
        if (m_sinceFlush.isValid() && m_sinceFlush.elapsed() < BurstGapMs)
            m_flushTimer.start();
        else
            flushAutomaticCaptures();
    });
}

void Collector::flushAutomaticCaptures()
{
    // One at a time: a copy that comes while a write runs waits behind the
    // ones being written, in order. (A failure's box opens after the write,
    // see captureFailed.)
    if (m_flushing)
        return;
    m_flushing = true;
    const auto done = qScopeGuard([this] {
        m_flushing = false;
        if (!m_waiting.empty())
            m_flushTimer.start();
    });
    m_flushTimer.stop();
    while (!m_waiting.empty()) {
        // The run of copies into one slot, with text or without.
        const SlotNumber number = m_waiting.front().slot;
        const bool withText = !m_waiting.front().text.isEmpty();
        std::vector<CopiedText> copies;
        while (!m_waiting.empty() && m_waiting.front().slot == number &&
               m_waiting.front().text.isEmpty() != withText) {
            copies.push_back(
                {std::move(m_waiting.front().stampLine), std::move(m_waiting.front().text)});
            m_waiting.pop_front();
        }
        CaptureResult result = CaptureResult::Failed;
        try {
            result = captureCopies(number, copies);
        } catch (...) {
            captureFailed(number, std::current_exception(), true, int(copies.size()));
        }
        if (result == CaptureResult::Stored)
            m_sinceFlush.start();
        for (std::size_t i = 0; i < copies.size(); ++i)
            Q_EMIT captureEnded(result);
    }
}

Collector::CaptureResult Collector::captureCopies(SlotNumber number,
                                                  const std::vector<CopiedText>& copies)
{
    // Checked again: the copies may have waited past a request to end.
    if (!capturesAutomatically() || copies.front().text.isEmpty())
        return CaptureResult::NothingToStore;
    Slot& s = slot(number);
    const QString aside = captureIntoSlot(s.text, s.sync, s.fileName, copies, m_sound);
    if (!aside.isEmpty())
        Q_EMIT statusMessage(QStringLiteral("Unsaved text of the slot kept in ") + aside);
    reportFileNotes(s);
    return CaptureResult::Stored;
}

void Collector::stopWatchingClipboard()
{
    flushAutomaticCaptures();
    if (m_monitor)
        m_monitor->stop();
}

bool Collector::isWatchingClipboard() const
{
    return m_monitor && m_monitor->hasCaptureHandler();
}

// The words of every hint are here.
QString Collector::hintText() const
{
    if (!clipboardHasCapturableText())
        return tr("No text in the Clipboard");
    //: The status hint; %1 is the active slot's file
    return (m_autoMode ? tr("Auto clipstow to %1") : tr("Ready to clipstow to %1"))
        .arg(activeFileName());
}

QString Collector::slotButtonHint(SlotNumber slot) const
{
    if (!clipboardHasCapturableText())
        return tr("No text in the Clipboard");
    //: A remote slot button's tool tip; %1 is the slot's file
    return (m_autoMode ? tr("Switch Auto Clipstow to %1") : tr("Clipstow to %1"))
        .arg(fileName(slot));
}

void Collector::refreshHints()
{
    // Nobody looks at the hints of a program that is ending.
    if (m_endRequests && m_endRequests->isRequested())
        return;
    Q_EMIT hintsChanged();
}

void Collector::announceActiveSlot()
{
    refreshHints();
    Q_EMIT activeSlotAnnounced(m_active);
}

QString Collector::fileNamePart(const QString& fileName)
{
    const qsizetype cut =
        std::max({fileName.lastIndexOf(QLatin1Char('\\')), fileName.lastIndexOf(QLatin1Char(':')),
                  fileName.lastIndexOf(QLatin1Char('/'))});
    return fileName.mid(cut + 1);
}

void Collector::restoreSettings()
{
    for (SlotNumber number : SlotNumber::all())
        setFileName(number, m_settings.slotFileName(number.number()));
    readDateStyle();
    setAutoMode(m_settings.autoModeAtStart(), Source::Startup);
}

// Each value on its own: one that cannot be written is reported and the
// rest are still saved.
void Collector::saveSettings() const
{
    for (SlotNumber number : SlotNumber::all())
        m_settings.setSlotFileName(number.number(), fileName(number));
    m_settings.setAutoWasOn(m_autoMode);
    m_settings.setActiveSlot(m_active.number());
}
