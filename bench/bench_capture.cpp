// Times one capture of a 1 KB clipboard text into slots of 1 KB, 1 MB and
// 16 MB on real slot editors shown on the current platform (offscreen unless
// QT_QPA_PLATFORM says otherwise) and real files: the capture's write of the
// slot file and the block added to the buffer (the save sound left out).
//
// Fairness between the sizes:
// - every file starts 1 KB into a 4 KB disk block and every capture adds the
//   same bytes, so the n-th capture needs the same new disk blocks at every
//   size;
// - each slot first reads its file (as at start-up) and takes one capture
//   that is not timed, so every timed capture finds the view, the caret and
//   the undo history as an earlier capture left them;
// - the sizes take turns, one capture each per round, so that the load of
//   the machine falls on all of them alike; the median of many rounds is
//   printed, with the lowest and highest;
// - none of the slots has the keyboard focus, as while the user copies in
//   another program;
// - the repaint that follows a capture in the program runs after each one,
//   outside the timing.
// The parts are timed in rounds of their own: the block added to the slot's
// text, a whole write of the slot (Save, with its flush to disk), and for
// reference the same number of bytes appended and flushed to a plain file.
//
// The first capture after start-up, with the view still at the start of the
// text, also brings the end into view; it is timed on a freshly read slot
// ("first capture"), which costs a whole read per run, so fewer runs.
#include "BenchSupport.h"
#include "core/SaveSound.h"
#include "core/Slot.h"
#include "core/slotfile/SlotFile.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

using BenchSupport::sampleFile;

namespace {

QString clipboardText()
{
    // 1 KB in lines of 64 characters.
    QString text;
    for (int i = 0; text.size() < 1024 - 66; ++i)
        text += QString(64, QLatin1Char('a' + i % 26)) + QStringLiteral("\r\n");
    return text + QString(1024 - text.size(), QLatin1Char('q'));
}

// Writes content to path and flushes it to disk, so that a timed write
// flushes nothing but its own bytes.
void putFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size() ||
        !f.flush() || ::fsync(f.handle()) != 0)
        std::abort();
}

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double medianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

const QString Stamp = QStringLiteral("===== 12/6/2026 === 12:03:09 PM =====\r\n");

// The save sound, left out.
SaveSound& silentSound()
{
    static BenchSupport::Silence silence;
    static SaveSound sound(nullptr, silence);
    return sound;
}

struct SlotRun
{
    SlotRun(const char* label_, qsizetype size_) : label(label_), size(size_) {}
    const char* label;
    qsizetype size;
    QString path;
    std::unique_ptr<Slot> slot;
    std::unique_ptr<SlotEditor> editor;
    SlotText& text() const { return slot->text(); }
    // Shows the slot of the file at path in a new editor.
    void open()
    {
        slot = std::make_unique<Slot>(path, silentSound());
        editor = std::make_unique<SlotEditor>();
        editor->showText(&slot->text());
        editor->resize(800, 600);
        editor->show();
    }
    // Every capture added its block's bytes to the file, which stayed the
    // same file.
    bool allAppended = true;
    std::vector<double> capture;
    // Parts: the block added to the text, Save.
    std::vector<double> parts[2];
};

// One capture as the program makes it, without the sound: a file another
// program changed is read first, then the block goes to the file and the
// text.
void capture(SlotRun& slot)
{
    slot.slot->capture(Stamp, QApplication::clipboard()->text());
}

void timedCapture(SlotRun& slot)
{
    const qint64 before = QFileInfo(slot.path).size();
    const quint64 inode = BenchSupport::inodeOf(slot.path);
    const qint64 blockBytes =
        SlotFile::encodePlainContinued(captureBlock(Stamp, QApplication::clipboard()->text()))
            .size();
    QElapsedTimer timer;
    timer.start();
    capture(slot);
    slot.capture.push_back(msSince(timer));
    slot.allAppended = slot.allAppended && BenchSupport::inodeOf(slot.path) == inode &&
                       QFileInfo(slot.path).size() == before + blockBytes;
    QApplication::processEvents();
}

// The block added to the text, and a whole write (Save), each timed.
void timedParts(SlotRun& slot)
{
    const QString block = captureBlock(Stamp, QApplication::clipboard()->text());
    const std::function<void()> steps[2] = {
        [&] { slot.text().appendAtEnd(block); },
        [&] { slot.slot->save(); },
    };
    for (int i = 0; i < 2; ++i) {
        QElapsedTimer timer;
        timer.start();
        steps[i]();
        slot.parts[i].push_back(msSince(timer));
    }
    QApplication::processEvents();
}

// The bytes of one capture appended to a plain file and flushed, as the
// writer does: the floor of the write.
double rawAppendMedian(const QString& path, qsizetype bytes, int runs)
{
    putFile(path, QByteArray(1024, 'x'));
    const QByteArray data(bytes, 'y');
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND);
        if (fd < 0 || ::write(fd, data.constData(), size_t(data.size())) != data.size() ||
            ::fdatasync(fd) != 0)
            std::abort();
        ::close(fd);
        times.push_back(msSince(timer));
    }
    return medianOf(times);
}

// The first capture after start-up: freshly read, view at the start.
double firstCaptureMedian(SlotRun& slot, const QByteArray& content, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        putFile(slot.path, content);
        slot.slot->read();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        capture(slot);
        times.push_back(msSince(timer));
        QApplication::processEvents();
    }
    return medianOf(times);
}

} // namespace

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Rounds of whole captures (as many again for the parts); runs of the
    // first capture after start-up (0 leaves them out).
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
    const int firstRuns = argc > 2 ? std::max(0, std::atoi(argv[2])) : 5;
    QApplication::clipboard()->setText(clipboardText());
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    // Every file ends 1 KB into a 4 KB block; the largest is just under the
    // editor's capacity, with room for the captures.
    SlotRun slots[] = {
        {"1KB", 1024}, {"1MB", 1024 * 1024 + 1024}, {"16MB", 16 * 1024 * 1024 - 3072}};
    std::vector<QByteArray> contents;
    qsizetype blockBytes = 0;
    for (SlotRun& slot : slots) {
        slot.path = dir.path() + QStringLiteral("/slot%1.txt").arg(slot.size);
        slot.open();
        contents.push_back(sampleFile(slot.size));
        putFile(slot.path, contents.back());
        slot.slot->read();
        QApplication::processEvents();
        // The untimed capture that leaves the slot as after any capture.

        capture(slot);
        QApplication::processEvents();
        blockBytes = QFileInfo(slot.path).size() - slot.size;
    }
    // The capture usually happens while another program is in front: none
    // of the slots has the keyboard focus (the one shown last would
    // otherwise, and only it would update the input method on each edit).
    QWidget otherWindow;
    otherWindow.resize(100, 100);
    otherWindow.show();
    otherWindow.activateWindow();
    QApplication::setActiveWindow(&otherWindow);
    QApplication::processEvents();
    for (const SlotRun& slot : slots)
        if (slot.editor->hasFocus())
            std::abort();
    const qsizetype startSize[] = {QFileInfo(slots[0].path).size(), QFileInfo(slots[1].path).size(),
                                   QFileInfo(slots[2].path).size()};
    for (int r = 0; r < rounds; ++r)
        for (SlotRun& slot : slots)
            timedCapture(slot);
    for (int r = 0; r < rounds; ++r)
        for (SlotRun& slot : slots)
            timedParts(slot);
    for (int i = 0; i < 3; ++i)
        if (QFileInfo(slots[i].path).size() != startSize[i] + 2 * rounds * blockBytes)
            std::abort();

    std::printf("one capture adds %lld bytes; %d rounds, sizes in turn\n", (long long)blockBytes,
                rounds);
    std::printf("%-5s %9s | %8s %8s %8s | %s\n", "slot", "file B", "capture", "min", "max",
                "appended");
    for (const SlotRun& slot : slots) {
        std::printf("%-5s %9lld | %8.3f %8.3f %8.3f | %s\n", slot.label, (long long)slot.size,
                    medianOf(slot.capture),
                    *std::min_element(slot.capture.begin(), slot.capture.end()),
                    *std::max_element(slot.capture.begin(), slot.capture.end()),
                    slot.allAppended ? "all" : "NOT all");
    }
    std::printf("parts (medians, ms): %-8s %8s %8s\n", "slot", "block", "save");
    for (const SlotRun& slot : slots) {
        std::printf("                     %-8s", slot.label);
        for (const auto& part : slot.parts)
            std::printf(" %8.3f", medianOf(part));
        std::printf("\n");
    }
    std::printf("raw append of %lld bytes + fdatasync: median %.3f ms\n", (long long)blockBytes,
                rawAppendMedian(dir.path() + QStringLiteral("/raw.txt"), blockBytes, rounds));
    std::printf("16MB / 1KB capture medians = %.2f\n",
                medianOf(slots[2].capture) / medianOf(slots[0].capture));
    if (firstRuns > 0) {
        for (int i = 0; i < 3; ++i)
            std::printf("first capture after start-up (view at start), %-5s median %.3f ms "
                        "(%d runs)\n",
                        slots[i].label, firstCaptureMedian(slots[i], contents[i], firstRuns),
                        firstRuns);
    }
    // A copy of 10 MiB into a shown slot: the capture until the file holds
    // it, then until the editor has shown it.
    {
        const QString large =
            QString(10 * 1024 * 1024 / 64, QLatin1Char('.'))
                .replace(QLatin1Char('.'), QString(63, QLatin1Char('t')) + QLatin1Char('\n'));
        SlotRun big("10MiB", 0);
        big.path = dir.path() + QStringLiteral("/large.txt");
        big.open();
        big.slot->adopt();
        QApplication::processEvents();
        const qint64 expected = SlotFile::encodePlain(captureBlock(Stamp, large)).size();
        QElapsedTimer timer;
        timer.start();
        // Watches the file from another thread: the capture's own thread is
        // busy until the text is in the slot.
        std::atomic<double> onDisk{-1};
        std::thread watch([&] {
            while (QFileInfo(big.path).size() < expected && timer.elapsed() < 60'000)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            onDisk = msSince(timer);
        });
        big.slot->capture(Stamp, large);
        const double captured = msSince(timer);
        watch.join();
        QApplication::processEvents();
        big.editor->viewport()->repaint();
        std::printf("10 MiB copy: in the file after %.0f ms, capture returned after %.0f ms, "
                    "shown after %.0f ms\n",
                    onDisk.load(), captured, msSince(timer));
    }
    std::fflush(stdout);
    return 0;
}
