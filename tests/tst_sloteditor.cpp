// The slot editor widget on a slot's text: typing, undo and its limit,
// clipboard, capacity, the caret after the text is replaced or added to,
// the hidden inactive selection, the line-selection strip and long lines.
#include "base/AppError.h"
#include "core/SaveSound.h"
#include "core/Slot.h"
#include "support/CountingSound.h"
#include "support/Files.h"
#include "support/TestMain.h"
#include "ui/editor/SlotEditor.h"
#include "ui/editor/SlotFindDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

namespace {

// n characters in lines of 100, ending with a letter. (One line of millions
// of characters would make every keystroke lay out the whole line.)
QString filler(int n)
{
    QString text(n, QLatin1Char('a'));
    for (int i = 99; i < n - 1; i += 100)
        text[i] = QLatin1Char('\n');
    return text;
}

// n hexadecimal digits: one line with no place to break it between words.
QString unbreakableLine(int n)
{
    QString line(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        line[i] = QLatin1Char("0123456789abcdef"[i % 16]);
    return line;
}

void typeAtStart(SlotEditor& editor, char c)
{
    QTextCursor cursor = editor.textCursor();
    cursor.movePosition(QTextCursor::Start);
    editor.setTextCursor(cursor);
    QTest::keyClick(&editor, c);
}

} // namespace

using TestSupport::errorOf;
using TestSupport::fileBytes;
using TestSupport::writeBytes;

class TestSlotEditor final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // With the caret in the middle and text selected, a capture adds its
    // block at the end, keeps the text, and leaves the caret at the end.
    // The text a rich-text slot file records is in the editor's font, also
    // for a text the editor is given later.
    void textHasTheEditorsFont()
    {
        SlotEditor editor;
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSize(15);
        editor.setFont(font);
        QCOMPARE(editor.slotText().font(), font);
        SlotText text;
        editor.showText(&text);
        QCOMPARE(text.font(), font);
    }

    void captureMovesCaretToTheEnd()
    {
        SlotEditor editor;
        editor.setText("one two three");
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(4);
        cursor.setPosition(7, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        editor.slotText().appendAtEnd("\n\nblock\n");
        QCOMPARE(editor.text(), QString("one two three\r\n\r\nblock\r\n"));
        QCOMPARE(editor.textCursor().position(), editor.length());
        QVERIFY(!editor.textCursor().hasSelection());
    }

    void setTextDiscardsUndoAndClearsModified()
    {
        SlotEditor editor;
        editor.show();
        typeAtStart(editor, 'a');
        QVERIFY(editor.isModified());
        editor.setText("new");
        QVERIFY(!editor.isModified());
        editor.undoLast();
        QCOMPARE(editor.text(), QString("new"));
        QCOMPARE(editor.textCursor().position(), 0);
    }

    void undoKeepsAtMostHundredSteps()
    {
        SlotEditor editor;
        for (int i = 0; i < 130; ++i)
            typeAtStart(editor, 'a' + i % 26);
        QCOMPARE(editor.length(), 130);
        for (int i = 0; i < 200; ++i)
            editor.undoLast();
        QCOMPARE(editor.length(), 30);
        // The keyboard's undo goes through the same limit; redo is not offered.
        typeAtStart(editor, 'z');
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor.length(), 30);
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(&editor, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(editor.length(), 30);
    }

    void undoAfterLimitThenNewStepsCountAgain()
    {
        SlotEditor editor;
        for (int i = 0; i < 100; ++i)
            typeAtStart(editor, 'a');
        for (int i = 0; i < 100; ++i)
            editor.undoLast();
        QCOMPARE(editor.length(), 0);
        QVERIFY(!editor.isModified());
        typeAtStart(editor, 'b');
        typeAtStart(editor, 'c');
        editor.undoLast();
        QCOMPARE(editor.text(), QString("b"));
    }

    void pasteReplacesSelectionAndIsUndoable()
    {
        SlotEditor editor;
        editor.setText("hello world");
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(6);
        cursor.setPosition(11, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        QApplication::clipboard()->setText("XY\r\nZ");
        editor.pasteClipboard();
        QCOMPARE(editor.text(), QString("hello XY\r\nZ"));
        QCOMPARE(editor.textCursor().position(), editor.length());
        QVERIFY(editor.isModified());
        editor.undoLast();
        QCOMPARE(editor.text(), QString("hello world"));
    }

    void pasteWithoutTextDoesNothing()
    {
        SlotEditor editor;
        editor.setText("abc");
        QApplication::clipboard()->clear();
        QSignalSpy changes(&editor, &SlotEditor::contentChanged);
        editor.pasteClipboard();
        QCOMPARE(editor.text(), QString("abc"));
        QCOMPARE(changes.count(), 0);
        QVERIFY(!editor.isModified());
    }

    void cutAndCopyUsePlainText()
    {
        SlotEditor editor;
        editor.setText(QString("one\r\ntw\u00a0o\r\nthree"));
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(0);
        cursor.setPosition(8, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        QCOMPARE(editor.selectedText(), QString("one\r\ntw\u00a0o"));
        editor.copySelection();
        QCOMPARE(QApplication::clipboard()->text(), QString("one\ntw\u00a0o"));
        editor.cutSelection();
        QCOMPARE(editor.text(), QString("\r\nthree"));
        editor.undoLast();
        QCOMPARE(editor.text(), QString("one\r\ntw\u00a0o\r\nthree"));
    }

    void shiftEnterIsALineBreak()
    {
        SlotEditor editor;
        QTest::keyClicks(&editor, "ab");
        QTest::keyClick(&editor, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(&editor, "c");
        QCOMPARE(editor.text(), QString("ab\r\nc"));
    }

    void clearTextClearsModified()
    {
        SlotEditor editor;
        QTest::keyClicks(&editor, "abc");
        QVERIFY(editor.isModified());
        editor.clearText();
        QCOMPARE(editor.text(), QString());
        QVERIFY(!editor.isModified());
    }

    void onChangeFollowsEveryChange()
    {
        SlotEditor editor;
        QSignalSpy changes(&editor, &SlotEditor::contentChanged);
        editor.setText("a");
        const int afterSet = int(changes.count());
        QVERIFY(afterSet > 0);
        editor.slotText().appendAtEnd("b");
        QVERIFY(changes.count() > afterSet);
        const int afterAppend = int(changes.count());
        QTest::keyClicks(&editor, "c");
        QVERIFY(changes.count() > afterAppend);
    }

    void capacityCutsInputOff()
    {
        const int max = SlotText::MaxCharacters;
        SlotEditor editor;
        editor.setText(filler(max - 1));
        QTextCursor end = editor.textCursor();
        end.movePosition(QTextCursor::End);
        editor.setTextCursor(end);
        QTest::keyClicks(&editor, "qr");
        QTest::keyClick(&editor, Qt::Key_Return);
        QCOMPARE(editor.length(), max);
        QVERIFY(editor.text().endsWith(QLatin1Char('q')));

        // Replacing a selection frees its room.
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(0);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        QApplication::clipboard()->setText("12345");
        editor.pasteClipboard();
        QCOMPARE(editor.length(), max);
        QCOMPARE(editor.text().left(3), QString("12a"));
    }

    void readGoesToTopAndFailureKeepsText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("long.txt");
        QByteArray lines;
        for (int i = 0; i < 500; ++i)
            lines += "line " + QByteArray::number(i) + "\n";
        writeBytes(path, lines);
        TestSupport::CountingSound output;
        SaveSound sound(nullptr, output);
        Slot slot(path, sound);
        SlotEditor editor;
        editor.showText(&slot.text());
        editor.resize(300, 200);
        editor.show();
        editor.setText("old\n" + QString(3000, QLatin1Char('x')));
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.moveCursor(QTextCursor::End);
        slot.read();
        QCOMPARE(editor.textCursor().position(), 0);
        QCOMPARE(editor.verticalScrollBar()->value(), 0);
        QTRY_VERIFY(editor.verticalScrollBar()->isVisible());
        QVERIFY(!editor.horizontalScrollBar()->isVisible());

        const QString missing = dir.filePath("missing.txt");
        slot.setFileName(missing);
        QCOMPARE(errorOf([&] { slot.read(); }), "Cannot open file " + missing);
        QCOMPARE(editor.length(), lines.size());
    }

    // Regression: captures made while the window was hidden left the view
    // in the middle of the text when the window was shown again.
    void viewFollowsCapturesMadeWhileHidden()
    {
        SlotEditor editor;
        for (int n = 0; n < 300; ++n)
            editor.slotText().appendAtEnd(
                QStringLiteral("line %1 of a capture made while hidden, long enough to wrap\n")
                    .arg(n));
        QCoreApplication::processEvents();
        editor.resize(300, 200);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QTRY_VERIFY(editor.viewport()->rect().contains(editor.cursorRect()));
    }

    void scrollBarOnlyWhenNeeded()
    {
        SlotEditor editor;
        editor.resize(300, 200);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.setText("short");
        QApplication::processEvents();
        QVERIFY(!editor.verticalScrollBar()->isVisible());
        QVERIFY(!editor.horizontalScrollBar()->isVisible());
        editor.setText(QString(5000, QLatin1Char('w'))); // one long line wraps
        QApplication::processEvents();
        QVERIFY(editor.verticalScrollBar()->isVisible());
        QVERIFY(!editor.horizontalScrollBar()->isVisible());
        QVERIFY(editor.document()->firstBlock().layout()->lineCount() > 10);
    }

    void selectionInvisibleWithoutFocus()
    {
        QWidget other;
        SlotEditor editor;
        editor.resize(300, 200);
        editor.setText("some text to select\r\nand another line");
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!editor.hasFocus());

        const QImage plain = editor.grab().toImage();
        editor.selectAllText();
        const QImage selectedUnfocused = editor.grab().toImage();
        QCOMPARE(selectedUnfocused, plain);

        editor.activateWindow();
        editor.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QTRY_VERIFY(editor.hasFocus());
        const QImage selectedFocused = editor.grab().toImage();
        QVERIFY(selectedFocused != plain);
    }

    void selectionStripSelectsWholeLines()
    {
        SlotEditor editor;
        editor.resize(300, 200);
        editor.setText("first\r\nsecond\r\nthird\r\nlast");
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QWidget* strip = editor.childAt(editor.contentsRect().left() + 2, editor.height() / 2);
        QVERIFY(strip != nullptr);
        QVERIFY(strip != editor.viewport());
        QVERIFY(strip->geometry().right() < editor.viewport()->geometry().left());

        const auto lineY = [&](int line) {
            QTextCursor at(editor.document()->findBlockByNumber(line));
            return editor.cursorRect(at).center().y();
        };
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(3, lineY(1)));
        QCOMPARE(editor.selectedText(), QString("second\r\n"));

        QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(3, lineY(2)));
        QMouseEvent move(QEvent::MouseMove, QPointF(3, lineY(3)),
                         strip->mapToGlobal(QPointF(3, lineY(3))), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(strip, &move);
        QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(3, lineY(3)));
        QCOMPARE(editor.selectedText(), QString("third\r\nlast"));

        QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(3, lineY(2)));
        QMouseEvent up(QEvent::MouseMove, QPointF(3, lineY(0)),
                       strip->mapToGlobal(QPointF(3, lineY(0))), Qt::NoButton, Qt::LeftButton,
                       Qt::NoModifier);
        QApplication::sendEvent(strip, &up);
        QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(3, lineY(0)));
        QCOMPARE(editor.selectedText(), QString("first\r\nsecond\r\nthird\r\n"));
        QCOMPARE(editor.textCursor().position(), 0);
    }

    // One long line froze the program: laying out a line with a long run
    // that has no place to break took time growing with the square of its
    // length (300 KB: 10 s). The capture keeps the line whole in the text and
    // the file; the view wraps it anywhere, and the caret, typing, undo,
    // selection and find work on it.
    void longSingleLineCaptureKeepsLineWholeAndViewUsable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("slot.txt");
        // A slot with a history: more lines than the view shows.
        const QByteArray before = QByteArray("first line\r\n").repeated(100);
        writeBytes(path, before);
        SlotEditor editor;
        editor.resize(400, 300);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        TestSupport::CountingSound output;
        SaveSound sound(nullptr, output);
        Slot slot(path, sound);
        editor.showText(&slot.text());
        slot.read();
        QCOMPARE(editor.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);

        const QString line = unbreakableLine(200'000);
        slot.capture(QStringLiteral("STAMP\r\n"), line);
        const QByteArray expected =
            before + "\r\n\r\nSTAMP\r\n\r\n" + line.toLatin1() + "\r\n\r\n\r\n";
        QCOMPARE(fileBytes(path), expected);
        QCOMPARE(editor.text(), QString::fromLatin1(expected));
        // No break added inside the line, in the document either.
        QCOMPARE(editor.document()->blockCount(), int(expected.count('\n')) + 1);
        QCOMPARE(editor.textCursor().position(), editor.length());

        // The view wraps the line on many screen lines within its width.
        QCOMPARE(editor.wordWrapMode(), QTextOption::WrapAnywhere);
        editor.viewport()->repaint();
        const int lineStart = int(before.size()) - 100 + int(QString("\n\nSTAMP\n\n").size());
        const QTextBlock block = editor.document()->findBlock(lineStart);
        QCOMPARE(block.text(), line);
        QVERIFY(block.layout()->lineCount() > 100);
        for (int i = 0; i < block.layout()->lineCount(); ++i)
            QVERIFY(block.layout()->lineAt(i).naturalTextWidth() <= editor.viewport()->width());
        QVERIFY(!editor.horizontalScrollBar()->isVisible());
        // The view followed the caret to the end.
        QTRY_VERIFY(editor.viewport()->rect().contains(editor.cursorRect()));

        // Typing inside the line, undo, selection, find.
        QTextCursor cursor(editor.document());
        cursor.setPosition(block.position() + 150'000);
        editor.setTextCursor(cursor);
        QTest::keyClick(&editor, Qt::Key_X);
        QCOMPARE(editor.document()->findBlock(lineStart).text(),
                 line.left(150'000) + "x" + line.mid(150'000));
        editor.undoLast();
        QCOMPARE(editor.text(), QString::fromLatin1(expected));
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + line.size(), QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        QCOMPARE(editor.selectedText(), line);
        cursor.setPosition(block.position());
        editor.setTextCursor(cursor);
        // The digits repeat; with the line break after them they are unique.
        editor.openFindDialog(line.right(20) + "\r\n");
        QTest::mouseClick(editor.findDialog()->findNextButton(), Qt::LeftButton);
        QCOMPARE(editor.textCursor().selectionStart(), block.position() + 199'980);

        // Written back whole after an edit, too.
        slot.save();
        QCOMPARE(fileBytes(path), expected);
    }

    void wrapModeFollowsTheText()
    {
        SlotEditor editor;
        // Long lines with spaces keep word wrapping; a long run without one,
        // loaded or typed, wraps anywhere until a text without it is loaded.
        editor.setText(QString("word ").repeated(40'000));
        QCOMPARE(editor.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        editor.setText("short\r\n" + unbreakableLine(1000) + " tail");
        QCOMPARE(editor.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        QTextCursor end(editor.document());
        end.setPosition(6 + 1000);
        editor.setTextCursor(end);
        QTest::keyClick(&editor, Qt::Key_Z); // run of 1001
        QCOMPARE(editor.wordWrapMode(), QTextOption::WrapAnywhere);
        editor.setText("short\r\nlines");
        QCOMPARE(editor.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        editor.setText(unbreakableLine(5000));
        QCOMPARE(editor.wordWrapMode(), QTextOption::WrapAnywhere);
        editor.clearText();
        QCOMPARE(editor.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);

        // A long paste (laid out when shown) is one undo step.
        editor.setText("a\r\nb");
        QTextCursor cursor = editor.textCursor();
        cursor.movePosition(QTextCursor::End);
        editor.setTextCursor(cursor);
        QApplication::clipboard()->setText(unbreakableLine(20'000));
        editor.pasteClipboard();
        QCOMPARE(editor.text(), "a\r\nb" + unbreakableLine(20'000));
        QCOMPARE(editor.textCursor().position(), editor.length());
        editor.undoLast();
        QCOMPARE(editor.text(), QString("a\r\nb"));
    }
};

CLIPSTOW_TEST_MAIN(TestSlotEditor)
#include "tst_sloteditor.moc"
