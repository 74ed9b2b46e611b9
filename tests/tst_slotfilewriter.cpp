#include "base/AppError.h"
#include "core/slotfile/SlotFileWriter.h"
#include "support/Files.h"
#include "support/TestMain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

constexpr auto Capture = SlotFileWriter::Purpose::Capture;
using TestSupport::errorOf;
using TestSupport::fileBytes;
using TestSupport::FileSizeLimit;
using TestSupport::inodeOf;
using TestSupport::writeBytes;

// One slot's writer: a capture appends when the file is still what it last
// wrote or read, in the slot file format, and the text only grew; every
// other write is whole; changes made by other programs are noticed.
class TestSlotFileWriter final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void appendsWhenOnlyGrown();
    void rewritesWhenPrefixChanged_data();
    void rewritesWhenPrefixChanged();
    void appendAcrossPairsIsExact_data();
    void appendAcrossPairsIsExact();
    void externalChangeKeepsTheirText_data();
    void externalChangeKeepsTheirText();
    void fileComesBackInFormatAtNextWrite_data();
    void fileComesBackInFormatAtNextWrite();
    void rtfAlwaysRewrites();
    void otherNameRewrites();
    void changedOnDisk();
    void failedAppendLeavesOldText();
    void lockIsOneOnlyThisUserCanHold();
    void captureAppendsOnlyExactly_data();
    void captureAppendsOnlyExactly();
    void captureRemembersLastCharacter();
    void captureRacingShellAppendIsStoredOnce();

private:
    QString path(const QString& name = QStringLiteral("slot.txt")) const
    {
        return m_dir->filePath(name);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSlotFileWriter::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSlotFileWriter::appendsWhenOnlyGrown()
{
    SlotFileWriter writer(path());
    QString text = QStringLiteral(u"first capture é\n");
    writer.write(text, QFont(), std::nullopt);
    const quint64 inode = inodeOf(path());

    for (int i = 0; i < 5; ++i) {
        const qsizetype before = text.size();
        text += QStringLiteral(u"\ncapture %1 😀\n").arg(i);
        writer.write(text, QFont(), before, Capture);
        QCOMPARE(fileBytes(path()), SlotFile::encodePlain(text));
    }
    // Appending writes into the same file rather than replacing it.
    QCOMPARE(inodeOf(path()), inode);
    QVERIFY(!writer.changedOnDisk());

    // Nothing new: a capture appends nothing and keeps the file; a whole
    // write writes it again.
    writer.write(text, QFont(), text.size(), Capture);
    QCOMPARE(inodeOf(path()), inode);
    writer.write(text, QFont(), text.size());
    QVERIFY(inodeOf(path()) != inode);
    QCOMPARE(fileBytes(path()), SlotFile::encodePlain(text));
}

void TestSlotFileWriter::rewritesWhenPrefixChanged_data()
{
    QTest::addColumn<QString>("newText");
    QTest::addColumn<int>("prefix"); // -1: unknown
    QTest::newRow("unknown prefix") << QStringLiteral("abcdef") << -1;
    QTest::newRow("edit inside") << QStringLiteral("abXdef") << 2;
    QTest::newRow("shortened") << QStringLiteral("ab") << 2;
    QTest::newRow("cleared") << QString() << 0;
    QTest::newRow("last character changed") << QStringLiteral("abCdef") << 2;
}

void TestSlotFileWriter::rewritesWhenPrefixChanged()
{
    QFETCH(QString, newText);
    QFETCH(int, prefix);
    SlotFileWriter writer(path());
    writer.write(QStringLiteral("abc"), QFont());
    writer.write(newText, QFont(), prefix < 0 ? std::nullopt : std::optional<qsizetype>(prefix),
                 Capture);
    QCOMPARE(fileBytes(path()), SlotFile::encodePlain(newText));
}

void TestSlotFileWriter::appendAcrossPairsIsExact_data()
{
    QTest::addColumn<QString>("oldText");
    QTest::addColumn<QString>("added");
    // A CR at the end followed by LF is one break, not two.
    QTest::newRow("CR then LF") << QStringLiteral("line\r") << QStringLiteral("\nnext");
    QTest::newRow("high then low surrogate") << QString(QChar(0xD83D)) << QString(QChar(0xDE00));
    QTest::newRow("LF then CR") << QStringLiteral("line\n") << QStringLiteral("\rnext");
    QTest::newRow("CR LF then text") << QStringLiteral("a\r\n") << QStringLiteral("b\r\n");
    QTest::newRow("into empty file") << QString() << QStringLiteral("x\n");
}

void TestSlotFileWriter::appendAcrossPairsIsExact()
{
    QFETCH(QString, oldText);
    QFETCH(QString, added);
    SlotFileWriter writer(path());
    writer.write(oldText, QFont());
    writer.write(oldText + added, QFont(), oldText.size(), Capture);
    QCOMPARE(fileBytes(path()), SlotFile::encodePlain(oldText + added));
}

void TestSlotFileWriter::externalChangeKeepsTheirText_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QByteArray>("kept");
    // A capture goes after their text; it used to be rewritten over.
    QTest::newRow("appended by another program") << 0 << QByteArray("ours\r\ntheirs\r\nmore\r\n");
    QTest::newRow("same size, new time") << 1 << QByteArray("OURS\r\nmore\r\n");
    QTest::newRow("replaced by a copy") << 2 << QByteArray("ours\r\nmore\r\n");
    // Nothing of anyone's to keep: written whole again.
    QTest::newRow("deleted") << 3 << QByteArray("ours\r\nmore\r\n");
}

// Another writer's text is erased in a race: a rewrite over a file that
// changed since it was read lost what the other program added.
void TestSlotFileWriter::externalChangeKeepsTheirText()
{
    QFETCH(int, change);
    QFETCH(QByteArray, kept);
    SlotFileWriter writer(path());
    const QString text = QStringLiteral("ours\n");
    writer.write(text, QFont());
    const QByteArray file = fileBytes(path());
    switch (change) {
    case 0:
        writeBytes(path(), "theirs\r\n", QIODevice::Append);
        break;
    case 1: {
        writeBytes(path(), "OURS\r\n");
        struct utimbuf times
        {
            1000000000, 1000000000
        };
        QVERIFY(::utime(QFile::encodeName(path()).constData(), &times) == 0);
        break;
    }
    case 2:
        QVERIFY(QFile::copy(path(), path(QStringLiteral("copy"))));
        QVERIFY(QFile::remove(path()));
        QVERIFY(QFile::rename(path(QStringLiteral("copy")), path()));
        QCOMPARE(fileBytes(path()), file);
        break;
    case 3:
        QVERIFY(QFile::remove(path()));
        break;
    }
    QCOMPARE(writer.changedOnDisk(), change != 3);
    const QByteArray before = fileBytes(path());
    // A whole rewrite is refused while the file is not what was written.
    if (change != 3) {
        QCOMPARE(errorOf([&] { writer.write(QStringLiteral("edited\n"), QFont()); }),
                 path() +
                     QStringLiteral(" was changed by another program and was not overwritten"));
        QCOMPARE(fileBytes(path()), before);
    }
    const QString grown = text + QStringLiteral("more\n");
    writer.write(grown, QFont(), text.size(), Capture);
    QCOMPARE(fileBytes(path()), kept);
    // Their text is not in ours yet: the slot must read the file again.
    QCOMPARE(writer.changedOnDisk(), change != 3);
}

void TestSlotFileWriter::fileComesBackInFormatAtNextWrite_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("appended"); // else written whole in the format
    const QByteArray inFormat("one\r\ntwo \xC3\xA9\r\n");
    QTest::newRow("in the format") << inFormat << true;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("no final line break") << QByteArray("one\r\ntwo") << true;
    QTest::newRow("LF line ends") << QByteArray("one\ntwo\n") << false;
    QTest::newRow("lone CR") << QByteArray("one\rtwo\r\n") << false;
    QTest::newRow("Windows-1252") << QByteArray("caf\xE9\r\n") << false;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFone\r\n") << false;
    QTest::newRow("LF line added to the format") << inFormat + "three\n" << false;
}

// Regression: files came back with their own line ends and code page: a
// capture appended after them, a Save wrote nothing. A capture writes a file
// whose bytes are not the format's for its text whole, once, and appends
// after that; a whole write always writes the format's bytes.
void TestSlotFileWriter::fileComesBackInFormatAtNextWrite()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, appended);
    writeBytes(path(), file);
    SlotFileWriter writer(path());
    const QString text = writer.read();
    QCOMPARE(text, SlotFile::decodePlain(file));
    QVERIFY(!writer.changedOnDisk());

    QString grown = text + QStringLiteral("three\n");
    writer.write(grown, QFont(), text.size(), Capture);
    const QByteArray captured = appended ? file + "three\r\n" : SlotFile::encodePlain(grown);
    QCOMPARE(fileBytes(path()), captured);
    QVERIFY(!writer.changedOnDisk());
    const quint64 inode = inodeOf(path());
    writer.write(grown + QStringLiteral("four\n"), QFont(), grown.size(), Capture);
    QCOMPARE(inodeOf(path()), inode);
    QCOMPARE(fileBytes(path()), captured + "four\r\n");

    // Save: read again as it is, written whole in the format.
    writeBytes(path(), file);
    writer.read();
    writer.write(text, QFont(), text.size());
    QCOMPARE(fileBytes(path()), SlotFile::encodePlain(text));
}

void TestSlotFileWriter::rtfAlwaysRewrites()
{
    const QString name = path(QStringLiteral("slot.RTF"));
    SlotFileWriter writer(name);
    writer.write(QStringLiteral("a\n"), QFont());
    writer.write(QStringLiteral("a\nb\n"), QFont(), 2, Capture);
    QVERIFY(fileBytes(name).startsWith("{\\rtf"));
    QCOMPARE(SlotFile::readText(name), QStringLiteral("a\nb\n"));
    QVERIFY(!writer.changedOnDisk());
}

void TestSlotFileWriter::otherNameRewrites()
{
    SlotFileWriter writer(path());
    writer.write(QStringLiteral("a"), QFont());
    // The same bytes under another name: the writer never saw that file, so
    // it does not replace it.
    const QString other = path(QStringLiteral("other.txt"));
    QVERIFY(QFile::copy(path(), other));
    writer.bind(other);
    QVERIFY(writer.changedOnDisk());
    QVERIFY(!errorOf([&] { writer.write(QStringLiteral("ab"), QFont(), 1); }).isEmpty());
    QCOMPARE(fileBytes(other), QByteArray("a"));
    QVERIFY(QFile::remove(other));
    writer.write(QStringLiteral("ab"), QFont(), 1);
    QCOMPARE(fileBytes(other), QByteArray("ab"));
    // Now it follows the new name; the old one counts as changed.
    writer.bind(path());
    QVERIFY(writer.changedOnDisk());
}

void TestSlotFileWriter::changedOnDisk()
{
    SlotFileWriter writer(path());
    QVERIFY(!writer.changedOnDisk()); // missing: nothing to read back
    writeBytes(path(), "x");
    QVERIFY(writer.changedOnDisk()); // never read or written here
    writer.read();
    QVERIFY(!writer.changedOnDisk());
    writer.forget();
    QVERIFY(writer.changedOnDisk());
}

void TestSlotFileWriter::failedAppendLeavesOldText()
{
    SlotFileWriter writer(path());
    const QString text = QStringLiteral("kept\n");
    writer.write(text, QFont());
    QString error;
    {
        const FileSizeLimit limit(4096);
        QVERIFY(limit.ok());
        error = errorOf([&] {
            writer.write(text + QString(10000, QLatin1Char('z')), QFont(), text.size(), Capture);
        });
    }
    QCOMPARE(error, QStringLiteral("Cannot create file ") + path());
    QCOMPARE(fileBytes(path()), QByteArray("kept\r\n"));
    // The file was cut back to what the writer last wrote: the next write
    // appends after it again.
    writer.write(text + QStringLiteral("z"), QFont(), text.size(), Capture);
    QCOMPARE(fileBytes(path()), QByteArray("kept\r\nz"));
}

// Regression: every write took an exclusive lock on the slot file's folder
// and waited up to 10 s for it, so anybody who could read the folder could
// freeze every write. The lock is a file in this user's runtime folder; a
// lock on the folder stops nothing, and one held by another Clipstow of the
// user's is waited for a moment only, after which the write goes ahead and
// says so.
void TestSlotFileWriter::lockIsOneOnlyThisUserCanHold()
{
    const int folder = ::open(QFile::encodeName(m_dir->path()).constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(folder >= 0);
    QVERIFY(::flock(folder, LOCK_EX | LOCK_NB) == 0);
    SlotFileWriter writer(path());
    writer.write(QStringLiteral("one\n"), QFont());
    QCOMPARE(writer.lockProblem(), QString());
    ::close(folder);

    {
        const SlotFile::WriteLock another(path());
        QVERIFY(another.held());
        writer.write(QStringLiteral("one\ntwo\n"), QFont(), 4, Capture);
        QCOMPARE(writer.lockProblem(), QStringLiteral("another Clipstow was writing it"));
        QCOMPARE(fileBytes(path()), QByteArray("one\r\ntwo\r\n"));
    }
    writer.write(QStringLiteral("one\ntwo\n"), QFont());
    QCOMPARE(writer.lockProblem(), QString());
}

void TestSlotFileWriter::captureAppendsOnlyExactly_data()
{
    QTest::addColumn<int>("setup");
    QTest::addColumn<bool>("inPlace"); // added to the file, not a new one renamed over it
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readAgain");
    // Written whole: "abc\n"; the capture adds "d\n".
    const QByteArray exact("abc\r\nd\r\n");
    QTest::newRow("written whole") << 0 << true << exact << false;
    QTest::newRow("canonical file read") << 3 << true << exact << false;
    QTest::newRow("file read with LF breaks") << 2 << false << exact << false;
    QTest::newRow("text kept in another form") << 4 << false << exact << false;
    // Another program's text is kept; the capture goes after it.
    QTest::newRow("file touched since") << 1 << true << exact << true;
    QTest::newRow("only noted, not read") << 5 << true << exact << true;
}

// The append that takes only the new end is made only when the bytes are
// exactly the format's encoding of the whole text; otherwise the file is
// written whole, or, when another program wrote to it since, the capture
// goes after its text and the slot reads it again.
void TestSlotFileWriter::captureAppendsOnlyExactly()
{
    QFETCH(int, setup);
    QFETCH(bool, inPlace);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readAgain);
    SlotFileWriter writer(path());
    writer.write(QStringLiteral("abc\n"), QFont());
    qsizetype held = 4;
    switch (setup) {
    case 1: {
        struct utimbuf times
        {
            1000, 1000
        };
        QVERIFY(::utime(QFile::encodeName(path()).constData(), &times) == 0);
        break;
    }
    case 2:
        writeBytes(path(), "abc\n");
        QCOMPARE(writer.read(), QStringLiteral("abc\n"));
        break;
    case 3:
        writeBytes(path(), "abc\r\n");
        QCOMPARE(writer.read(), QStringLiteral("abc\n"));
        break;
    case 4:
        writer.read();
        writer.noteTextDiffers();
        QVERIFY(!writer.changedOnDisk());
        break;
    case 5:
        writer.noteRead();
        held = 0;
        break;
    }
    const quint64 inode = inodeOf(path());
    const QString text = held == 0 ? QStringLiteral("d\n") : QStringLiteral("abc\nd\n");
    writer.write(text, QFont(), held, Capture);
    QCOMPARE(inodeOf(path()) == inode, inPlace);
    QCOMPARE(fileBytes(path()), bytes);
    QCOMPARE(writer.changedOnDisk(), readAgain);
}

// The writer keeps only the length and the last character of the text: an
// append that ended in a CR or the first half of a surrogate pair must stop
// the next append from splitting the pair.
void TestSlotFileWriter::captureRemembersLastCharacter()
{
    SlotFileWriter writer(path());
    writer.write(QStringLiteral("a"), QFont());
    QString text = QStringLiteral("a") + QChar(0xD83D);
    writer.write(text, QFont(), 1, Capture);
    text += QChar(0xDE00);
    writer.write(text, QFont(), 2, Capture);
    QCOMPARE(fileBytes(path()), QByteArray("a\xf0\x9f\x98\x80"));
    writer.write(text + QStringLiteral("\r"), QFont(), 3, Capture);
    QCOMPARE(fileBytes(path()), QByteArray("a\xf0\x9f\x98\x80\r\n"));
    writer.write(text + QStringLiteral("\r\nb"), QFont(), 4, Capture);
    QCOMPARE(fileBytes(path()), QByteArray("a\xf0\x9f\x98\x80\r\nb"));
}

// Regression: two programs capturing into one file beside a shell loop that
// appends lines with >> (no lock): a capture that was to bring the file into
// the format found the loop's new line there just before the rename, raised
// an error box and stopped auto mode. The capture goes after their line
// instead, stored once, and the next capture brings the file into the format.
void TestSlotFileWriter::captureRacingShellAppendIsStoredOnce()
{
    writeBytes(path(), "one\ntwo\n");
    SlotFileWriter writer(path());
    const QString text = writer.read();
    const QString capture = QStringLiteral("three\n");
    int asked = 0;
    writer.save(
        text.size(),
        [&](qsizetype from) {
            // Asked for the whole text once the file's state is taken.
            if (from == 0 && asked++ == 0) {
                QFile shell(path());
                if (!shell.open(QIODevice::Append) || shell.write("shell\n") != 6)
                    qFatal("cannot append");
            }
            return (text + capture).mid(from);
        },
        QFont(), Capture);
    QCOMPARE(asked, 1);
    QCOMPARE(fileBytes(path()), QByteArray("one\ntwo\nshell\nthree\r\n"));
    QVERIFY(writer.changedOnDisk());

    const QString all = writer.read();
    QCOMPARE(all, QStringLiteral("one\ntwo\nshell\nthree\n"));
    writer.write(all + QStringLiteral("four\n"), QFont(), all.size(), Capture);
    QCOMPARE(fileBytes(path()), QByteArray("one\r\ntwo\r\nshell\r\nthree\r\nfour\r\n"));
}

CLIPSTOW_TEST_GUILESS_MAIN(TestSlotFileWriter)
#include "tst_slotfilewriter.moc"
