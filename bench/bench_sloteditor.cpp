// Times the slot editor on texts of 1 KB, 1 MB and as much as a slot shows:
// loading a slot file, the block of one capture, reading the text back,
// writing the slot file, and the cheap paths the capture can use instead.
//
// Then one capture of a single line of 300 KB, 600 KB and 1 MB with no line
// break, as the program makes it (appended to a slot that holds a 64 KB
// file, which is written by the slot's file sync), and how the window
// answers afterwards: the paint that follows, a key typed in the long line
// and one typed on a short line, scrolling to the line's middle, and a
// resize. Each line comes without spaces (no place to break it between
// words) and with a space every 8 characters. Wall and thread CPU time are
// printed: on a busy machine the wall time also holds the time others ran.
//
// Arguments: "long" runs only the long lines, "short" only the first part.
#include "BenchSupport.h"
#include "core/SaveSound.h"
#include "core/Slot.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <ctime>

using BenchSupport::sampleFile;

namespace {

double ms(QElapsedTimer& timer)
{
    const double v = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    return v;
}

void runOne(const char* label, qsizetype size, const QString& dir)
{
    const QString path = dir + "/slot.txt";
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return;
        f.write(sampleFile(size));
    }
    BenchSupport::Silence silence;
    SaveSound sound(nullptr, silence);
    Slot slot(path, sound);
    SlotEditor editor;
    editor.showText(&slot.text());
    editor.resize(800, 600);
    editor.show();
    QApplication::processEvents();
    QApplication::clipboard()->setText(QString(200, QLatin1Char('c')));

    SlotText& slotText = slot.text();
    QElapsedTimer timer;
    timer.start();
    slot.read();
    QApplication::processEvents();
    const double load = ms(timer);

    slotText.appendAtEnd(captureBlock(QStringLiteral("Stamp line 2024-01-01 12:00\r\n"),
                                      QApplication::clipboard()->text()));
    QApplication::processEvents();
    const double capture = ms(timer);

    const QString text = editor.text();
    const double readBack = ms(timer);

    editor.setText(text + "\r\n");
    QApplication::processEvents();
    const double setText = ms(timer);

    slot.save();
    const double write = ms(timer);

    slotText.markUnchanged();
    slotText.appendAtEnd("more\n");
    const QString tail = slotText.textLfFrom(slotText.markedLength());
    const double tailRead = ms(timer);

    for (int i = 0; i < 50; ++i) {
        QTextCursor c = editor.textCursor();
        c.insertText(QStringLiteral("k"));
    }
    QApplication::processEvents();
    const double typing = ms(timer) / 50;

    std::printf("%-6s chars=%9lld  load %8.1f ms  capture block %7.2f ms  "
                "text() %7.1f ms  setText(text()+CRLF) %8.1f ms  save %7.1f ms  "
                "textLfFrom(mark) %6.3f ms  insert char %6.3f ms\n",
                label, (long long)editor.length(), load, capture, readBack, setText, write,
                tailRead, typing);
    std::fflush(stdout);
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Wall and CPU time of one step.
struct Lap
{
    QElapsedTimer wall;
    double cpu = 0;
    Lap() { restart(); }
    void restart()
    {
        wall.restart();
        cpu = threadCpuMs();
    }
    // Prints "name wall/cpu" and starts the next step.
    void print(const char* name)
    {
        std::printf("  %s %7.1f/%6.1f", name, double(wall.nsecsElapsed()) / 1e6,
                    threadCpuMs() - cpu);
        restart();
    }
};

void paintNow(SlotEditor& editor)
{
    QApplication::processEvents();
    editor.viewport()->repaint();
}

// Puts the caret at position (untimed), then types one key.
void typeKey(SlotEditor& editor, int position, Lap& lap)
{
    QTextCursor at(editor.document());
    at.setPosition(position);
    editor.setTextCursor(at);
    paintNow(editor);
    lap.restart();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
    QApplication::sendEvent(&editor, &press);
}

void runLongLine(const char* label, int chars, bool spaces, const QString& dir)
{
    QString line(chars, Qt::Uninitialized);
    for (int i = 0; i < chars; ++i)
        line[i] = spaces && i % 8 == 7 ? QLatin1Char(' ') : QLatin1Char("0123456789abcdef"[i % 16]);
    const QString path = dir + QStringLiteral("/long.txt");
    const QByteArray before = sampleFile(64 * 1024);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(before) != before.size())
            std::abort();
    }
    BenchSupport::Silence silence;
    SaveSound sound(nullptr, silence);
    Slot slot(path, sound);
    SlotEditor editor;
    editor.showText(&slot.text());
    editor.resize(800, 600);
    editor.show();
    slot.read();
    const quint64 inode = BenchSupport::inodeOf(path);
    paintNow(editor);
    // The user is in another program while the copy is made.
    QWidget otherWindow;
    otherWindow.show();
    otherWindow.activateWindow();
    QApplication::setActiveWindow(&otherWindow);
    QApplication::clipboard()->setText(line);
    QApplication::processEvents();

    const QString stamp = QStringLiteral("===== 12/6/2026 === 12:03:09 PM =====\r\n");
    std::printf("%-6s %-9s", label, spaces ? "spaces" : "no spaces");
    Lap lap;
    slot.capture(stamp, QApplication::clipboard()->text());
    lap.print("capture+write");
    paintNow(editor);
    lap.print("paint");

    // The file holds what was there and the editor's text, with the line
    // whole between two line breaks.
    QFile f(path);
    const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    if (!bytes.startsWith(before) || bytes != editor.text().toLatin1() ||
        !bytes.contains("\n" + line.toLatin1() + "\r\n") || BenchSupport::inodeOf(path) != inode)
        std::abort();

    const int lineStart = editor.length() - 3 - chars;
    typeKey(editor, lineStart + chars / 2, lap);
    paintNow(editor);
    lap.print("key in line");
    typeKey(editor, lineStart - 2, lap);
    paintNow(editor);
    lap.print("key on short line");
    editor.verticalScrollBar()->setValue(editor.verticalScrollBar()->maximum() / 2);
    paintNow(editor);
    lap.print("scroll");
    editor.resize(760, 600);
    paintNow(editor);
    lap.print("resize");
    std::printf("  (ms wall/cpu)\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QByteArray only = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (only != "long") {
        runOne("1KB", 1024, dir.path());
        runOne("1MB", 1024 * 1024, dir.path());
        // As much as a slot shows of its file (a longer file shows its end).
        runOne("15.7MB", Slot::viewLimit() - 1000, dir.path());
    }
    if (only != "short") {
        for (const bool spaces : {false, true}) {
            runLongLine("300KB", 300 * 1024, spaces, dir.path());
            runLongLine("600KB", 600 * 1024, spaces, dir.path());
            runLongLine("1MB", 1024 * 1024, spaces, dir.path());
        }
    }
    return 0;
}
