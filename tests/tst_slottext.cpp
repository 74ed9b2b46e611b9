// A slot's text without any widget: line breaks in and out, the capacity,
// what the capture and the slot file need to know (the unchanged start, the
// modified flag, the undo steps), and which characters it keeps its own way.
#include "core/SlotText.h"
#include "support/TestMain.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

class TestSlotText final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineBreaksInAndOut_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("LF") << "a\nb\n"
                            << "a\r\nb\r\n";
        QTest::newRow("CR") << "a\rb"
                            << "a\r\nb";
        QTest::newRow("CR LF") << "a\r\nb"
                               << "a\r\nb";
        QTest::newRow("LF CR is two") << "a\n\rb"
                                      << "a\r\n\r\nb";
        QTest::newRow("CR CR LF") << "\r\r\n"
                                  << "\r\n\r\n";
        QTest::newRow("no-break space kept") << QString("a\u00a0b") << QString("a\u00a0b");
        QTest::newRow("empty") << ""
                               << "";
    }

    void lineBreaksInAndOut()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        SlotText text;
        text.setText(in);
        QCOMPARE(text.text(), out);
        QCOMPARE(text.textLf(), QString(out).replace("\r\n", "\n"));
        QCOMPARE(text.length(), text.textLf().size());
        QCOMPARE(text.textLfFrom(1), text.textLf().mid(1));
    }

    // What a capture and the slot file rely on: text added at the end
    // leaves the marked start unchanged; an edit before the end, wherever
    // it is, lowers it; the capture's append is not undone and clears the
    // modified flag an edit set.
    void unchangedStartModifiedFlagAndUndo()
    {
        SlotText text;
        text.setText("abc\r\ndef");
        text.markUnchanged();
        QCOMPARE(text.markedLength(), 7);
        QVERIFY(!text.hasUnsavedText());

        QTextCursor cursor(text.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText("g");
        QVERIFY(text.isModified());
        QVERIFY(text.canUndo());
        QCOMPARE(text.unchangedPrefixLength(), 7);
        QVERIFY(text.hasUnsavedText());

        text.appendAtEnd("\n\nblock\n");
        QVERIFY(!text.isModified());
        QVERIFY(!text.canUndo());
        QCOMPARE(text.unchangedPrefixLength(), 7);
        QCOMPARE(text.textLfFrom(text.markedLength()), QString("g\n\nblock\n"));

        cursor.setPosition(2);
        cursor.deleteChar();
        QCOMPARE(text.unchangedPrefixLength(), 2);
        QVERIFY(text.takeUndoStep());
        QVERIFY(!text.takeUndoStep());
        text.markUnchanged();
        QCOMPARE(text.unchangedPrefixLength(), text.length());

        text.setText("zzz");
        QCOMPARE(text.unchangedPrefixLength(), 0);
        QVERIFY(!text.isModified());
        QVERIFY(!text.document()->isUndoAvailable());
    }

    void capacityCutsTextOff()
    {
        const int max = SlotText::MaxCharacters;
        SlotText text;
        text.setText(QString(max + 10, QLatin1Char('a')));
        QCOMPARE(text.length(), max);
        text.setText(QString(max - 2, QLatin1Char('a')));
        text.appendAtEnd("\nxyz");
        QCOMPARE(text.length(), max);
        QCOMPARE(text.textLfFrom(max - 3), QString("a\nx"));
    }

    // keepsAsGiven tells exactly which characters the document makes line
    // breaks.
    void keepsAsGivenMatchesTheDocument()
    {
        const QList<char16_t> characters = {u'\r',  0x2029, 0xFDD0, 0xFDD1, 0x2028,
                                            0x00A0, 0x0000, 0xFEFF, u'\t'};
        for (const char16_t c : characters) {
            const QString given = QStringLiteral("a") + QChar(c) + QStringLiteral("b");
            SlotText text;
            text.appendAtEnd(given);
            QCOMPARE(SlotText::keepsAsGiven(given), text.textLf() == given);
        }
        QVERIFY(!SlotText::keepsAsGiven(QStringLiteral("a\rb")));
        QVERIFY(SlotText::keepsAsGiven(QStringLiteral("a\nb")));
    }
};

CLIPSTOW_TEST_MAIN(TestSlotText)
#include "tst_slottext.moc"
