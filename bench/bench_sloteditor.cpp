// Times the slot editor on texts of 1 KB, 1 MB and the full capacity:
// loading a slot file, the appends of one capture, reading the text back,
// writing the slot file, and the cheap paths the capture can use instead.
#include "BenchSupport.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

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
    SlotEditor editor;
    editor.resize(800, 600);
    editor.show();
    QApplication::processEvents();
    QApplication::clipboard()->setText(QString(200, QLatin1Char('c')));

    QElapsedTimer timer;
    timer.start();
    editor.readFromFile(path);
    QApplication::processEvents();
    const double load = ms(timer);

    editor.appendLine("\r\n");
    editor.appendLine("Stamp line 2024-01-01 12:00");
    QTextCursor end = editor.textCursor();
    end.movePosition(QTextCursor::End);
    editor.setTextCursor(end);
    editor.pasteClipboard();
    editor.appendLineBreakAndResetUndo();
    editor.appendLine("\r\n");
    QApplication::processEvents();
    const double capture = ms(timer);

    const QString text = editor.text();
    const double readBack = ms(timer);

    editor.setText(text + "\r\n");
    QApplication::processEvents();
    const double setText = ms(timer);

    editor.writeToFile(path);
    const double write = ms(timer);

    editor.markUnchanged();
    editor.appendLine("more");
    const QString tail = editor.textFrom(editor.markedLength());
    const double tailRead = ms(timer);

    for (int i = 0; i < 50; ++i) {
        QTextCursor c = editor.textCursor();
        c.insertText(QStringLiteral("k"));
    }
    QApplication::processEvents();
    const double typing = ms(timer) / 50;

    std::printf("%-6s chars=%9lld  load %8.1f ms  capture(append x3+paste+break) %7.2f ms  "
                "text() %7.1f ms  setText(text()+CRLF) %8.1f ms  WriteToFile %7.1f ms  "
                "textFrom(mark) %6.3f ms  insert char %6.3f ms\n",
                label, (long long)editor.length(), load, capture, readBack, setText, write,
                tailRead, typing);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir dir;
    runOne("1KB", 1024, dir.path());
    runOne("1MB", 1024 * 1024, dir.path());
    runOne("16MB", SlotEditor::MaxCharacters - 1000, dir.path());
    return 0;
}
