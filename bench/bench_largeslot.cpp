// Times captures into slots whose text does not fit the editor, on a real
// slot editor shown on the current platform (offscreen unless
// QT_QPA_PLATFORM says otherwise) and real files, the save sound left out:
// - reading a 20 MB slot file at start-up (its end only is shown);
// - a 1 KB capture into that slot (appended to the file and the view), and
//   one after another program appended 1 KB (in the slot file format: the
//   digest of the 20 MB known is checked and only the new bytes are read;
//   with LF line ends: the file is written whole in the format);
// - the capture that fills the view's headroom, after which the view shows
//   the file's end again;
// - a copy of 50 MB captured into an empty slot and into the 20 MB slot.
// Each figure is checked: the file must hold every byte of every capture.
#include "BenchSupport.h"
#include "core/SlotFileSync.h"
#include "core/slotfile/SlotFile.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QString Stamp = QStringLiteral("===== 12/6/2026 === 12:03:09 PM =====\r\n");

double timeMs(const std::function<void()>& action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    QApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Text of about `length` characters in lines of 70, like a large copy.
QString copyText(qsizetype length)
{
    QString text;
    text.reserve(length + 80);
    for (int i = 0; text.size() < length; ++i)
        text +=
            QStringLiteral("copied line %1 of a very large clipboard text ....................\n")
                .arg(i, 8, 10, QLatin1Char('0'));
    text.truncate(length);
    return text;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

qint64 sizeOf(const QString& path)
{
    return QFileInfo(path).size();
}

} // namespace

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    bool ok = true;

    // A 20 MB slot file read at start-up, then captures of 1 KB.
    const QString big = dir.filePath(QStringLiteral("big.txt"));
    if (!writeFile(big, BenchSupport::sampleFile(20 * 1024 * 1024)))
        return 1;
    SlotEditor editor;
    editor.resize(800, 600);
    editor.show();
    SlotText& text = editor.slotText();
    SlotFileSync sync;
    const double read = timeMs([&] { sync.read(text, big); });
    std::printf("read of a 20 MB slot file: %.0f ms (%lld characters shown, append-only: %s)\n",
                read, static_cast<long long>(editor.length()), sync.isAppendOnly() ? "yes" : "no");

    const QString small = copyText(1024);
    const qsizetype smallBytes = SlotFile::encodePlain(captureBlock(Stamp, small)).size();
    std::vector<double> captures;
    for (int i = 0; i < 21; ++i) {
        const qint64 before = sizeOf(big);
        captures.push_back(timeMs([&] {
            sync.refreshBeforeWrite(text, big);
            sync.appendCapture(text, big, Stamp, small);
        }));
        ok = ok && sizeOf(big) == before + smallBytes;
    }
    std::printf("1 KB capture into the 20 MB slot: median %.1f ms, highest %.1f ms\n",
                median(captures), *std::max_element(captures.begin(), captures.end()));

    // Another program appends 1 KB before each capture: in the slot file
    // format (CR LF), then with LF line ends.
    for (const char* ends : {"\r\n", "\n"}) {
        // Words, as another program writes them (a run of more than 1,000
        // characters without a blank would make the editor wrap anywhere,
        // which lays the whole text out again once).
        const QByteArray other =
            QByteArray("another program's words ").repeated(50).left(1024 - qstrlen(ends)) + ends;
        std::vector<double> afterOther;
        for (int i = 0; i < 21; ++i) {
            QFile file(big);
            if (!file.open(QIODevice::Append) || file.write(other) != other.size())
                return 1;
            file.close();
            const qint64 before = sizeOf(big);
            afterOther.push_back(timeMs([&] {
                sync.refreshBeforeWrite(text, big);
                sync.appendCapture(text, big, Stamp, small);
            }));
            ok = ok && sizeOf(big) >= before + smallBytes;
        }
        std::printf("1 KB capture after another program's 1 KB append (%s): median %.1f ms, "
                    "highest %.1f ms\n",
                    ends[0] == '\r' ? "CR LF" : "LF", median(afterOther),
                    *std::max_element(afterOther.begin(), afterOther.end()));
    }

    // The capture that no longer fits the view's headroom.
    const QString headroom = copyText(SlotFileSync::ViewHeadroom);
    qint64 before = sizeOf(big);
    const double overflow = timeMs([&] {
        sync.refreshBeforeWrite(text, big);
        sync.appendCapture(text, big, Stamp, headroom);
    });
    ok = ok && sizeOf(big) == before + SlotFile::encodePlain(captureBlock(Stamp, headroom)).size();
    std::printf("1 MB capture that fills the view (view read again): %.0f ms\n", overflow);

    // A copy of 50 MB, into an empty slot and into the large one.
    const QString huge = copyText(50 * 1000 * 1000);
    const qsizetype hugeBytes = SlotFile::encodePlain(captureBlock(Stamp, huge)).size();
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    SlotEditor emptyEditor;
    emptyEditor.resize(800, 600);
    emptyEditor.show();
    SlotText& emptyText = emptyEditor.slotText();
    SlotFileSync emptySync;
    emptySync.adopt(emptyText, empty);
    const double intoEmpty = timeMs([&] {
        emptySync.refreshBeforeWrite(emptyText, empty);
        emptySync.appendCapture(emptyText, empty, Stamp, huge);
    });
    ok = ok && sizeOf(empty) == hugeBytes;
    before = sizeOf(big);
    const double intoBig = timeMs([&] {
        sync.refreshBeforeWrite(text, big);
        sync.appendCapture(text, big, Stamp, huge);
    });
    ok = ok && sizeOf(big) == before + hugeBytes;
    std::printf("50 MB copy (%lld bytes written): into an empty slot %.0f ms, into the 20 MB slot "
                "%.0f ms\n",
                static_cast<long long>(hugeBytes), intoEmpty, intoBig);
    std::printf("every capture in its file whole: %s\n", ok ? "yes" : "NO");
    return ok ? 0 : 1;
}
