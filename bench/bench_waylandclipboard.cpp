// The Wayland data-control source on a private headless sway, with wl-copy
// as the clipboard's owner and the text read ahead:
// - "pause": the longest stretch in which the event loop did not run while
//   a 10 MB and a 50 MB text arrived (a 1 ms timer ticks throughout; a
//   pause is the time between two ticks), with the time from the copy to
//   the whole text;
// - "latency": from starting wl-copy with a short text to that text in
//   hand, median with lowest and highest of many copies.
// Usage: bench_waylandclipboard [RUNS] (default 5 per size, 40 copies).
#include "BenchSupport.h"
#include "platform/WaylandClipboard.h"
#include "support/PrivateSway.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
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

void printFigures(const char* what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("%-28s median %8.1f ms   lowest %8.1f   highest %8.1f   (%zu runs)\n", what,
                values[values.size() / 2], values.front(), values.back(), values.size());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
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
    return 0;
}
