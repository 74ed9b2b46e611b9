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
//
// With the argument "endless [SECONDS] [LIMIT_MIB]" it measures memory
// instead: an owner sends its text in pieces without end, the monitor in
// auto mode reads it for SECONDS (default 30) with the size limit
// (default: the program's own), and the peak and final resident memory
// are printed (run it under /usr/bin/time -v for the same from outside).
#include "core/ClipboardMonitor.h"
#include "ui/ClipboardViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

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

// Resident memory now, from /proc, in MiB.
long residentMiB()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024) / 1024;
}

int endless(int seconds, qsizetype limit)
{
    ClipboardMonitor monitor(createClipboardSource());
    monitor.source()->setSizeLimit(limit);
    monitor.setReadingText(true);
    int captures = 0;
    monitor.setCaptureHandler([&captures](const QString&) { ++captures; });
    QStringList told;
    QObject::connect(&monitor, &ClipboardMonitor::notDelivered, &monitor,
                     [&told](const QString& text) { told << text; });
    runFor(300);
    Owner owner({QStringLiteral("--incr-endless"), QStringLiteral("--chunk=65536"),
                 QString(65536, QLatin1Char('e'))});
    runFor(seconds * 1000);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Owner sending without end, limit %lld MiB, %d s: peak %ld MiB, now %ld MiB, "
                "%d captures, said: %s\n",
                static_cast<long long>(limit >> 20), seconds, usage.ru_maxrss / 1024, residentMiB(),
                captures, told.isEmpty() ? "nothing" : qPrintable(told.constFirst()));
    return 0;
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "run on an X display (QT_QPA_PLATFORM=xcb)\n");
        return 2;
    }
    if (argc > 1 && std::strcmp(argv[1], "endless") == 0)
        return endless(argc > 2 ? std::atoi(argv[2]) : 30,
                       argc > 3 ? qsizetype(std::atoll(argv[3])) << 20
                                : ClipboardSource::MaxTransferBytes);
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
