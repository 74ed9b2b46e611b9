// The capture sequence on a real slot editor, the application's clipboard and
// real slot files in a temporary folder. The sound output is replaced by one
// that records what it was asked to play (the real output is exercised in
// tst_chime_playback).

#include "core/AppError.h"
#include "core/Capture.h"
#include "core/SaveSound.h"
#include "platform/SlotEditor.h"
#include "platform/SoundOutput.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

namespace {

class RecordingOutput final : public SoundOutput
{
public:
    int played = 0;
    bool playWaveData(const QByteArray&) override
    {
        ++played;
        return true;
    }
    bool playWaveFile(const QString&) override
    {
        ++played;
        return true;
    }
};

const QString Stamp = QStringLiteral("===== 12/6/2026 === 12:03:09 PM =====\r\n");
const QString NoDateStamp = QStringLiteral("\r\n\r\n");

QByteArray readAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

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

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestSupport::ScopedRegistry> m_registry;
    RecordingOutput m_output;
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

    const QByteArray block =
        "\r\n\r\n===== 12/6/2026 === 12:03:09 PM =====\r\n\r\nhello\r\n\r\n\r\n";
    QTest::newRow("empty slot, worked example") << QString() << Stamp << "hello" << block;
    QTest::newRow("ends mid-line") << "abc" << Stamp << "hello"
                                   << "abc" + block;
    QTest::newRow("ends with a line break") << "abc\r\n"
                                            << Stamp << "hello"
                                            << "abc\r\n" + block;
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
    CaptureIntoSlot(editor, stamp, name);

    QCOMPARE(readAll(name), file);
    QCOMPARE(editor.Text().toLatin1(), file);
    QCOMPARE(m_output.played, 1);
}

void TestCapture::workedExampleTwice()
{
    SlotEditor editor;
    const QString name = fileName(QStringLiteral("Default1.txt"));
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    CaptureIntoSlot(editor, Stamp, name);
    QCOMPARE(readAll(name).size(), 56);

    QGuiApplication::clipboard()->setText(QStringLiteral("world"));
    CaptureIntoSlot(editor, QStringLiteral("===== 12/6/2026 === 12:04:30 PM =====\r\n"), name);
    // Four blank lines between hello and the second stamp.
    QCOMPARE(readAll(name), QByteArray("\r\n\r\n===== 12/6/2026 === 12:03:09 PM =====\r\n\r\n"
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
    try {
        CaptureIntoSlot(editor, Stamp, name);
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
            QVERIFY(readAll(name).endsWith("hello\r\n\r\n\r\n"));
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
    QVERIFY_THROWS_EXCEPTION(AppError, CaptureIntoSlot(editor, Stamp, name));
    QVERIFY(readAll(name).endsWith("hello\r\n\r\n\r\n"));
    QCOMPARE(m_output.played, 0);
}

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
