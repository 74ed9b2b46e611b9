// The clipboard monitor on a real X server: the clipboard is set by xclip,
// by a helper program offering several formats, and by this process.
#include "base/AppError.h"
#include "core/ClipboardMonitor.h"
#include "core/ErrorReporter.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QtTest>
#include <memory>

namespace {

QClipboard* clipboard()
{
    return QGuiApplication::clipboard();
}

QClipboard::Mode modeOf(const char* selection)
{
    return qstrcmp(selection, "clipboard") == 0 ? QClipboard::Clipboard : QClipboard::Selection;
}

// Waits until this process has been told of a change of `mode` (the change
// notification itself, not only the new contents, must have arrived).
void waitForNotification(QSignalSpy& spy, QClipboard::Mode mode)
{
    const auto seen = [&spy, mode] {
        for (const QList<QVariant>& args : spy)
            if (args.at(0).value<QClipboard::Mode>() == mode)
                return true;
        return false;
    };
    QTRY_VERIFY(seen());
}

// Gives the clipboard to a new xclip process and waits until this process
// has been notified of the change.
void xclipSet(const QString& text, const char* selection = "clipboard")
{
    QSignalSpy spy(clipboard(), &QClipboard::changed);
    QProcess xclip;
    xclip.start("xclip", {"-selection", selection, "-i"});
    QVERIFY(xclip.waitForStarted());
    xclip.write(text.toUtf8());
    xclip.closeWriteChannel();
    QVERIFY(xclip.waitForFinished());
    waitForNotification(spy, modeOf(selection));
    QCOMPARE(clipboard()->text(modeOf(selection)), text);
}

// Counts the change handler's calls and records the clipboard text each call saw.
struct Recorder
{
    int count = 0;
    QStringList texts;
    ClipboardMonitor* lastSender = nullptr;
    ClipboardMonitor::ChangeHandler handler()
    {
        return [this](ClipboardMonitor* sender) {
            ++count;
            lastSender = sender;
            texts << clipboard()->text();
        };
    }
};

// Mode of this program when run as a freshly started process: monitor the
// clipboard for a second and print how many changes it reported.
int startupProbe(int argc, char** argv)
{
    TestSupport::GuardedApplication<QApplication> app(argc, argv);
    ClipboardMonitor monitor;
    int count = 0;
    monitor.setChangeHandler([&count](ClipboardMonitor*) { ++count; });
    QTest::qWait(1000);
    std::printf("%d\n", count);
    return 0;
}

} // namespace

class TestClipboardMonitor final : public QObject
{
    Q_OBJECT

private Q_SLOTS:

    void programStartWithTextOnClipboardReportsNothing()
    {
        xclipSet("on the clipboard before start");
        QProcess probe;
        probe.start(QCoreApplication::applicationFilePath(), {"--startup-probe"});
        QVERIFY(probe.waitForFinished(20000));
        QCOMPARE(probe.exitCode(), 0);
        QCOMPARE(probe.readAllStandardOutput().trimmed(), QByteArray("0"));
    }

    void textBeforeHandlerIsSetIsNotReportedLater()
    {
        xclipSet("before the monitor");
        ClipboardMonitor monitor;
        Recorder recorder;
        xclipSet("while no handler is set");
        monitor.setChangeHandler(recorder.handler());
        QTest::qWait(1000);
        QCOMPARE(recorder.count, 0);

        xclipSet("after the handler");
        QTRY_COMPARE(recorder.count, 1);
        QTest::qWait(300);
        QCOMPARE(recorder.count, 1);
        QCOMPARE(recorder.lastSender, &monitor);
        QCOMPARE(recorder.texts, QStringList{"after the handler"});
    }

    void eachChangeIsReportedOnce()
    {
        xclipSet("start");
        ClipboardMonitor monitor;
        Recorder recorder;
        monitor.setChangeHandler(recorder.handler());

        xclipSet("one");
        QTRY_COMPARE(recorder.count, 1);
        xclipSet("two");
        QTRY_COMPARE(recorder.count, 2);
        // The same text copied again is a new change.
        xclipSet("two");
        QTRY_COMPARE(recorder.count, 3);

        // This process's own copy is reported at once.
        clipboard()->setText("own copy");
        QCOMPARE(recorder.count, 4);

        // Emptying the clipboard is a change, reported once although the
        // X11 clipboard announces it twice.
        clipboard()->clear();
        QTest::qWait(500);
        QCOMPARE(recorder.count, 5);

        // Selecting text (the primary selection) is not the clipboard.
        xclipSet("selected", "primary");
        QTest::qWait(300);
        QCOMPARE(recorder.count, 5);
        QCOMPARE(recorder.texts, (QStringList{"one", "two", "two", "own copy", ""}));
    }

    void disabledMonitorReportsNothing()
    {
        ClipboardMonitor monitor;
        QVERIFY(monitor.isEnabled());
        Recorder recorder;
        monitor.setChangeHandler(recorder.handler());

        monitor.setEnabled(false);
        QVERIFY(!monitor.isEnabled());
        xclipSet("while disabled");
        QTest::qWait(300);
        QCOMPARE(recorder.count, 0);

        // Enabling twice must not listen twice.
        monitor.setEnabled(true);
        monitor.setEnabled(true);
        xclipSet("enabled again");
        QTRY_COMPARE(recorder.count, 1);
        QTest::qWait(300);
        QCOMPARE(recorder.count, 1);
    }

    void destroyedMonitorReportsNothing()
    {
        Recorder recorder;
        {
            ClipboardMonitor monitor;
            monitor.setChangeHandler(recorder.handler());
        }
        xclipSet("after destruction");
        QTest::qWait(300);
        QCOMPARE(recorder.count, 0);
    }

    void secretContentIsNotReported_data()
    {
        QTest::addColumn<QStringList>("extraFormats");
        QTest::addColumn<int>("reported");
        QTest::newRow("password manager hint")
            << QStringList{"x-kde-passwordManagerHint=secret"} << 0;
        QTest::newRow("windows exclusion format")
            << QStringList{"ExcludeClipboardContentFromMonitorProcessing=1"} << 0;
        QTest::newRow("hint with another value")
            << QStringList{"x-kde-passwordManagerHint=public"} << 1;
        QTest::newRow("text and html") << QStringList{"text/html=<b>pw</b>"} << 1;
    }

    void secretContentIsNotReported()
    {
        QFETCH(QStringList, extraFormats);
        QFETCH(int, reported);
        xclipSet("before");
        ClipboardMonitor monitor;
        Recorder recorder;
        monitor.setChangeHandler(recorder.handler());

        QSignalSpy spy(clipboard(), &QClipboard::changed);
        QProcess owner;
        owner.start(CLIPBOARD_OWNER, QStringList{"hunter2"} + extraFormats);
        QVERIFY(owner.waitForReadyRead(10000));
        QCOMPARE(owner.readLine().trimmed(), QByteArray("ready"));
        waitForNotification(spy, QClipboard::Clipboard);
        QCOMPARE(clipboard()->text(), QString("hunter2"));
        QTest::qWait(300);
        QCOMPARE(recorder.count, reported);

        // Once the helper no longer owns the clipboard, stopping it is no
        // change of the clipboard.
        xclipSet("after");
        QTRY_COMPARE(recorder.count, reported + 1);
        owner.kill();
        QVERIFY(owner.waitForFinished(10000));
        QTest::qWait(300);
        QCOMPARE(recorder.count, reported + 1);
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--startup-probe") == 0)
        return startupProbe(argc, argv);
    TestSupport::GuardedApplication<QApplication> app(argc, argv);
    TestClipboardMonitor test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_x11_clipboardmonitor.moc"
