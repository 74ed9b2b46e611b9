// The capture sequence on a slot's text, a clipboard text and real slot
// files in a temporary folder, without any widget. The sound
// output is replaced by one that records what it was asked to play (the real
// output is exercised in tst_chime_playback).

#include "base/AppError.h"
#include "core/Capture.h"
#include "core/SaveSound.h"
#include "core/SlotFileSync.h"
#include "core/SlotText.h"
#include "core/slotfile/SlotFile.h"
#include "platform/FileSizeLimit.h"
#include "support/CountingSound.h"
#include "support/Files.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Stamp = QStringLiteral("===== 12/6/2026 === 12:03:09 PM =====\r\n");
const QString NoDateStamp = QStringLiteral("\r\n\r\n");

const QByteArray BlockHello =
    "\r\n\r\n===== 12/6/2026 === 12:03:09 PM =====\r\n\r\nhello\r\n\r\n\r\n";

// Captures "<tag> 1" to "<tag> count" into fileName as fast as it can, as
// a collector in another process does (without the sound). Run by the
// concurrency tests as this program with --collect.
int collect(const QString& fileName, const QString& tag, int count)
{
    SlotText slot;
    SlotFileSync sync;
    try {
        for (int n = 1; n <= count; ++n) {
            sync.refreshBeforeWrite(slot, fileName);
            sync.appendCapture(slot, fileName, Stamp, tag + QLatin1Char(' ') + QString::number(n));
        }
    } catch (const AppError& error) {
        qWarning("%s", qPrintable(error.message()));
        return 1;
    }
    return 0;
}

// One capture of text into fileName, as the program makes it after start-up
// (without the sound). Run by the torn-append test as this program with
// --capture.
int captureOnce(const QString& fileName, const QString& text)
{
    SlotText slot;
    SlotFileSync sync;
    try {
        sync.read(slot, fileName);
        sync.appendCapture(slot, fileName, Stamp, text);
    } catch (const AppError& error) {
        qWarning("%s", qPrintable(error.message()));
        return 1;
    }
    return 0;
}

// A capture beyond a file size limit, in a process that sets its defences
// up as the program does (--file-size-limit): prints the failure and exits
// 0 when the block is still in the slot.
int captureBeyondLimit(const QString& fileName)
{
    keepRunningAtFileSizeLimit();
    SlotText slot;
    SlotFileSync sync;
    sync.read(slot, fileName);
    const rlimit limit{100, RLIM_INFINITY};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return 3;
    try {
        sync.appendCapture(slot, fileName, Stamp, QString(300, QLatin1Char('h')));
    } catch (const AppError& error) {
        std::printf("%s\n%s\n", qPrintable(error.message()), qPrintable(error.detail()));
    }
    return slot.text().endsWith(QString(300, QLatin1Char('h')) + QStringLiteral("\r\n\r\n\r\n"))
               ? 0
               : 2;
}

QProcess* startCollector(QObject* parent, const QString& fileName, const QString& tag, int count)
{
    auto* process = new QProcess(parent);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--collect"), fileName, tag, QString::number(count)});
    return process;
}

// How often each of "<tag> 1" to "<tag> count" stands as a whole capture
// block in text ('\n' breaks), in the order found; empty when each is there
// once and in order.
QString blockErrors(const QString& text, const QString& tag, int count)
{
    const QString stamp = QString(Stamp).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QRegularExpression block(QStringLiteral("\n\n") + QRegularExpression::escape(stamp) +
                                   QStringLiteral("\n") + tag + QStringLiteral(" (\\d+)\n\n\n"));
    QList<int> found;
    for (const QRegularExpressionMatch& match : block.globalMatch(text))
        found << match.captured(1).toInt();
    QList<int> expected;
    for (int n = 1; n <= count; ++n)
        expected << n;
    if (found == expected)
        return QString();
    QStringList numbers;
    for (int n : found)
        numbers << QString::number(n);
    return tag + QStringLiteral(": ") + numbers.join(QLatin1Char(','));
}

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
    void fileTheSlotStoresOtherwise_data();
    void fileTheSlotStoresOtherwise();
    void captureTheSlotStoresOtherwise();
    void strayCp1252LineKeepsUtf8Text();
    void concurrentWritersLoseNothing();
    void rewriteAfterEditKeepsOtherCollectorsBlocks();
    void captureLargerThanEditorReachesFileWhole();
    void slotFileThatIsAFifoFailsAtOnce();
    void emptyClipboardTextAddsNoBlock();
    void fileSizeLimitDoesNotEndTheProgram();
    void tornCaptureIsSetAsideAtTheNextRead();
    void unsavedTextNeverFollowsAPlantedLink_data();
    void unsavedTextNeverFollowsAPlantedLink();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestSupport::ScopedRegistry> m_registry;
    // The text the next capture takes from the clipboard.
    QString m_clipboard;
    void setClipboard(const QString& text) { m_clipboard = text; }
    QString fileName(const QString& name) const { return m_dir->filePath(name); }
};

void TestCapture::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_registry = std::make_unique<TestSupport::ScopedRegistry>();
}

void TestCapture::cleanup()
{
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

    SlotText slot;
    slot.setText(before);
    setClipboard(clipboard);
    const QString name = fileName(QStringLiteral("Default1.txt"));
    SlotFileSync sync;
    captureIntoSlot(slot, stamp, sync, name, m_clipboard, m_registry->saveSound());

    QCOMPARE(fileBytes(name), file);
    QCOMPARE(slot.text().toLatin1(), file);
    QCOMPARE(m_registry->soundOutput().played, 1);
}

void TestCapture::workedExampleTwice()
{
    SlotText slot;
    const QString name = fileName(QStringLiteral("Default1.txt"));
    SlotFileSync sync;
    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(fileBytes(name).size(), 56);

    setClipboard(QStringLiteral("world"));
    captureIntoSlot(slot, QStringLiteral("===== 12/6/2026 === 12:04:30 PM =====\r\n"), sync, name,
                    m_clipboard, m_registry->saveSound());
    // Four blank lines between hello and the second stamp.
    QCOMPARE(fileBytes(name), QByteArray("\r\n\r\n===== 12/6/2026 === 12:03:09 PM =====\r\n\r\n"
                                         "hello\r\n\r\n\r\n"
                                         "\r\n\r\n===== 12/6/2026 === 12:04:30 PM =====\r\n\r\n"
                                         "world\r\n\r\n\r\n"));
    QCOMPARE(m_registry->soundOutput().played, 2);
}

void TestCapture::undoHistoryDiscarded()
{
    SlotText slot;
    slot.setText(QStringLiteral("abc"));
    setClipboard(QStringLiteral("hello"));
    SlotFileSync sync;
    captureIntoSlot(slot, Stamp, sync, fileName(QStringLiteral("Default1.txt")), m_clipboard,
                    m_registry->saveSound());
    const QString captured = slot.text();
    QVERIFY(captured.endsWith(QStringLiteral("hello\r\n\r\n\r\n")));
    // Neither the paste nor the text before it can be undone any more.
    QVERIFY(!slot.canUndo());
    QVERIFY(!slot.document()->isUndoAvailable());
    QCOMPARE(slot.text(), captured);
}

void TestCapture::writeFailureKeepsBlockUnsaved()
{
    SlotText slot;
    const QString name = fileName(QStringLiteral("missing/Default1.txt"));
    setClipboard(QStringLiteral("hello"));
    SlotFileSync sync;
    try {
        captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
        QFAIL("the write into a missing folder succeeded");
    } catch (const AppError& error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot create file %1").arg(name));
    }
    QVERIFY(slot.text().endsWith(QStringLiteral("hello\r\n\r\n\r\n")));
    QVERIFY(!QFile::exists(name));
    QCOMPARE(m_registry->soundOutput().played, 0);
}

void TestCapture::soundFollowsTheWrite()
{
    SlotText slot;
    SlotFileSync sync;
    const QString name = fileName(QStringLiteral("Default2.txt"));
    setClipboard(QStringLiteral("hello"));
    QByteArray heardAfter;
    m_registry->soundOutput().onPlay = [&] { heardAfter = fileBytes(name); };
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    m_registry->soundOutput().onPlay = nullptr;
    QCOMPARE(m_registry->soundOutput().played, 1);
    // By the time the sound starts the file holds the whole block.
    QCOMPARE(heardAfter, BlockHello);
}

void TestCapture::chimeFailureAfterWrite()
{
    m_registry->saveSound().setChimeResource(fileName(QStringLiteral("no-such-chime.wav")));
    SlotText slot;
    const QString name = fileName(QStringLiteral("Default3.txt"));
    setClipboard(QStringLiteral("hello"));
    SlotFileSync sync;
    QVERIFY_THROWS_EXCEPTION(
        AppError, captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound()));
    QVERIFY(fileBytes(name).endsWith("hello\r\n\r\n\r\n"));
    QCOMPARE(m_registry->soundOutput().played, 0);
}

void TestCapture::appendLeavesEarlierBytes()
{
    const QString name = fileName(QStringLiteral("Default1.txt"));
    const QByteArray old = "caf\xc3\xa9 \xe2\x82\xac\r\nsecond line";
    writeBytes(name, old, QIODevice::WriteOnly);
    const quint64 inode = inodeOf(name);
    SlotText slot;
    SlotFileSync sync;
    sync.read(slot, name);

    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Appended);
    QCOMPARE(inodeOf(name), inode);
    QCOMPARE(fileBytes(name), old + BlockHello);

    // Non-ASCII text added in one capture, then appended after by the next.
    setClipboard(QStringLiteral("na\u00efve \u2713\nx"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Appended);
    QCOMPARE(inodeOf(name), inode);
    QCOMPARE(fileBytes(name), slot.text().toUtf8());
    QVERIFY(fileBytes(name).endsWith("na\xc3\xafve \xe2\x9c\x93\r\nx\r\n\r\n\r\n" + BlockHello));
    QCOMPARE(m_registry->soundOutput().played, 3);
}

void TestCapture::externalChangeIsReadFirst_data()
{
    QTest::addColumn<QByteArray>("start"); // the file the slot reads first
    QTest::addColumn<QByteArray>("external");
    QTest::addColumn<int>("change"); // 0 appended, 1 renamed over, 2 rewritten in place
    QTest::addColumn<QByteArray>("kept");
    QTest::addColumn<SlotFileWriter::Method>("method");
    QTest::addColumn<bool>("onlyNew"); // only the bytes added were read
    const QByteArray first = "first\r\n" + BlockHello;

    // Exactly the bytes this program would write: only they are read, and
    // the next block is appended.
    const QByteArray firstLine = "first\r\n";
    QTest::newRow("appended by another program")
        << firstLine << QByteArray("added elsewhere\r\n") << 0 << first + "added elsewhere\r\n"
        << SlotFileWriter::Method::Appended << true;
    // With an LF end: the file comes back in the format, the block after it.
    QTest::newRow("LF line appended")
        << firstLine << QByteArray("added\n") << 0 << first + "added\r\n"
        << SlotFileWriter::Method::Rewritten << true;
    QTest::newRow("replaced with LF breaks")
        << firstLine << QByteArray("other\ntext\n") << 1 << QByteArray("other\r\ntext\r\n")
        << SlotFileWriter::Method::Rewritten << false;
    const QByteArray upper = "FIRST\r\n" + QByteArray(BlockHello).replace("hello", "HELLO");
    QTest::newRow("replaced, same size")
        << firstLine << upper << 1 << upper << SlotFileWriter::Method::Appended << false;
    // The last bytes the slot wrote changed: read whole, though it grew.
    QTest::newRow("end changed in place, grown") << firstLine << upper + "more\r\n"
                                                 << 2 << upper + "more\r\n"
                                                 << SlotFileWriter::Method::Appended << false;
    // Regression: only the last 4 KB were compared, so line 10 stayed old
    // in the slot and the capture that brought the LF line into the format
    // wrote it back as it was.
    QByteArray lines;
    for (int i = 1; i <= 1200; ++i)
        lines += "line " + QByteArray::number(i) + "\r\n";
    const QByteArray line10 = QByteArray(lines).replace("line 10\r\n", "LINE 10\r\n");
    QTest::newRow("line 10 changed in place, LF line appended")
        << lines << line10 + BlockHello + "added\n"
        << 2 << line10 + BlockHello + "added\r\n"
        << SlotFileWriter::Method::Rewritten << false;
}

// Regression (the file read whole): a capture after another writer's append
// re-read the whole file (1.1 s for 20 MB), so captures fell behind. When
// the file only grew and its last bytes are as the slot wrote them, only the
// new bytes are read and follow the slot's text; anything else is read whole.
void TestCapture::externalChangeIsReadFirst()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, external);
    QFETCH(int, change);
    QFETCH(QByteArray, kept);
    QFETCH(SlotFileWriter::Method, method);
    QFETCH(bool, onlyNew);

    const QString name = fileName(QStringLiteral("Default1.txt"));
    writeBytes(name, start, QIODevice::WriteOnly);
    SlotText slot;
    SlotFileSync sync;
    sync.read(slot, name);
    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(fileBytes(name), start + BlockHello);

    if (change == 0) {
        writeBytes(name, external, QIODevice::Append);
    } else if (change == 1) {
        // As other programs save: a new file renamed over the old one.
        const QString other = fileName(QStringLiteral("other.tmp"));
        writeBytes(other, external, QIODevice::WriteOnly);
        QVERIFY(::rename(QFile::encodeName(other).constData(),
                         QFile::encodeName(name).constData()) == 0);
    } else {
        writeBytes(name, external);
    }

    QSignalSpy replaced(&slot, &SlotText::replaced);
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(replaced.isEmpty(), onlyNew);
    QCOMPARE(sync.lastMethod(), method);
    QCOMPARE(fileBytes(name), SlotFile::encodePlain(SlotFile::decodePlain(kept)) + BlockHello);
    QCOMPARE(slot.textLf(), SlotFile::decodePlain(kept + BlockHello));
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
    SlotText slot;
    SlotFileSync sync;
    sync.read(slot, name);
    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    const quint64 inode = inodeOf(name);

    QTextCursor cursor(slot.document());
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
        slot.setText(slot.text());
        break;
    default:
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("typed"));
        break;
    }
    const QByteArray edited = slot.text().toUtf8();
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), method);
    QCOMPARE(inodeOf(name) == inode, method == SlotFileWriter::Method::Appended);
    QCOMPARE(fileBytes(name), slot.text().toUtf8());
    QVERIFY(fileBytes(name).startsWith(edited));

    // Marked again after the write: the next capture appends.
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Appended);
    QCOMPARE(fileBytes(name), slot.text().toUtf8());
}

void TestCapture::failedAppendLeavesFile()
{
    const QString name = fileName(QStringLiteral("Default3.txt"));
    writeBytes(name, "abc\r\n", QIODevice::WriteOnly);
    const quint64 inode = inodeOf(name);
    SlotText slot;
    SlotFileSync sync;
    sync.read(slot, name);
    setClipboard(QString(300, QLatin1Char('h')));
    {
        // Room for part of the block only.
        FileSizeLimit limit(100);
        QVERIFY(limit.ok());
        try {
            captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
            QFAIL("the append beyond the file size limit succeeded");
        } catch (const AppError& error) {
            QCOMPARE(error.message(), QStringLiteral("Cannot create file ") + name);
            QCOMPARE(error.detail(), AppError::reasonFor(EFBIG));
        }
    }
    QCOMPARE(fileBytes(name), QByteArray("abc\r\n"));
    QCOMPARE(inodeOf(name), inode);
    QVERIFY(slot.text().endsWith(QString(300, QLatin1Char('h')) + QStringLiteral("\r\n\r\n\r\n")));
    QCOMPARE(m_registry->soundOutput().played, 0);

    // The next capture writes both blocks after the old bytes, which are
    // still what the slot last wrote.
    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(fileBytes(name), slot.text().toUtf8());
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Appended);
    QCOMPARE(inodeOf(name), inode);
    QCOMPARE(fileBytes(name).count("===== 12/6/2026"), 2);
    QCOMPARE(m_registry->soundOutput().played, 1);
}

void TestCapture::vanishedFolderCannotCreate()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("slots")));
    const QString name = fileName(QStringLiteral("slots/Default1.txt"));
    SlotText slot;
    SlotFileSync sync;
    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(fileBytes(name), BlockHello);

    QVERIFY(QDir(fileName(QStringLiteral("slots"))).removeRecursively());
    try {
        captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
        QFAIL("the write into a removed folder succeeded");
    } catch (const AppError& error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot create file %1").arg(name));
    }
    QCOMPARE(slot.text().toUtf8(), BlockHello + BlockHello);

    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("slots")));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Rewritten);
    QCOMPARE(fileBytes(name), BlockHello + BlockHello + BlockHello);
}

void TestCapture::fileTheSlotStoresOtherwise_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SlotFileWriter::Method>("firstMethod");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("plain lines") << QByteArray("x y\r\nz\r\n") << SlotFileWriter::Method::Appended
                                 << QByteArray("x y\r\nz\r\n");
    // The slot holds a paragraph separator as a line break.
    QTest::newRow("paragraph separator")
        << QByteArray("x\xe2\x80\xa9y\r\n") << SlotFileWriter::Method::Rewritten
        << QByteArray("x\r\ny\r\n");
}

// A file whose text the slot keeps in another form is written whole once, as
// the slot holds it; the captures after that are appended.
void TestCapture::fileTheSlotStoresOtherwise()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SlotFileWriter::Method, firstMethod);
    QFETCH(QByteArray, written);
    const QString name = fileName(QStringLiteral("Default1.txt"));
    writeBytes(name, bytes, QIODevice::WriteOnly);
    SlotText slot;
    SlotFileSync sync;
    sync.read(slot, name);
    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), firstMethod);
    bytes = written;
    QCOMPARE(fileBytes(name), bytes + BlockHello);
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Appended);
    QCOMPARE(fileBytes(name), bytes + BlockHello + BlockHello);
    QCOMPARE(slot.length(), SlotFile::decodePlain(fileBytes(name)).size());
}

// The file takes a capture as it was copied, also when the slot's text keeps
// some of its characters its own way (a frame marker becomes a line break):
// the next capture writes the slot's text whole, and so does an edit
// before the end.
void TestCapture::captureTheSlotStoresOtherwise()
{
    const QString name = fileName(QStringLiteral("Default1.txt"));
    SlotText slot;
    SlotFileSync sync;
    sync.adopt(slot, name);
    const QString copied = QStringLiteral("a") + QChar(0xFDD0) + QStringLiteral("b");
    setClipboard(copied);
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Rewritten);
    const QByteArray first = QByteArray(BlockHello).replace("hello", "a\r\nb");
    QCOMPARE(fileBytes(name), first + BlockHello);
    QVERIFY(slot.textLf().contains(QStringLiteral("a\nb")));

    QTextCursor cursor(slot.document());
    cursor.insertText(QStringLiteral("x"));
    sync.write(slot, name);
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Rewritten);
    QCOMPARE(SlotFile::decodePlain(fileBytes(name)), slot.textLf());
}

// Capture "café ü", another program appends a line in Windows-1252, capture
// again: the first capture's text must come back as it was, not re-read
// byte by byte in the old code page.
void TestCapture::strayCp1252LineKeepsUtf8Text()
{
    const QString name = fileName(QStringLiteral("Default1.txt"));
    SlotText slot;
    SlotFileSync sync;
    setClipboard(QStringLiteral(u"café ü"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    writeBytes(name, "na\xEFve\r\n", QIODevice::Append);

    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    const QString expected = QStringLiteral(u"\r\n\r\n") + Stamp +
                             QStringLiteral(u"\r\ncafé ü\r\n\r\n\r\nnaïve\r\n") +
                             QString::fromLatin1(BlockHello);
    QCOMPARE(slot.text(), expected);
    QCOMPARE(SlotFile::decodePlain(fileBytes(name)),
             QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(fileBytes(name).contains("caf\xC3\xA9 \xC3\xBC\r\n"));
}

// Another writer's text was erased in a race: a shell loop appending lines
// lost some, two collectors sharing a file lost and duplicated blocks. Two
// collectors (this process and another) and a shell loop append to one
// file as fast as they can; every block and line must be there once, in
// each writer's order.
void TestCapture::concurrentWritersLoseNothing()
{
    const int captures = 120;
    const int lines = 300;
    const QString name = fileName(QStringLiteral("shared.txt"));
    writeBytes(name, QByteArray(200'000, 'x') + "\r\n");
    QProcess* other = startCollector(this, name, QStringLiteral("B"), captures);
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("i=1; while [ $i -le %1 ]; do printf 'shell %s\\n' $i >> \"$0\"; "
                                "i=$((i+1)); done")
                     .arg(lines),
                 name});
    QCOMPARE(collect(name, QStringLiteral("A"), captures), 0);
    QVERIFY(other->waitForFinished(120000));
    QCOMPARE(other->exitCode(), 0);
    QVERIFY(shell.waitForFinished(120000));
    QCOMPARE(shell.exitCode(), 0);

    const QString text = SlotFile::readText(name);
    QCOMPARE(blockErrors(text, QStringLiteral("A"), captures), QString());
    QCOMPARE(blockErrors(text, QStringLiteral("B"), captures), QString());
    QList<int> shellLines;
    for (const QRegularExpressionMatch& match :
         QRegularExpression(QStringLiteral("(?m)^shell (\\d+)$")).globalMatch(text))
        shellLines << match.captured(1).toInt();
    QCOMPARE(shellLines.size(), lines);
    QVERIFY(std::is_sorted(shellLines.begin(), shellLines.end()));
    QVERIFY(text.startsWith(QString(200'000, QLatin1Char('x')) + QLatin1Char('\n')));
}

// A whole rewrite after an edit before the end, while another collector
// appends: it replaces the file only while it is exactly what was read, else
// the slot reads it again (and here makes its edit again) first.
void TestCapture::rewriteAfterEditKeepsOtherCollectorsBlocks()
{
    const int captures = 100;
    const QString name = fileName(QStringLiteral("shared.txt"));
    writeBytes(name, "first line\r\n");
    QProcess* other = startCollector(this, name, QStringLiteral("B"), captures);
    SlotText slot;
    SlotFileSync sync;
    int rewrites = 0;
    int refused = 0;
    bool finished = false;
    while (!finished || rewrites == 0) {
        finished = other->waitForFinished(0) || other->state() == QProcess::NotRunning;
        sync.read(slot, name);
        QTextCursor cursor(slot.document());
        cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
        cursor.insertText(QStringLiteral("first line edited"));
        try {
            sync.write(slot, name);
            QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Rewritten);
            ++rewrites;
        } catch (const SlotFile::SlotFileChanged&) {
            ++refused;
        }
    }
    QCOMPARE(other->exitCode(), 0);
    const QString text = SlotFile::readText(name);
    QCOMPARE(blockErrors(text, QStringLiteral("B"), captures), QString());
    QVERIFY(text.startsWith(QStringLiteral("first line edited")));
    qInfo("%d rewrites, %d refused because the file had changed", rewrites, refused);
}

// A slot file larger than the editor holds was cut at the next capture, a
// full editor dropped every later capture, and a copy larger than the
// editor was cut to its limit. The file is the record: every capture
// reaches it whole, the editor shows the file's end, and nothing but
// appends is written to such a file.
void TestCapture::captureLargerThanEditorReachesFileWhole()
{
    const QString name = fileName(QStringLiteral("Default1.txt"));
    writeBytes(name, "head line\r\n");
    SlotText slot;
    SlotFileSync sync;
    sync.read(slot, name);

    // A copy larger than the editor: the whole block goes to the file.
    QString huge;
    huge.reserve(SlotText::MaxCharacters + 100);
    while (huge.size() < SlotText::MaxCharacters + 50)
        huge += QStringLiteral("a line of a very large copy, number %1\n").arg(huge.size());
    const QString block = captureBlock(Stamp, huge);
    setClipboard(huge);
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QByteArray file = fileBytes(name);
    QCOMPARE(file.size(), 11 + SlotFile::encodePlain(block).size());
    QVERIFY(file.startsWith("head line\r\n"));
    QVERIFY(file.mid(11) == SlotFile::encodePlain(block));
    QVERIFY(sync.isAppendOnly());
    QVERIFY(slot.length() <= SlotFileSync::viewLimit());
    QVERIFY(slot.textLf().startsWith(QStringLiteral("a line of a very large copy")));
    QVERIFY(block.endsWith(slot.textLf()));

    // Later captures are appended and shown.
    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Appended);
    QVERIFY(fileBytes(name).startsWith(file));
    QVERIFY(fileBytes(name).endsWith(BlockHello));
    QVERIFY(slot.text().endsWith(QString::fromLatin1(BlockHello)));
    file = fileBytes(name);

    // An edit before the end could only be saved by rewriting the file from
    // the part shown: refused, the file stays.
    QTextCursor cursor(slot.document());
    cursor.insertText(QStringLiteral("typed"));
    QVERIFY(!TestSupport::errorOf([&] { sync.write(slot, name); }).isEmpty());
    QCOMPARE(fileBytes(name), file);

    // A capture then still reaches the file; the view shows its end again.
    setClipboard(QStringLiteral("hello"));
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(fileBytes(name), file + BlockHello);
    QVERIFY(!slot.text().contains(QStringLiteral("typed")));

    // A line with an LF end from another program: the next capture writes
    // the whole file in the format once (from the file, which the view does
    // not hold), then appends again.
    file = fileBytes(name);
    writeBytes(name, "foreign\n", QIODevice::Append);
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Rewritten);
    QVERIFY(fileBytes(name) == file + "foreign\r\n" + BlockHello);
    captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Appended);
    QVERIFY(fileBytes(name) == file + "foreign\r\n" + BlockHello + BlockHello);
    QVERIFY(slot.text().endsWith(QStringLiteral("foreign\r\n") + BlockHello + BlockHello));

    // Once the file fits again, the slot shows all of it and may rewrite it.
    writeBytes(name, "short\r\n");
    QVERIFY(sync.refreshBeforeWrite(slot, name));
    QVERIFY(!sync.isAppendOnly());
    QCOMPARE(slot.text(), QStringLiteral("short\r\n"));
}

// A slot file that was a FIFO blocked start-up forever: reading it, and a
// capture into it, give "Cannot open file" at once, before anything is
// added or played.
void TestCapture::slotFileThatIsAFifoFailsAtOnce()
{
    const QString name = fileName(QStringLiteral("fifo.txt"));
    QVERIFY(::mkfifo(QFile::encodeName(name).constData(), 0600) == 0);
    SlotText slot;
    SlotFileSync sync;
    const QString cannotOpen = QStringLiteral("Cannot open file ") + name;
    QCOMPARE(TestSupport::errorOf([&] { sync.read(slot, name); }), cannotOpen);
    setClipboard(QStringLiteral("hello"));
    QCOMPARE(TestSupport::errorOf([&] {
                 captureIntoSlot(slot, Stamp, sync, name, m_clipboard, m_registry->saveSound());
             }),
             cannotOpen);
    QCOMPARE(m_registry->soundOutput().played, 0);
}

// Regression: an empty capture block (the stamp line with no text) was
// written when the clipboard's owner had replaced its text by the time the
// capture looked. A text that reads as empty is no text.
void TestCapture::emptyClipboardTextAddsNoBlock()
{
    const QString name = fileName(QStringLiteral("Default1.txt"));
    writeBytes(name, "kept\r\n");
    SlotText slot;
    SlotFileSync sync;
    sync.read(slot, name);

    QCOMPARE(captureIntoSlot(slot, Stamp, sync, name, QString(), m_registry->saveSound()),
             QString());
    QCOMPARE(fileBytes(name), QByteArray("kept\r\n"));
    QCOMPARE(slot.text(), QStringLiteral("kept\r\n"));
    QCOMPARE(m_registry->soundOutput().played, 0);
}

// Regression: a file size limit (ulimit -f) ended the program with
// SIGXFSZ at the next capture, taking unsaved text along. The write fails
// with the usual message and the system's reason; the block stays in the
// slot.
void TestCapture::fileSizeLimitDoesNotEndTheProgram()
{
    const QString name = fileName(QStringLiteral("Default1.txt"));
    writeBytes(name, "abc\r\n");
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--file-size-limit"), name});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(QString::fromLocal8Bit(child.readAllStandardOutput()),
             QStringLiteral("Cannot create file %1\n%2\n").arg(name, AppError::reasonFor(EFBIG)));
    QCOMPARE(fileBytes(name), QByteArray("abc\r\n"));
}

// Regression: an append cut off half way (a short write, then SIGKILL)
// stayed in the file as half a capture. The next read moves what got
// through next to the file and cuts the file back; the text before it is
// intact, and captures go on after it.
void TestCapture::tornCaptureIsSetAsideAtTheNextRead()
{
    const QString name = fileName(QStringLiteral("Default1.txt"));
    writeBytes(name, "first\r\n");
    // A capture of text by another process, killed half way through.
    const auto tear = [&](const QString& text) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(TORN_WRITE));
        // In a sanitizer build the sanitizer's library comes after the shim.
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("verify_asan_link_order=0"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--capture"), name, text});
        return child.waitForFinished(60000) && child.exitStatus() == QProcess::CrashExit;
    };
    QVERIFY(tear(QStringLiteral("half of this TEAR-HERE is lost")));
    const QByteArray torn = fileBytes(name).mid(7);
    QVERIFY(!torn.isEmpty());
    QVERIFY(!torn.endsWith("\r\n\r\n\r\n"));

    SlotText slot;
    SlotFileSync sync;
    sync.read(slot, name);
    QCOMPARE(slot.text(), QStringLiteral("first\r\n"));
    QCOMPARE(fileBytes(name), QByteArray("first\r\n"));
    const QString aside = sync.takeTornAside();
    QVERIFY(QRegularExpression(QStringLiteral("\\.torn-\\d{8}-\\d{6}$")).match(aside).hasMatch());
    QCOMPARE(fileBytes(aside), torn);
    QCOMPARE(QFile::permissions(aside) & 0x0077, QFileDevice::Permissions());

    captureIntoSlot(slot, Stamp, sync, name, QStringLiteral("hello"), m_registry->saveSound());
    QCOMPARE(sync.lastMethod(), SlotFileWriter::Method::Appended);
    QCOMPARE(fileBytes(name), "first\r\n" + BlockHello);
    QVERIFY(sync.takeTornAside().isEmpty());

    // Regression: a capture that finished is the user's to change: its
    // block shortened in place (truncate -s -6) was set aside as cut off.
    captureIntoSlot(slot, Stamp, sync, name, QStringLiteral("again"), m_registry->saveSound());
    QVERIFY(::truncate(QFile::encodeName(name).constData(), fileBytes(name).size() - 6) == 0);
    const QByteArray shortened = fileBytes(name);
    sync.read(slot, name);
    QVERIFY(sync.takeTornAside().isEmpty());
    QCOMPARE(fileBytes(name), shortened);

    // A large capture cut off at a page of the file (where a signal stops a
    // write) is told by the digests of the record: set aside exactly. (Its
    // text is mostly line breaks, two bytes each, to pass as an argument.)
    const qsizetype fixed =
        SlotFile::encodePlain(captureBlock(Stamp, QStringLiteral("TEAR-HERE"))).size();
    const qsizetype block = 2 * ((shortened.size() / 4096 + 18) * 4096 - shortened.size());
    QVERIFY(tear(QStringLiteral("TEAR-HERE") + QString(fixed % 2, QLatin1Char('x')) +
                 QString((block - fixed - fixed % 2) / 2, QLatin1Char('\n'))));
    QCOMPARE(fileBytes(name).size() % 4096, 0);
    const QByteArray large = fileBytes(name).mid(shortened.size());
    sync.read(slot, name);
    QCOMPARE(fileBytes(name), shortened);
    QCOMPARE(fileBytes(sync.takeTornAside()), large);

    // Cut off, then changed in place by another program: not exactly what
    // was being appended, so theirs, and it stays.
    QVERIFY(tear(QStringLiteral("changed after TEAR-HERE ") + QString(100, QLatin1Char('y'))));
    QByteArray changed = fileBytes(name);
    QVERIFY(changed.size() > shortened.size() + 60);
    changed[shortened.size() + 60] = 'X';
    writeBytes(name, changed);
    sync.read(slot, name);
    QVERIFY(sync.takeTornAside().isEmpty());
    QCOMPARE(fileBytes(name), changed);
}

void TestCapture::unsavedTextNeverFollowsAPlantedLink_data()
{
    QTest::addColumn<int>("planted"); // 0 nothing, 1 dangling link, 2 link to a file, 3 a file
    QTest::newRow("nothing there") << 0;
    QTest::newRow("dangling link") << 1;
    QTest::newRow("link to a file") << 2;
    QTest::newRow("another file") << 3;
}

// Regression: the unsaved text went wherever a link planted at its
// predictable name pointed. It goes to a new file of its own, 0600, under
// the next free name.
void TestCapture::unsavedTextNeverFollowsAPlantedLink()
{
    QFETCH(int, planted);
    const QString name = fileName(QStringLiteral("Default1.txt"));
    const QDateTime now(QDate(2026, 12, 6), QTime(12, 3, 9));
    const QString predicted = name + QStringLiteral(".unsaved-20261206-120309");
    const QString target = fileName(QStringLiteral("elsewhere"));
    if (planted == 2)
        writeBytes(target, "theirs");
    if (planted == 1 || planted == 2)
        QVERIFY(QFile::link(target, predicted));
    if (planted == 3)
        writeBytes(predicted, "kept");
    SlotText slot;
    slot.setText(QStringLiteral("typed"));
    const QString aside = SlotFileSync::saveAside(slot, name, now);
    QCOMPARE(aside, planted == 0 ? predicted : predicted + QStringLiteral("-2"));
    QCOMPARE(fileBytes(aside), QByteArray("typed"));
    QCOMPARE(QFile::permissions(aside) & 0x0077, QFileDevice::Permissions());
    QCOMPARE(fileBytes(target), planted == 2 ? QByteArray("theirs") : QByteArray("<missing>"));
    if (planted == 3)
        QCOMPARE(fileBytes(predicted), QByteArray("kept"));
}

int main(int argc, char** argv)
{
    TestSupport::GuardedApplication<QGuiApplication> app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--collect") == 0)
        return collect(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                       QByteArray(argv[4]).toInt());
    if (argc == 4 && qstrcmp(argv[1], "--capture") == 0)
        return captureOnce(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc == 3 && qstrcmp(argv[1], "--file-size-limit") == 0)
        return captureBeyondLimit(QString::fromLocal8Bit(argv[2]));
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestCapture test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_capture.moc"
