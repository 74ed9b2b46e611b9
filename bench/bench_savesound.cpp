// What the save sound costs the capture that asks for it: the settings read,
// the chime read and the hand-over to the player thread, which plays into
// whatever sound server the environment names (none: silence). Each request
// is timed on its own, one at a time with the sound left to end and in a
// burst of back-to-back requests; the median, the 90th percentile and the
// highest are printed.

#include "core/SaveSound.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void report(const char* what, std::vector<qint64> nanos)
{
    std::sort(nanos.begin(), nanos.end());
    const auto at = [&](double share) {
        return double(nanos[size_t(share * double(nanos.size() - 1))]) / 1000.0;
    };
    std::printf("%-40s median %8.1f us  p90 %8.1f us  max %8.1f us  (%zu runs)\n", what, at(0.5),
                at(0.9), double(nanos.back()) / 1000.0, nanos.size());
}

template <typename Fn> qint64 timed(Fn fn)
{
    QElapsedTimer timer;
    timer.start();
    fn();
    return timer.nsecsElapsed();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("registry.sqlite3")));
    settings.setDefaultSound(true);
    SaveSound sound(&settings);

    std::vector<qint64> alone;
    for (int i = 0; i < 20; ++i) {
        alone.push_back(timed([&sound] { sound.indicateSave(); }));
        QThread::msleep(700); // the chime lasts 631 ms
    }
    report("indicateSave, one at a time", alone);

    std::vector<qint64> burst;
    for (int i = 0; i < 500; ++i)
        burst.push_back(timed([&sound] { sound.indicateSave(); }));
    report("indicateSave, 500 back to back", burst);

    std::vector<qint64> chimes;
    for (int i = 0; i < 500; ++i)
        chimes.push_back(timed([&sound] { sound.playChime(); }));
    report("playChime, 500 back to back", chimes);
    return 0;
}
