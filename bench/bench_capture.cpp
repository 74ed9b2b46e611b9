// Times one capture of a 1 KB clipboard text into slots of 1 KB, 1 MB and
// 16 MB: the appends of the block, the paste, the line break and the write
// of the slot file (the save sound left out), on a real slot editor shown on
// the current platform (offscreen unless QT_QPA_PLATFORM says otherwise) and
// real files. Before each capture the slot is given a fresh file of its size
// and reads it, as at start-up; the median, lowest and highest of several
// captures are printed, with how the file reached the disk. "view@end" has
// the view at the end of the text, as after any earlier capture; "view@top"
// at its start, as for the first capture after start-up, which also brings
// the end of the text into view (the cost of that depends on the window, not
// on the size of the text).
#include "core/Capture.h"
#include "platform/SlotEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

QByteArray sampleFile(qsizetype size)
{
    // Lines of 60 to 100 characters, CR LF, like collected clipboard text.
    QByteArray bytes;
    bytes.reserve(size);
    int n = 0;
    while (bytes.size() < size) {
        const int len = 60 + (n * 37) % 41;
        for (int i = 0; i < len && bytes.size() < size; ++i)
            bytes += char(i % 9 == 8 ? ' ' : 'a' + (n + i) % 26);
        if (bytes.size() + 2 <= size)
            bytes += "\r\n";
        else
            bytes += QByteArray(size - bytes.size(), 'z');
        ++n;
    }
    return bytes;
}

QString clipboardText()
{
    // 1 KB in lines of 64 characters.
    QString text;
    for (int i = 0; text.size() < 1024 - 66; ++i)
        text += QString(64, QLatin1Char('a' + i % 26)) + QStringLiteral("\r\n");
    return text + QString(1024 - text.size(), QLatin1Char('q'));
}

// Gives the slot a file of size bytes, flushed to disk so that the timed
// write flushes nothing but its own bytes, and reads it as at start-up.
// viewAtEnd: the view then shows the end of the text, as after any earlier
// capture; otherwise it shows the start, as right after start-up.
void loadSlot(SlotEditor& editor, SlotFileSync& sync, const QString& path,
              const QByteArray& content, bool viewAtEnd)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size() ||
        !f.flush() || ::fsync(f.handle()) != 0)
        std::abort();
    f.close();
    sync.Read(editor, path);
    if (viewAtEnd)
        editor.moveCursor(QTextCursor::End);
    QApplication::processEvents();
}

struct Figures
{
    double median = 0;
    double min = 0;
    double max = 0;
    double writeMedian = 0;
    bool allAppended = true;
};

double medianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

Figures measure(SlotEditor& editor, SlotFileSync& sync, const QString& path,
                const QByteArray& content, bool viewAtEnd, int repetitions)
{
    const QString stamp = QStringLiteral("===== 12/6/2026 === 12:03:09 PM =====\r\n");
    std::vector<double> times;
    std::vector<double> writes;
    Figures figures;
    for (int i = 0; i < repetitions; ++i) {
        loadSlot(editor, sync, path, content, viewAtEnd);
        QElapsedTimer timer;
        timer.start();
        CaptureIntoSlot(
            editor, stamp,
            [&] {
                QElapsedTimer write;
                write.start();
                sync.Write(editor, path);
                writes.push_back(double(write.nsecsElapsed()) / 1e6);
            },
            [] {});
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        figures.allAppended =
            figures.allAppended && sync.LastMethod() == SlotFileWriter::Method::Appended;
        if (QFileInfo(path).size() < content.size() + 1024 + 45)
            std::abort();
        // The repaint that follows in the program, outside the timing.
        QApplication::processEvents();
    }
    figures.median = medianOf(times);
    figures.min = *std::min_element(times.begin(), times.end());
    figures.max = *std::max_element(times.begin(), times.end());
    figures.writeMedian = medianOf(writes);
    return figures;
}

void print(const char* label, const char* view, qsizetype size, const Figures& f, int repetitions)
{
    std::printf("%-5s %-9s file %8lld B  capture median %7.3f ms  min %7.3f  max %7.3f  "
                "(file write median %6.3f ms; %d runs, %s)\n",
                label, view, (long long)size, f.median, f.min, f.max, f.writeMedian, repetitions,
                f.allAppended ? "all appended" : "NOT all appended");
    std::fflush(stdout);
}

// Returns the median with the view at the end.
double runOne(const char* label, qsizetype size, const QString& dir, int repetitions)
{
    const QString path = dir + QStringLiteral("/slot.txt");
    const QByteArray content = sampleFile(size);
    SlotEditor editor;
    editor.resize(800, 600);
    editor.show();
    SlotFileSync sync;
    const Figures atEnd = measure(editor, sync, path, content, true, repetitions);
    print(label, "view@end", size, atEnd, repetitions);
    const Figures atStart = measure(editor, sync, path, content, false, repetitions);
    print(label, "view@top", size, atStart, repetitions);
    return atEnd.median;
}

} // namespace

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QApplication::clipboard()->setText(clipboardText());
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    // Every file ends 1 KB into a 4 KB block, so that the appended bytes
    // need the same new blocks at every size.
    const double small = runOne("1KB", 1024, dir.path(), repetitions);
    runOne("1MB", 1024 * 1024 + 1024, dir.path(), repetitions);
    // Just under the editor's capacity, with room for the block.
    const double large = runOne("16MB", 16 * 1024 * 1024 - 3072, dir.path(), repetitions);
    std::printf("16MB / 1KB (view at end) = %.2f\n", large / small);
    return 0;
}
