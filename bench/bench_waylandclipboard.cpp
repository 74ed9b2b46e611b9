// The Wayland data-control source on a private headless sway, with wl-copy
// as the clipboard's owner and the text read ahead:
// - "pause": the longest stretch in which the event loop did not run while
//   a 10 MB and a 50 MB text arrived (a 1 ms timer ticks throughout; a
//   pause is the time between two ticks), with the time from the copy to
//   the whole text;
// - "latency": from starting wl-copy with a short text to that text in
//   hand, median with lowest and highest of many copies;
// - "slot file": from starting wl-copy to its text written to the active
//   slot's file, with the sources wired as at start-up and auto mode on.
// Usage: bench_waylandclipboard [RUNS] (default 5 per size, 40 copies).
#include "BenchSupport.h"
#include "core/ClipboardMonitor.h"
#include "core/ClipboardSourceChooser.h"
#include "core/Collector.h"
#include "platform/WaylandClipboard.h"
#include "support/Files.h"
#include "support/PrivateSway.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString Utf8Text = QStringLiteral("text/plain;charset=utf-8");

struct Arrival
{
    double copyToTextMs = -1; // -1: it did not arrive
    double longestPauseMs = 0;
};

// Starts wl-copy with data without waiting for it and times the event loop
// until the offer it makes is announced with the text read ahead.
Arrival arrive(ClipboardSource& source, const TestSupport::PrivateSway& sway,
               const QByteArray& data)
{
    Arrival result;
    QByteArray text;
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 lastTick = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        result.longestPauseMs = std::max(result.longestPauseMs, (now - lastTick) / 1e6);
        lastTick = now;
    });
    const auto offered = QObject::connect(
        &source, &ClipboardSource::offered, [&](const ClipboardSource::Offer& offer) {
            // The text is compared once the timing is over.
            if (offer.data.value(Utf8Text).size() == data.size()) {
                result.copyToTextMs = clock.nsecsElapsed() / 1e6;
                text = offer.data.value(Utf8Text);
            }
            if (result.copyToTextMs >= 0 || offer.failure != ClipboardSource::Failure::None)
                loop.quit();
        });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);

    // wl-copy reads the text from a file, so that this process has
    // nothing to write while it measures.
    QTemporaryFile input;
    if (!input.open() || input.write(data) != data.size() || !input.flush())
        return result;
    QProcess copy;
    copy.setProcessEnvironment(sway.environment(QProcessEnvironment::systemEnvironment()));
    copy.setStandardInputFile(input.fileName());
    copy.setStandardOutputFile(QProcess::nullDevice());
    clock.start();
    ticker.start();
    copy.start(QStringLiteral("wl-copy"), {});
    loop.exec();
    ticker.stop();
    copy.waitForFinished();
    QObject::disconnect(offered);
    if (text != data)
        result.copyToTextMs = -1;
    return result;
}

// From starting wl-copy with text to the collector's capture of it in the
// slot's file; -1 when it did not arrive.
double copyToSlotFile(Collector& collector, const TestSupport::PrivateSway& sway,
                      const QString& file, const QByteArray& text)
{
    QEventLoop loop;
    const auto ended =
        QObject::connect(&collector, &Collector::captureEnded, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    QProcess copy;
    copy.setProcessEnvironment(sway.environment(QProcessEnvironment::systemEnvironment()));
    copy.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    copy.start(QStringLiteral("wl-copy"), {QString::fromUtf8(text)});
    loop.exec();
    const double elapsed = clock.nsecsElapsed() / 1e6;
    QObject::disconnect(ended);
    copy.waitForFinished();
    const QStringList texts = TestSupport::capturedTexts(file);
    return !texts.isEmpty() && texts.last() == QString::fromUtf8(text) ? elapsed : -1;
}

void printFigures(const char* what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("%-28s median %8.1f ms   lowest %8.1f   highest %8.1f   (%zu runs)\n", what,
                values[values.size() / 2], values.front(), values.back(), values.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    TestSupport::PrivateSway sway;
    const QString problem = sway.start();
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "no compositor: %s\n", qPrintable(problem));
        return 1;
    }
    sway.enter();
    WaylandClipboard::Opening opening = WaylandClipboard::open();
    if (!opening.source) {
        std::fprintf(stderr, "no data-control: %s\n", qPrintable(opening.detail));
        return 1;
    }
    ClipboardSource& source = *opening.source;
    source.setReadAhead(
        [](const QStringList&, const QHash<QString, QByteArray>& read) {
            return read.isEmpty() ? Utf8Text : QString();
        },
        30000);

    for (const qsizetype megabytes : {10, 50}) {
        const QByteArray text = BenchSupport::sampleFile(megabytes * 1000 * 1000);
        std::vector<double> pauses, times;
        for (int run = 0; run < runs; ++run) {
            const Arrival arrival = arrive(source, sway, text);
            if (arrival.copyToTextMs < 0) {
                std::fprintf(stderr, "%lld MB: the text did not arrive\n", qlonglong(megabytes));
                return 1;
            }
            pauses.push_back(arrival.longestPauseMs);
            times.push_back(arrival.copyToTextMs);
        }
        const QByteArray label = QByteArray::number(megabytes) + " MB";
        printFigures((label + ": longest pause").constData(), pauses);
        printFigures((label + ": copy to text").constData(), times);
    }

    std::vector<double> latencies;
    for (int copy = 0; copy < runs * 8; ++copy) {
        const Arrival arrival = arrive(source, sway, "copy " + QByteArray::number(copy));
        if (arrival.copyToTextMs >= 0)
            latencies.push_back(arrival.copyToTextMs);
    }
    printFigures("short text: copy to text", latencies);
    opening.source.reset();

    TestSupport::ScopedRegistry registry;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("slot1.txt"));
    Collector collector(registry.settings(), registry.errors(), registry.saveSound());
    ClipboardMonitor monitor(nullptr);
    ClipboardSourceChooser chooser(
        [&monitor](std::unique_ptr<ClipboardSource> source, ClipboardMonitor::SourceStart start) {
            monitor.setSource(std::move(source), start);
        },
        &createClipboardSource);
    chooser.start(false);
    collector.setClipboardMonitor(&monitor);
    collector.setFileName(1, file);
    collector.setAutoMode(true, Collector::Source::Startup);
    collector.loadSlots();
    collector.startWatchingClipboard();
    std::vector<double> captures;
    for (int copy = 0; copy < runs * 8; ++copy) {
        const double ms =
            copyToSlotFile(collector, sway, file, "capture " + QByteArray::number(copy));
        if (ms >= 0)
            captures.push_back(ms);
    }
    if (captures.empty()) {
        std::fprintf(stderr, "no copy reached the slot file\n");
        return 1;
    }
    printFigures("short text: copy to slot file", captures);
    return 0;
}
