#include "base/AppError.h"
#include "core/slotfile/SlotFile.h"
#include "core/slotfile/SlotFileWriter.h"
#include "support/Files.h"
#include "support/TestMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// Writing and reading slot files on disk: atomic replacement, permissions,
// symbolic links, the failure messages, and a file that stays whole when
// the writing process is killed at any moment.
class TestSlotFileAtomic final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesNewFileWithOwnerOnlyAccess();
    void replacesContentsAndKeepsPermissions();
    void keepsOwnerAndGroup();
    void writesThroughSymbolicLinks();
    void otherUsersLinkInStickyFolderIsNotFollowed_data();
    void otherUsersLinkInStickyFolderIsNotFollowed();
    void cannotCreate_data();
    void cannotCreate();
    void readOnlyFileStaysUntouched();
    void failedWriteKeepsOldFileAndRemovesTemporary();
    void readErrors();
    void notRegularFileDoesNotBlock_data();
    void notRegularFileDoesNotBlock();
    void readChoosesFormatAndFallsBack();
    void readEndOfLongFile_data();
    void readEndOfLongFile();
    void writeTextSelectsFormat();
    void survivesKillAtAnyMoment();
};

using TestSupport::errorOf;
using TestSupport::fileBytes;
using TestSupport::FileSizeLimit;
using TestSupport::writeBytes;

namespace {

mode_t modeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Everything in the folder but the given names, to spot left-over
// temporary files.
QStringList othersIn(const QString& dir, const QStringList& expected)
{
    QStringList names =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : expected)
        names.removeAll(name);
    return names;
}

// A few megabytes in which every block tells its position and which of the
// two contents it belongs to, so a mixed or cut file cannot pass as whole.
QByteArray pattern(char tag, int megabytes)
{
    QByteArray out;
    out.reserve(megabytes << 20);
    for (int i = 0; out.size() < (megabytes << 20); ++i)
        out += tag + QByteArray::number(i).rightJustified(15, '0');
    return out;
}

const QByteArray CrashA = pattern('A', 3);
const QByteArray CrashB = pattern('B', 4);

// The child side of the crash test: writes A and B in turn until killed.
int writeLoop(const QString& fileName)
{
    try {
        SlotFile::writeAtomically(fileName, CrashB);
        fputs("writing\n", stdout);
        fflush(stdout);
        for (;;) {
            SlotFile::writeAtomically(fileName, CrashA);
            SlotFile::writeAtomically(fileName, CrashB);
        }
    } catch (const AppError& error) {
        fprintf(stderr, "%s\n", qPrintable(error.message()));
    }
    return 1;
}

} // namespace

void TestSlotFileAtomic::writesNewFileWithOwnerOnlyAccess()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.txt"));
    const mode_t oldMask = ::umask(022);
    SlotFile::writeAtomically(path, "abc");
    ::umask(oldMask);
    QCOMPARE(fileBytes(path), QByteArray("abc"));
    QCOMPARE(modeOf(path), mode_t(0600));
    QCOMPARE(othersIn(dir.path(), {QStringLiteral("new.txt")}), QStringList());

    SlotFile::writeAtomically(path, QByteArray());
    QCOMPARE(QFileInfo(path).size(), 0);
}

void TestSlotFileAtomic::replacesContentsAndKeepsPermissions()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("slot.txt"));
    writeBytes(path, "old contents that are longer");
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0664) == 0);
    SlotFile::writeAtomically(path, "new");
    QCOMPARE(fileBytes(path), QByteArray("new"));
    QCOMPARE(modeOf(path), mode_t(0664));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
    SlotFile::writeAtomically(path, "newer");
    QCOMPARE(modeOf(path), mode_t(0640));
    QCOMPARE(othersIn(dir.path(), {QStringLiteral("slot.txt")}), QStringList());
}

void TestSlotFileAtomic::keepsOwnerAndGroup()
{
    if (::geteuid() != 0)
        QSKIP("giving a file to another owner needs root");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("theirs.txt"));
    writeBytes(path, "x");
    QVERIFY(::chown(QFile::encodeName(path).constData(), 4321, 8765) == 0);
    SlotFile::writeAtomically(path, "y");
    struct stat st
    {
    };
    QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
    QCOMPARE(st.st_uid, uid_t(4321));
    QCOMPARE(st.st_gid, gid_t(8765));
    QCOMPARE(fileBytes(path), QByteArray("y"));
}

void TestSlotFileAtomic::writesThroughSymbolicLinks()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
    const QString target = dir.filePath(QStringLiteral("real/notes.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    const QString chain = dir.filePath(QStringLiteral("chain.txt"));
    writeBytes(target, "before");
    // A relative link, resolved against the link's own folder, and a link
    // to that link.
    QVERIFY(::symlink("real/notes.txt", QFile::encodeName(link).constData()) == 0);
    QVERIFY(::symlink(QFile::encodeName(link).constData(), QFile::encodeName(chain).constData()) ==
            0);

    SlotFile::writeAtomically(chain, "after");
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(QFileInfo(chain).isSymLink());
    QCOMPARE(fileBytes(target), QByteArray("after"));
    QCOMPARE(othersIn(dir.filePath(QStringLiteral("real")), {QStringLiteral("notes.txt")}),
             QStringList());

    // A dangling link creates its target.
    const QString dangling = dir.filePath(QStringLiteral("dangling.txt"));
    QVERIFY(::symlink("real/created.txt", QFile::encodeName(dangling).constData()) == 0);
    SlotFile::writeAtomically(dangling, "made");
    QVERIFY(QFileInfo(dangling).isSymLink());
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("real/created.txt"))), QByteArray("made"));
}

void TestSlotFileAtomic::cannotCreate_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing folder") << QStringLiteral("missing/x.txt");
    QTest::newRow("parent is a file") << QStringLiteral("file.txt/x.txt");
    QTest::newRow("a folder") << QStringLiteral("folder");
    QTest::newRow("link loop") << QStringLiteral("loop1");
    QTest::newRow("ends in slash") << QStringLiteral("folder/");
}

void TestSlotFileAtomic::cannotCreate()
{
    QFETCH(QString, relative);
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("file.txt")), "keep");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(::symlink("loop2",
                      QFile::encodeName(dir.filePath(QStringLiteral("loop1"))).constData()) == 0);
    QVERIFY(::symlink("loop1",
                      QFile::encodeName(dir.filePath(QStringLiteral("loop2"))).constData()) == 0);
    const QString name = dir.filePath(relative);
    QCOMPARE(errorOf([&] { SlotFile::writeAtomically(name, "data"); }),
             QStringLiteral("Cannot create file ") + name);
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("file.txt"))), QByteArray("keep"));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
    QCOMPARE(othersIn(dir.path(), {QStringLiteral("file.txt"), QStringLiteral("folder"),
                                   QStringLiteral("loop1"), QStringLiteral("loop2")}),
             QStringList());
}

void TestSlotFileAtomic::readOnlyFileStaysUntouched()
{
    if (::geteuid() == 0)
        QSKIP("root may write any file; the read-only case needs an ordinary user");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ro.txt"));
    writeBytes(path, "keep");
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
    QCOMPARE(errorOf([&] { SlotFile::writeAtomically(path, "lost"); }),
             QStringLiteral("Cannot create file ") + path);
    QCOMPARE(fileBytes(path), QByteArray("keep"));

    const QString locked = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    writeBytes(locked + QStringLiteral("/x.txt"), "keep");
    QVERIFY(::chmod(QFile::encodeName(locked).constData(), 0555) == 0);
    QCOMPARE(errorOf([&] { SlotFile::writeAtomically(locked + QStringLiteral("/x.txt"), "lost"); }),
             QStringLiteral("Cannot create file ") + locked + QStringLiteral("/x.txt"));
    QCOMPARE(fileBytes(locked + QStringLiteral("/x.txt")), QByteArray("keep"));
    ::chmod(QFile::encodeName(locked).constData(), 0755);
}

void TestSlotFileAtomic::failedWriteKeepsOldFileAndRemovesTemporary()
{
    // A file size limit makes the data write fail partway, as a full disk
    // would; it holds for root too.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("slot.txt"));
    writeBytes(path, "old");
    QString error;
    {
        const FileSizeLimit limit(4096);
        QVERIFY(limit.ok());
        error = errorOf([&] { SlotFile::writeAtomically(path, QByteArray(100000, 'x')); });
    }
    // The limit is told as the file that could not be made.
    QCOMPARE(error, QStringLiteral("Cannot create file ") + path);
    QCOMPARE(fileBytes(path), QByteArray("old"));
    QCOMPARE(othersIn(dir.path(), {QStringLiteral("slot.txt")}), QStringList());
}

void TestSlotFileAtomic::otherUsersLinkInStickyFolderIsNotFollowed_data()
{
    QTest::addColumn<bool>("sticky");     // the link's folder: 1777, else 0755
    QTest::addColumn<bool>("othersLink"); // the link belongs to another user
    QTest::addColumn<bool>("othersFolder");
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<bool>("followed");
    QTest::newRow("another user's link to nothing, shared folder")
        << true << true << false << false << false;
    QTest::newRow("another user's link to our file, shared folder")
        << true << true << false << true << false;
    QTest::newRow("our link, shared folder") << true << false << false << true << true;
    QTest::newRow("link of the shared folder's owner") << true << true << true << true << true;
    QTest::newRow("another user's link, our folder") << false << true << false << true << true;
}

// Regression: a link another user planted at a slot file's name in a
// sticky folder anyone may write to (as /tmp) was followed, since the code
// resolves links itself: a capture created the link's target or appended
// to a file of the user's. The kernel's protected_symlinks rule, applied
// here: such a link is followed only when it is the user's own or the
// folder owner's. Reads, appends and whole writes alike.
void TestSlotFileAtomic::otherUsersLinkInStickyFolderIsNotFollowed()
{
    QFETCH(bool, sticky);
    QFETCH(bool, othersLink);
    QFETCH(bool, othersFolder);
    QFETCH(bool, targetExists);
    QFETCH(bool, followed);
    if (::geteuid() != 0)
        QSKIP("another user's link can only be made by root here");
    const passwd* nobody = ::getpwnam("nobody");
    QVERIFY(nobody != nullptr);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), sticky ? 01777 : 0755) == 0);
    if (othersFolder)
        QVERIFY(::chown(QFile::encodeName(folder).constData(), nobody->pw_uid, nobody->pw_gid) ==
                0);
    const QString target = dir.filePath(QStringLiteral("target.txt"));
    if (targetExists)
        writeBytes(target, "mine\r\n");
    const QString link = folder + QStringLiteral("/slot.txt");
    QVERIFY(QFile::link(target, link));
    if (othersLink)
        QVERIFY(::lchown(QFile::encodeName(link).constData(), nobody->pw_uid, nobody->pw_gid) == 0);

    const QString read = errorOf([&] { SlotFile::readText(link); });
    SlotFileWriter writer(link);
    const QString append =
        errorOf([&] { writer.appendText(QStringLiteral("appended\n"), QFont()); });
    QString whole;
    try {
        SlotFile::writeAtomically(link, "whole\r\n");
    } catch (const AppError& error) {
        whole = error.message() + QLatin1Char('/') + error.detail();
    }
    if (followed) {
        QCOMPARE(read, targetExists ? QString() : QStringLiteral("Cannot open file ") + link);
        QCOMPARE(append, QString());
        QCOMPARE(whole, QString());
        QCOMPARE(fileBytes(target), QByteArray("whole\r\n"));
    } else {
        QCOMPARE(read, QStringLiteral("Cannot open file ") + link);
        QCOMPARE(append, QStringLiteral("Cannot create file ") + link);
        QCOMPARE(whole, QStringLiteral("Cannot create file ") + link + QLatin1Char('/') +
                            AppError::reasonFor(EACCES));
        QCOMPARE(fileBytes(target), targetExists ? QByteArray("mine\r\n") : "<missing>");
    }
}

void TestSlotFileAtomic::readErrors()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    QCOMPARE(errorOf([&] { SlotFile::readText(missing); }),
             QStringLiteral("Cannot open file ") + missing);
    QCOMPARE(errorOf([&] { SlotFile::readText(dir.path()); }),
             QStringLiteral("Cannot open file ") + dir.path());
    const QString empty = dir.filePath(QStringLiteral("empty.rtf"));
    writeBytes(empty, QByteArray());
    QCOMPARE(SlotFile::readText(empty), QString());
}

void TestSlotFileAtomic::notRegularFileDoesNotBlock_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("FIFO without a writer") << QStringLiteral("fifo");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("endless device") << QStringLiteral("/dev/zero");
    QTest::newRow("device that swallows") << QStringLiteral("/dev/null");
}

// A slot file that was a FIFO blocked start-up forever, /dev/zero read
// without end, and a device took a capture as saved: only a regular file is
// read or written.
void TestSlotFileAtomic::notRegularFileDoesNotBlock()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600) ==
            0);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    if (!path.startsWith(QLatin1Char('/')))
        path = dir.filePath(path);
    QCOMPARE(errorOf([&] { SlotFile::readText(path); }),
             QStringLiteral("Cannot open file ") + path);
    QCOMPARE(errorOf([&] { SlotFile::writeText(path, QStringLiteral("x"), QFont()); }),
             QStringLiteral("Cannot create file ") + path);
}

void TestSlotFileAtomic::readEndOfLongFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("maxChars");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("cut");
    // The whole file, the part not read included, is in the slot file format.
    QTest::addColumn<bool>("inFormat");
    QTest::newRow("fits") << "a.txt" << QByteArray("ab\r\ncd\r\n") << 6 << "ab\ncd\n"
                          << false << true;
    QTest::newRow("from a line start")
        << "a.txt" << QByteArray("line1\r\nline2\r\nline3\r\n") << 8 << "line3\n"
        << true << true;
    QTest::newRow("break just before the limit")
        << "a.txt" << QByteArray("one\ntwo\n") << 4 << "two\n"
        << true << false;
    QTest::newRow("last line longer than the limit")
        << "a.txt" << QByteArray("abc\ndefghijkl") << 5 << "hijkl" << true << false;
    // Only the end is read: the window starts inside a three-byte sequence.
    const QByteArray euros(
        "x\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
    QTest::newRow("window inside UTF-8") << "a.txt" << euros + "\nab\n"
                                         << 4 << "ab\n"
                                         << true << false;
    QTest::newRow("window inside UTF-8, in the format") << "a.txt" << euros + "\r\nab\r\n"
                                                        << 4 << "ab\n"
                                                        << true << true;
    QTest::newRow("byte not read outside the format") << "a.txt"
                                                      << "\xE9" + euros + "\r\nab\r\n"
                                                      << 4 << "ab\n"
                                                      << true << false;
    QTest::newRow("no half surrogate pair")
        << "a.txt" << QByteArray("x\xF0\x9F\x98\x80\xF0\x9F\x98\x80") << 3 << QStringLiteral(u"😀")
        << true << true;
    QTest::newRow("RTF") << "a.rtf" << QByteArray("{\\rtf1\\ansi one\\par two\\par three}") << 7
                         << "three" << true << false;
}

// A slot file larger than the editor holds was cut at the next capture: a
// slot shows only the file's end, from a line start, and knows it was cut.
void TestSlotFileAtomic::readEndOfLongFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(int, maxChars);
    QFETCH(QString, text);
    QFETCH(bool, cut);
    QFETCH(bool, inFormat);
    QTemporaryDir dir;
    writeBytes(dir.filePath(name), file);
    const SlotFile::ReadResult result = SlotFile::readTextDetailed(dir.filePath(name), maxChars);
    QCOMPARE(result.text, text);
    QCOMPARE(result.cut, cut);
    QCOMPARE(result.size, file.size());
    QCOMPARE(result.canonical, inFormat);
}

void TestSlotFileAtomic::readChoosesFormatAndFallsBack()
{
    QTemporaryDir dir;
    const QByteArray rtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}caf\\'e9\\par x}");
    // An .rtf file holding RTF gives its text; a .txt file holding RTF is
    // plain text and shows the source; an .RTF file holding plain text falls
    // back to plain text.
    writeBytes(dir.filePath(QStringLiteral("a.RTF")), rtf);
    QCOMPARE(SlotFile::readText(dir.filePath(QStringLiteral("a.RTF"))), QStringLiteral(u"café\nx"));
    writeBytes(dir.filePath(QStringLiteral("a.txt")), rtf);
    QCOMPARE(SlotFile::readText(dir.filePath(QStringLiteral("a.txt"))), QString::fromLatin1(rtf));
    writeBytes(dir.filePath(QStringLiteral("plain.rtf")), "just text\r\nsecond");
    const SlotFile::ReadResult result =
        SlotFile::readTextDetailed(dir.filePath(QStringLiteral("plain.rtf")));
    QCOMPARE(result.text, QStringLiteral("just text\nsecond"));
    QCOMPARE(result.format, SlotFile::Format::PlainText);
    QCOMPARE(result.size, 17);
}

void TestSlotFileAtomic::writeTextSelectsFormat()
{
    QTemporaryDir dir;
    const QString text = QStringLiteral(u"Zeile 1 ä\nZeile 2 😀\n");
    const QString rtfName = dir.filePath(QStringLiteral("slot.Rtf"));
    SlotFile::writeText(rtfName, text, QFont(QStringLiteral("DejaVu Sans"), 10));
    QVERIFY(fileBytes(rtfName).startsWith("{\\rtf1"));
    QCOMPARE(SlotFile::readText(rtfName), text);
    const QString plainName = dir.filePath(QStringLiteral("slot.rtf.txt"));
    SlotFile::writeText(plainName, text, QFont());
    QCOMPARE(fileBytes(plainName), SlotFile::encodePlain(text));
    QCOMPARE(SlotFile::readText(plainName), text);
}

void TestSlotFileAtomic::survivesKillAtAnyMoment()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("slot.txt"));
    SlotFile::writeAtomically(path, CrashA);
    QRandomGenerator random(20261207);
    int sawA = 0;
    int sawB = 0;
    for (int round = 0; round < 40; ++round) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--write-loop"), path});
        QVERIFY(child.waitForStarted());
        QVERIFY2(child.waitForReadyRead(20000), child.readAllStandardError().constData());
        QThread::usleep(random.bounded(1000, 250000));
        child.kill();
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        const QByteArray now = fileBytes(path);
        QVERIFY2(now == CrashA || now == CrashB,
                 qPrintable(QStringLiteral("round %1: %2 bytes starting %3")
                                .arg(round)
                                .arg(now.size())
                                .arg(QString::fromLatin1(now.left(16)))));
        (now == CrashA ? sawA : sawB)++;
        // A killed writer may leave its temporary file behind, never
        // anything in the slot file's place.
        for (const QString& other : othersIn(dir.path(), {QStringLiteral("slot.txt")})) {
            QVERIFY2(other.startsWith(QStringLiteral(".slot.txt.")), qPrintable(other));
            QFile::remove(dir.filePath(other));
        }
    }
    qInfo("file held A %d times, B %d times", sawA, sawB);
    QVERIFY(sawA > 0 && sawB > 0);
}

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--write-loop") == 0)
        return writeLoop(QString::fromLocal8Bit(argv[2]));
    TestSupport::GuardedApplication<QCoreApplication> app(argc, argv);
    TestSlotFileAtomic test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_slotfileatomic.moc"
