// The capture sequence on a real slot editor, the application's clipboard and
// real slot files in a temporary folder. The sound output is replaced by one
// that records what it was asked to play (the real output is exercised in
// tst_chime_playback).

#include "core/AppError.h"
#include "core/Capture.h"
#include "core/SaveSound.h"
#include "platform/SlotEditor.h"
#include "platform/SlotFile.h"
#include "support/CountingSound.h"
#include "support/Files.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

namespace {

const QString Stamp = QStringLiteral("===== 12/6/2026 === 12:03:09 PM =====\r\n");
const QString NoDateStamp = QStringLiteral("\r\n\r\n");

const QByteArray BlockHello =
    "\r\n\r\n===== 12/6/2026 === 12:03:09 PM =====\r\n\r\nhello\r\n\r\n\r\n";

} // namespace

using TestSupport::fileBytes;
using TestSupport::FileSizeLimit;
using TestSupport::inodeOf;
using TestSupport::writeBytes;

class TestCapture final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void blockTable_data();
    void blockTable();
    void workedExampleTwice();
    void selectionStaysInPlace();
    void undoHistoryDiscarded();
    void writeFailureKeepsBlockUnsaved();
    void soundFollowsTheWrite();
    void chimeFailureAfterWrite();
    void appendLeavesEarlierBytes();
    void externalChangeIsReadFirst_data();
    void externalChangeIsReadFirst();
    void editsBeforeTheEnd_data();
    void editsBeforeTheEnd();
    void failedAppendLeavesFile();
    void vanishedFolderCannotCreate();
    void fileTheEditorStoresOtherwise_data();
    void fileTheEditorStoresOtherwise();
    void strayCp1252LineKeepsUtf8Text();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestSupport::ScopedRegistry> m_registry;
    TestSupport::CountingSound m_output;
    QString fileName(const QString& name) const { return m_dir->filePath(name); }
};

void TestCapture::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_registry = std::make_unique<TestSupport::ScopedRegistry>();
    m_output.played = 0;
    SaveSound::setOutput(&m_output);
}

void TestCapture::cleanup()
{
    SaveSound::setOutput(nullptr);
    SaveSound::setChimeResource(QString());
    m_registry.reset();
    m_dir.reset();
}

void TestCapture::blockTable_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("empty slot, worked example") << QString() << Stamp << "hello" << BlockHello;
    QTest::newRow("ends mid-line") << "abc" << Stamp << "hello"
                                   << "abc" + BlockHello;
    QTest::newRow("ends with a line break") << "abc\r\n"
                                            << Stamp << "hello"
                                            << "abc\r\n" + BlockHello;
    QTest::newRow("no date") << QString() << NoDateStamp << "hello"
                             << QByteArray("\r\n\r\n\r\n\r\n\r\nhello\r\n\r\n\r\n");
    QTest::newRow("clipboard ends with a line break")
        << QString() << Stamp << "hello\r\n"
        << QByteArray("\r\n\r\n===== 12/6/2026 === 12:03:09 PM =====\r\n\r\nhello\r\n\r\n\r\n\r\n");
    QTest::newRow("clipboard with LF breaks")
        << "x" << NoDateStamp << "a\nb\n\nc"
        << QByteArray("x\r\n\r\n\r\n\r\n\r\na\r\nb\r\n\r\nc\r\n\r\n\r\n");
}

void TestCapture::blockTable()
{
    QFETCH(QString, before);
    QFETCH(QString, stamp);
    QFETCH(QString, clipboard);
    QFETCH(QByteArray, file);

    SlotEditor editor;
    editor.SetText(before);
    QGuiApplication::clipboard()->setText(clipboard);
    const QString name = fileName(QStringLiteral("Default1.txt"));
    SlotFileSync sync;
    CaptureIntoSlot(editor, stamp, sync, name);

    QCOMPARE(fileBytes(name), file);
    QCOMPARE(editor.Text().toLatin1(), file);
    QCOMPARE(m_output.played, 1);
}

void TestCapture::workedExampleTwice()
{
    SlotEditor editor;
    const QString name = fileName(QStringLiteral("Default1.txt"));
    SlotFileSync sync;
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(fileBytes(name).size(), 56);

    QGuiApplication::clipboard()->setText(QStringLiteral("world"));
    CaptureIntoSlot(editor, QStringLiteral("===== 12/6/2026 === 12:04:30 PM =====\r\n"), sync,
                    name);
    // Four blank lines between hello and the second stamp.
    QCOMPARE(fileBytes(name), QByteArray("\r\n\r\n===== 12/6/2026 === 12:03:09 PM =====\r\n\r\n"
                                         "hello\r\n\r\n\r\n"
                                         "\r\n\r\n===== 12/6/2026 === 12:04:30 PM =====\r\n\r\n"
                                         "world\r\n\r\n\r\n"));
    QCOMPARE(m_output.played, 2);
}

void TestCapture::selectionStaysInPlace()
{
    SlotEditor editor;
    editor.SetText(QStringLiteral("one two three"));
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(4);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
    QCOMPARE(editor.SelectedText(), QStringLiteral("two"));

    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    AppendCaptureBlock(editor, NoDateStamp);
    QCOMPARE(editor.Text(), QStringLiteral("one two three\r\n\r\n\r\n\r\n\r\nhello\r\n\r\n\r\n"));
}

void TestCapture::undoHistoryDiscarded()
{
    SlotEditor editor;
    editor.SetText(QStringLiteral("abc"));
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    AppendCaptureBlock(editor, Stamp);
    const QString captured = editor.Text();
    QVERIFY(captured.endsWith(QStringLiteral("hello\r\n\r\n\r\n")));
    // Neither the paste nor the text before it can be undone any more.
    editor.UndoLast();
    QCOMPARE(editor.Text(), captured);
}

void TestCapture::writeFailureKeepsBlockUnsaved()
{
    SlotEditor editor;
    const QString name = fileName(QStringLiteral("missing/Default1.txt"));
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    SlotFileSync sync;
    try {
        CaptureIntoSlot(editor, Stamp, sync, name);
        QFAIL("the write into a missing folder succeeded");
    } catch (const AppError& error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot create file %1").arg(name));
    }
    QVERIFY(editor.Text().endsWith(QStringLiteral("hello\r\n\r\n\r\n")));
    QVERIFY(!QFile::exists(name));
    QCOMPARE(m_output.played, 0);
}

void TestCapture::soundFollowsTheWrite()
{
    SlotEditor editor;
    const QString name = fileName(QStringLiteral("Default2.txt"));
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    QStringList steps;
    CaptureIntoSlot(
        editor, Stamp,
        [&] {
            steps << QStringLiteral("write");
            editor.WriteToFile(name);
        },
        [&] {
            // By now the file holds the whole block.
            QVERIFY(fileBytes(name).endsWith("hello\r\n\r\n\r\n"));
            steps << QStringLiteral("sound");
        });
    QCOMPARE(steps, QStringList({QStringLiteral("write"), QStringLiteral("sound")}));
}

void TestCapture::chimeFailureAfterWrite()
{
    SaveSound::setChimeResource(fileName(QStringLiteral("no-such-chime.wav")));
    SlotEditor editor;
    const QString name = fileName(QStringLiteral("Default3.txt"));
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    SlotFileSync sync;
    QVERIFY_THROWS_EXCEPTION(AppError, CaptureIntoSlot(editor, Stamp, sync, name));
    QVERIFY(fileBytes(name).endsWith("hello\r\n\r\n\r\n"));
    QCOMPARE(m_output.played, 0);
}

void TestCapture::appendLeavesEarlierBytes()
{
    const QString name = fileName(QStringLiteral("Default1.txt"));
    const QByteArray old = "caf\xc3\xa9 \xe2\x82\xac\r\nsecond line";
    writeBytes(name, old, QIODevice::WriteOnly);
    const quint64 inode = inodeOf(name);
    SlotEditor editor;
    SlotFileSync sync;
    sync.Read(editor, name);

    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(sync.LastMethod(), SlotFileWriter::Method::Appended);
    QCOMPARE(inodeOf(name), inode);
    QCOMPARE(fileBytes(name), old + BlockHello);

    // Non-ASCII text added in one capture, then appended after by the next.
    QGuiApplication::clipboard()->setText(QStringLiteral("na\u00efve \u2713\nx"));
    CaptureIntoSlot(editor, Stamp, sync, name);
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(sync.LastMethod(), SlotFileWriter::Method::Appended);
    QCOMPARE(inodeOf(name), inode);
    QCOMPARE(fileBytes(name), editor.Text().toUtf8());
    QVERIFY(fileBytes(name).endsWith("na\xc3\xafve \xe2\x9c\x93\r\nx\r\n\r\n\r\n" + BlockHello));
    QCOMPARE(m_output.played, 3);
}

void TestCapture::externalChangeIsReadFirst_data()
{
    QTest::addColumn<QByteArray>("external");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QByteArray>("kept");
    QTest::addColumn<SlotFileWriter::Method>("method");

    // Exactly the bytes this program would write: the file is known again
    // after reading it, so the next block can be appended.
    QTest::newRow("appended by another program") << QByteArray("added elsewhere\r\n") << false
                                                 << "first\r\n" + BlockHello + "added elsewhere\r\n"
                                                 << SlotFileWriter::Method::Appended;
    // Written with LF breaks: rewritten whole, every break CR LF.
    QTest::newRow("replaced with LF breaks")
        << QByteArray("other\ntext\n") << true << QByteArray("other\r\ntext\r\n")
        << SlotFileWriter::Method::Rewritten;
    QTest::newRow("replaced, same size")
        << QByteArray("FIRST\r\n") + QByteArray(BlockHello).replace("hello", "HELLO") << true
        << "FIRST\r\n" + QByteArray(BlockHello).replace("hello", "HELLO")
        << SlotFileWriter::Method::Appended;
}

void TestCapture::externalChangeIsReadFirst()
{
    QFETCH(QByteArray, external);
    QFETCH(bool, replace);
    QFETCH(QByteArray, kept);
    QFETCH(SlotFileWriter::Method, method);

    const QString name = fileName(QStringLiteral("Default1.txt"));
    writeBytes(name, "first\r\n", QIODevice::WriteOnly);
    SlotEditor editor;
    SlotFileSync sync;
    sync.Read(editor, name);
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(fileBytes(name), "first\r\n" + BlockHello);

    // A replacement is written as other programs save: a new file renamed
    // over the old one.
    if (replace) {
        const QString other = fileName(QStringLiteral("other.tmp"));
        writeBytes(other, external, QIODevice::WriteOnly);
        QVERIFY(::rename(QFile::encodeName(other).constData(),
                         QFile::encodeName(name).constData()) == 0);
    } else {
        writeBytes(name, external, QIODevice::Append);
    }

    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(sync.LastMethod(), method);
    QCOMPARE(fileBytes(name), kept + BlockHello);
    QCOMPARE(editor.Text().toUtf8(), kept + BlockHello);
}

void TestCapture::editsBeforeTheEnd_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<SlotFileWriter::Method>("method");

    QTest::newRow("typed in the middle") << 0 << SlotFileWriter::Method::Rewritten;
    QTest::newRow("last character deleted") << 1 << SlotFileWriter::Method::Rewritten;
    QTest::newRow("same text set again") << 2 << SlotFileWriter::Method::Rewritten;
    QTest::newRow("typed at the end") << 3 << SlotFileWriter::Method::Appended;
}

void TestCapture::editsBeforeTheEnd()
{
    QFETCH(int, edit);
    QFETCH(SlotFileWriter::Method, method);

    const QString name = fileName(QStringLiteral("Default2.txt"));
    writeBytes(name, "one two\r\nthree", QIODevice::WriteOnly);
    SlotEditor editor;
    SlotFileSync sync;
    sync.Read(editor, name);
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    CaptureIntoSlot(editor, Stamp, sync, name);
    const quint64 inode = inodeOf(name);

    QTextCursor cursor(editor.document());
    switch (edit) {
    case 0:
        cursor.setPosition(4);
        cursor.insertText(QStringLiteral("and "));
        break;
    case 1:
        cursor.movePosition(QTextCursor::End);
        cursor.deletePreviousChar();
        break;
    case 2:
        editor.SetText(editor.Text());
        break;
    default:
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("typed"));
        break;
    }
    const QByteArray edited = editor.Text().toUtf8();
    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(sync.LastMethod(), method);
    QCOMPARE(inodeOf(name) == inode, method == SlotFileWriter::Method::Appended);
    QCOMPARE(fileBytes(name), editor.Text().toUtf8());
    QVERIFY(fileBytes(name).startsWith(edited));

    // Marked again after the write: the next capture appends.
    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(sync.LastMethod(), SlotFileWriter::Method::Appended);
    QCOMPARE(fileBytes(name), editor.Text().toUtf8());
}

void TestCapture::failedAppendLeavesFile()
{
    const QString name = fileName(QStringLiteral("Default3.txt"));
    writeBytes(name, "abc\r\n", QIODevice::WriteOnly);
    const quint64 inode = inodeOf(name);
    SlotEditor editor;
    SlotFileSync sync;
    sync.Read(editor, name);
    QGuiApplication::clipboard()->setText(QString(300, QLatin1Char('h')));
    {
        // Room for part of the block only.
        FileSizeLimit limit(100);
        QVERIFY(limit.ok());
        try {
            CaptureIntoSlot(editor, Stamp, sync, name);
            QFAIL("the append beyond the file size limit succeeded");
        } catch (const AppError& error) {
            QCOMPARE(error.message(), QStringLiteral("Failed to Save Stream"));
        }
    }
    QCOMPARE(fileBytes(name), QByteArray("abc\r\n"));
    QCOMPARE(inodeOf(name), inode);
    QVERIFY(
        editor.Text().endsWith(QString(300, QLatin1Char('h')) + QStringLiteral("\r\n\r\n\r\n")));
    QCOMPARE(m_output.played, 0);

    // The next capture writes both blocks.
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(fileBytes(name), editor.Text().toUtf8());
    QCOMPARE(sync.LastMethod(), SlotFileWriter::Method::Rewritten);
    QCOMPARE(fileBytes(name).count("===== 12/6/2026"), 2);
    QCOMPARE(m_output.played, 1);
}

void TestCapture::vanishedFolderCannotCreate()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("slots")));
    const QString name = fileName(QStringLiteral("slots/Default1.txt"));
    SlotEditor editor;
    SlotFileSync sync;
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(fileBytes(name), BlockHello);

    QVERIFY(QDir(fileName(QStringLiteral("slots"))).removeRecursively());
    try {
        CaptureIntoSlot(editor, Stamp, sync, name);
        QFAIL("the write into a removed folder succeeded");
    } catch (const AppError& error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot create file %1").arg(name));
    }
    QCOMPARE(editor.Text().toUtf8(), BlockHello + BlockHello);

    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("slots")));
    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(sync.LastMethod(), SlotFileWriter::Method::Rewritten);
    QCOMPARE(fileBytes(name), BlockHello + BlockHello + BlockHello);
}

void TestCapture::fileTheEditorStoresOtherwise_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SlotFileWriter::Method>("firstMethod");
    QTest::newRow("plain lines") << QByteArray("x y\r\nz\r\n") << SlotFileWriter::Method::Appended;
    // The editor holds a paragraph separator as a line break.
    QTest::newRow("paragraph separator")
        << QByteArray("x\xe2\x80\xa9y\r\n") << SlotFileWriter::Method::Rewritten;
}

// A canonical file whose text the editor keeps in another form is not the
// encoding of the editor's text: appending to it would leave the file
// differing from the buffer, so the first capture rewrites it whole.
void TestCapture::fileTheEditorStoresOtherwise()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SlotFileWriter::Method, firstMethod);
    const QString name = fileName(QStringLiteral("Default1.txt"));
    writeBytes(name, bytes, QIODevice::WriteOnly);
    SlotEditor editor;
    SlotFileSync sync;
    sync.Read(editor, name);
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(sync.LastMethod(), firstMethod);
    QCOMPARE(fileBytes(name), editor.Text().toUtf8());
    CaptureIntoSlot(editor, Stamp, sync, name);
    QCOMPARE(sync.LastMethod(), SlotFileWriter::Method::Appended);
    QCOMPARE(fileBytes(name), editor.Text().toUtf8());
}

// Capture "café ü", another program appends a line in Windows-1252, capture
// again: the first capture's text must come back as it was, not re-read
// byte by byte in the old code page.
void TestCapture::strayCp1252LineKeepsUtf8Text()
{
    const QString name = fileName(QStringLiteral("Default1.txt"));
    SlotEditor editor;
    SlotFileSync sync;
    QGuiApplication::clipboard()->setText(QStringLiteral(u"café ü"));
    CaptureIntoSlot(editor, Stamp, sync, name);
    writeBytes(name, "na\xEFve\r\n", QIODevice::Append);

    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    CaptureIntoSlot(editor, Stamp, sync, name);
    const QString expected = QStringLiteral(u"\r\n\r\n") + Stamp +
                             QStringLiteral(u"\r\ncafé ü\r\n\r\n\r\nnaïve\r\n") +
                             QString::fromLatin1(BlockHello);
    QCOMPARE(editor.Text(), expected);
    QCOMPARE(SlotFile::decodePlain(fileBytes(name)),
             QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(fileBytes(name).contains("caf\xC3\xA9 \xC3\xBC\r\n"));
}

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
