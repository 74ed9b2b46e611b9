// How long the user-interface thread stops answering while a clipboard
// owner misbehaves, and while a large copy arrives. Run on an X display
// (Xvfb will do) with the test helper built (tests/clipboard-owner).
//
// The longest gap between the ticks of a 5 ms timer is measured over a few
// seconds after the helper takes the clipboard:
// - "QClipboard": what the program did before, on the user-interface
//   thread: the text asked for through QClipboard (the capture and the
//   hints did) and every format read (the clipboard viewer did);
// - "monitor": the clipboard monitor in auto mode, a capture asked for
//   (readText) and the clipboard viewer open, all through the X11 source.
// For the large copies only the monitor is measured (the capture itself
// left out): the pause is mostly the decoding of the text once it has
// arrived, about 60 ms for 50 MiB of UTF-8 here.
#include "core/ClipboardMonitor.h"
#include "ui/ClipboardViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QProcess>
#include <QTimer>
#include <cstdio>

namespace {

// The longest time the event loop did not come round, while it runs.
class PauseMeter
{
public:
    PauseMeter()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_since.restart()); });
        m_since.start();
        m_timer.start();
    }
    qint64 longestMs() const { return std::max(m_longest, m_since.elapsed()); }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

void runFor(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

QString helper()
{
    return QStringLiteral(CLIPSTOW_BINARY_DIR "/tests/clipboard-owner");
}

// The helper owning the clipboard as told, until destroyed.
struct Owner
{
    QProcess process;
    explicit Owner(const QStringList& args)
    {
        process.start(helper(), args);
        if (!process.waitForReadyRead(10000) || !process.readLine().startsWith("ready")) {
            std::fprintf(stderr, "the helper %s did not start\n", qPrintable(helper()));
            std::exit(2);
        }
    }
    ~Owner()
    {
        process.kill();
        process.waitForFinished();
    }
};

qint64 beforeWithQClipboard(const QStringList& args)
{
    Owner owner(args);
    PauseMeter meter;
    QTimer::singleShot(0, [] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (!data)
            return;
        // The hint and the capture.
        if (data->hasText())
            (void)data->text();
        // The viewer.
        for (const QString& format : data->formats())
            (void)data->data(format);
    });
    runFor(4000);
    return meter.longestMs();
}

// A capture is asked for at each change when captured is null; else the
// automatic capture's text goes there.
qint64 withMonitor(const QStringList& args, int ms, QString* captured = nullptr)
{
    ClipboardMonitor monitor(createClipboardSource());
    monitor.setReadingText(true);
    monitor.setCaptureHandler([captured](const QString& text) {
        if (captured)
            *captured = text;
    });
    ClipboardViewer viewer(monitor);
    viewer.show();
    runFor(300);
    Owner owner(args);
    PauseMeter meter;
    if (!captured)
        QObject::connect(&monitor, &ClipboardMonitor::changed, &monitor,
                         [&monitor] { monitor.readText(&monitor, [](auto, const QString&) {}); });
    runFor(ms);
    return meter.longestMs();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "run on an X display (QT_QPA_PLATFORM=xcb)\n");
        return 2;
    }
    const QString text(5000, QLatin1Char('t'));
    const struct
    {
        const char* name;
        QStringList args;
    } owners[] = {
        {"never sends the text", {QStringLiteral("--silent-text"), text}},
        {"stops in the middle of its pieces",
         {QStringLiteral("--incr-stop"), QStringLiteral("--chunk=1000"), text}},
        {"lists a format it never delivers", {QStringLiteral("--withhold=image/png"), text}},
    };
    std::printf("Longest pause of the event loop while the clipboard's owner misbehaves:\n");
    for (const auto& owner : owners)
        std::printf("  %-36s QClipboard %5lld ms, monitor %4lld ms\n", owner.name,
                    static_cast<long long>(beforeWithQClipboard(owner.args)),
                    static_cast<long long>(withMonitor(owner.args, 5000)));

    std::printf("Longest pause while a large copy arrives (monitor, viewer open):\n");
    for (const int megabytes : {10, 50}) {
        QString captured;
        const qint64 pause = withMonitor({QStringLiteral("--burst=1"),
                                          QStringLiteral("--size=%1").arg(megabytes * 1024 * 1024),
                                          QStringLiteral("large")},
                                         6000, &captured);
        std::printf("  %2d MiB: %4lld ms (%s)\n", megabytes, static_cast<long long>(pause),
                    captured.size() == megabytes * 1024 * 1024 ? "arrived whole" : "NOT whole");
    }
    return 0;
}
