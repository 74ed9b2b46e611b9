// The collector's slots without any window: loading the slot files, the
// capture, Save, Save As, Set Filename and Clear, and what happens when
// another program changes a slot file while the slot holds typed text. The
// windows' part (questions, status bar, the note above a file's end) is in
// tst_mainwindow.
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "core/slotfile/SlotFile.h"
#include "support/CountingSound.h"
#include "support/Files.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <unistd.h>

using TestSupport::fileBytes;
using TestSupport::writeBytes;

class TestCollector final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TestSupport::ScopedRegistry> m_registry;
    QStringList m_errors;
    std::unique_ptr<Collector> m_collector;
    // The answer of the changed-file question, and the files it named.
    std::optional<Slot::Settle> m_settle;
    QStringList m_asked;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A collector whose slots hold the files slot1.txt to slot3.txt of the
    // test's folder, read as at start-up.
    Collector& start()
    {
        m_collector = TestSupport::makeCollector(m_registry->settings(), m_registry->errors(),
                                                 m_registry->saveSound());
        for (SlotNumber slot : SlotNumber::all())
            m_collector->setFileName(slot, path(QStringLiteral("slot%1.txt").arg(slot.number())));
        m_collector->setChangedFileQuestion([this](const QString& fileName) {
            m_asked << QFileInfo(fileName).fileName();
            return m_settle;
        });
        m_collector->loadSlots();
        return *m_collector;
    }

    // Types s where the move puts the caret, as the user does in the editor.
    static void type(SlotText& text, QTextCursor::MoveOperation where, const QString& s)
    {
        QTextCursor cursor(text.document());
        cursor.movePosition(where);
        cursor.insertText(s);
    }

    // Another program adds to the file, a moment later (a new time stamp).
    QByteArray changeOutside(const QString& name, const QByteArray& added)
    {
        QTest::qWait(20);
        writeBytes(path(name), fileBytes(path(name)) + added);
        return fileBytes(path(name));
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        for (const QString& name : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(path(name));
        m_registry = std::make_unique<TestSupport::ScopedRegistry>();
        m_errors.clear();
        m_registry->errors().setPresenter([this](const QString& text) { m_errors << text; });
        m_settle = Slot::Settle::KeepBoth;
        m_asked.clear();
    }

    void cleanup()
    {
        m_collector.reset();
        m_registry.reset();
    }

    // Start-up reads every slot's file; a missing one leaves its slot empty
    // and takes no file, so the first write creates it.
    void loadReadsEverySlot()
    {
        writeBytes(path("slot1.txt"), "one\r\n");
        writeBytes(path("slot3.txt"), "three\n");
        Collector& collector = start();
        QCOMPARE(collector.text(1).text(), QStringLiteral("one\r\n"));
        QCOMPARE(collector.text(2).length(), 0);
        QCOMPARE(collector.text(3).text(), QStringLiteral("three\r\n"));
        QVERIFY(m_errors.isEmpty());
        collector.setActiveSlot(2);
        QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
        QVERIFY(TestSupport::captureAndWait(collector, Collector::Trigger::User));
        QVERIFY(fileBytes(path("slot2.txt")).endsWith("\r\nclip\r\n\r\n\r\n"));
        QCOMPARE(m_registry->soundOutput().played, 1);
    }

    // A slot file another program changed is read again before the next
    // write, so its text stays and the capture goes after it; a file that
    // appears for a slot that had none is kept as well.
    void changedFileIsReadBeforeWrite()
    {
        writeBytes(path("slot1.txt"), "old\r\n");
        Collector& collector = start();
        changeOutside("slot1.txt", "added elsewhere\r\n");
        QGuiApplication::clipboard()->setText(QStringLiteral("captured"));
        QVERIFY(TestSupport::captureAndWait(collector, Collector::Trigger::User));
        const QByteArray bytes = fileBytes(path("slot1.txt"));
        QVERIFY(bytes.startsWith("old\r\nadded elsewhere\r\n"));
        QVERIFY(bytes.endsWith("captured\r\n\r\n\r\n"));
        QCOMPARE(collector.text(1).text().toUtf8(), bytes);

        writeBytes(path("slot2.txt"), "appeared");
        QVERIFY(collector.saveSlot(2));
        QCOMPARE(fileBytes(path("slot2.txt")), QByteArray("appeared"));

        // A write that could not have its lock (another Clipstow held it
        // longer than a moment) goes ahead, and the status bar says so.
        const SlotFile::WriteLock another(path("slot2.txt"));
        QSignalSpy status(&collector, &Collector::statusMessage);
        QVERIFY(collector.saveSlot(2));
        QCOMPARE(
            status.constLast().constFirst().toString(),
            path("slot2.txt") +
                QStringLiteral(" was written without its lock (another Clipstow was writing it)"));
    }

    // Regression: typed text vanished when another program changed the slot
    // file (Ctrl+S or F2 read the file back over the buffer). One story: a
    // user command keeps both, asking only where the typed text cannot just
    // follow the file's new text; a capture nobody asked for sets the typed
    // text aside first.
    void typedTextSurvivesFileChangedOnDisk()
    {
        writeBytes(path("slot1.txt"), "old\r\n");
        Collector& collector = start();
        SlotText& text = collector.text(1);

        // Typed at the end: Save puts it after the other program's line.
        type(text, QTextCursor::End, QStringLiteral("TYPED1"));
        changeOutside("slot1.txt", "other 1\r\n");
        QVERIFY(collector.saveSlot(1));
        QCOMPARE(fileBytes(path("slot1.txt")), QByteArray("old\r\nother 1\r\nTYPED1"));
        QCOMPARE(text.text().toUtf8(), fileBytes(path("slot1.txt")));
        QCOMPARE(m_asked, QStringList());

        // Typed before the end: the user's capture asks; Keep Both gives the
        // file's new text, then the slot's, then the capture.
        type(text, QTextCursor::Start, QStringLiteral("X"));
        const QByteArray slotText = text.text().toUtf8();
        const QByteArray other = changeOutside("slot1.txt", "\r\nother 2\r\n");
        QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
        QVERIFY(TestSupport::captureAndWait(collector, Collector::Trigger::User));
        QCOMPARE(m_asked, QStringList{QStringLiteral("slot1.txt")});
        QVERIFY(fileBytes(path("slot1.txt")).startsWith(other + slotText));
        QVERIFY(fileBytes(path("slot1.txt")).endsWith("clip\r\n\r\n\r\n"));
        QCOMPARE(text.text().toUtf8(), fileBytes(path("slot1.txt")));

        // Reload File: the file's text; the slot's changes are dropped.
        // Cancel: nothing is written.
        type(text, QTextCursor::Start, QStringLiteral("Y"));
        const QByteArray changed = changeOutside("slot1.txt", "other 3\r\n");
        m_settle.reset();
        QVERIFY(!collector.saveSlot(1));
        QCOMPARE(fileBytes(path("slot1.txt")), changed);
        m_settle = Slot::Settle::FileOnly;
        QVERIFY(collector.saveSlot(1));
        QCOMPARE(fileBytes(path("slot1.txt")), changed);
        QCOMPARE(text.text().toUtf8(), changed);

        // A capture nobody asked for never asks: the typed text goes next to
        // the file first, readable by the user only, and a status message
        // says where.
        m_asked.clear();
        QSignalSpy status(&collector, &Collector::statusMessage);
        type(text, QTextCursor::Start, QStringLiteral("Z"));
        const QByteArray unsaved = text.text().toUtf8();
        const QByteArray outside = changeOutside("slot1.txt", "other 4\r\n");
        QGuiApplication::clipboard()->setText(QStringLiteral("auto clip"));
        QVERIFY(TestSupport::captureAndWait(collector, Collector::Trigger::Tray));
        QCOMPARE(m_asked, QStringList());
        const QStringList aside =
            QDir(m_dir.path()).entryList({QStringLiteral("slot1.txt.unsaved-*")});
        QCOMPARE(aside.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^slot1\\.txt\\.unsaved-\\d{8}-\\d{6}$"))
                    .match(aside.constFirst())
                    .hasMatch());
        QCOMPARE(fileBytes(path(aside.constFirst())), unsaved);
        QCOMPARE(QFile::permissions(path(aside.constFirst())) & 0x0077, QFileDevice::Permissions());
        QCOMPARE(status.size(), 1);
        QVERIFY(status.constFirst().constFirst().toString().contains(aside.constFirst()));
        QVERIFY(fileBytes(path("slot1.txt")).startsWith(outside));
        QVERIFY(fileBytes(path("slot1.txt")).endsWith("auto clip\r\n\r\n\r\n"));

        // At the end of the session, where nobody can be asked, typed text
        // goes next to the file as well.
        type(text, QTextCursor::End, QStringLiteral("LAST"));
        const QString kept = collector.saveUnsavedTextAside(1);
        QCOMPARE(fileBytes(kept), text.text().toUtf8());
        QVERIFY(collector.saveUnsavedTextAside(2).isEmpty());
    }

    // A slot file larger than the text holds: the slot shows the file's end
    // (captures into it: tst_capture); Save As copies the whole file, and
    // another file makes the whole text the slot's again.
    void fileLargerThanTheTextShowsItsEnd()
    {
        QByteArray big;
        big.reserve(Slot::viewLimit() + 600'000);
        for (int n = 0; big.size() < Slot::viewLimit() + 500'000; ++n)
            big += "line " + QByteArray::number(n) + " of a long-running collector's file\r\n";
        writeBytes(path("slot1.txt"), big);
        Collector& collector = start();
        QVERIFY(collector.showsFileEnd(1));
        QVERIFY(big.endsWith(collector.text(1).text().toLatin1()));
        collector.saveSlotAs(1, path("copy.txt"));
        QVERIFY(fileBytes(path("copy.txt")) == big);

        writeBytes(path("small.txt"), "small\n");
        collector.chooseFile(1, path("small.txt"));
        QVERIFY(!collector.showsFileEnd(1));
        QCOMPARE(collector.text(1).text(), QStringLiteral("small\r\n"));
    }

    // Set Filename: an existing file becomes the slot's, whatever its
    // extension, and is read; a file that cannot be read never becomes the
    // slot's. A new name gets ".txt" and an empty slot, and no file yet.
    void chooseFile()
    {
        writeBytes(path("notes.log"), "log text\n");
        Collector& collector = start();
        collector.text(1).setText(QStringLiteral("previous"));
        collector.chooseFile(1, path("notes.log"));
        QCOMPARE(collector.fileName(1), path("notes.log"));
        QCOMPARE(collector.text(1).text(), QStringLiteral("log text\r\n"));

        collector.chooseFile(1, path("new"));
        QCOMPARE(collector.fileName(1), path("new.txt"));
        QCOMPARE(collector.text(1).length(), 0);
        QVERIFY(!QFile::exists(path("new.txt")));

        if (::geteuid() == 0)
            QSKIP("root reads every file");
        writeBytes(path("locked.txt"), "secret");
        QFile::setPermissions(path("locked.txt"), QFileDevice::Permissions());
        QVERIFY(
            !TestSupport::errorOf([&] { collector.chooseFile(1, path("locked.txt")); }).isEmpty());
        QCOMPARE(collector.fileName(1), path("new.txt"));
    }
};

CLIPSTOW_TEST_MAIN(TestCollector)
#include "tst_collector.moc"
