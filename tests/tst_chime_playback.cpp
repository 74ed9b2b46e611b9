// The save sound as it is really heard: played through PulseAudio into the
// null sink "clipstow_null" that scripts/run-tests.sh sets up, and recorded
// from that sink's monitor. Without that daemon (CLIPSTOW_TEST_PULSE unset)
// the recording tests are skipped; the tests with no server or a server that
// never answers run everywhere, and the reconnection test starts daemons of
// its own.

#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "core/SoundPlayer.h"
#include "platform/linux/PulseSoundOutput.h"
#include "settings/RegistryLayout.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <sndfile.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr int RecordRate = 44100;
constexpr int RecordChannels = 2;
constexpr int FrameBytes = RecordChannels * 2;
// Samples above this count as sound (about -40 dBFS).
constexpr int SoundThreshold = 330;

// What a recording holds, measured between its first and last sound.
struct Measured
{
    double seconds = 0; // from the first to the last sample above the threshold
    double peak = 0;    // of full scale
    double rms = 0;     // of full scale, over that stretch
};

Measured measure(const QByteArray& pcm)
{
    const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
    const qsizetype count = pcm.size() / 2;
    qsizetype first = -1;
    qsizetype last = -1;
    int peak = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const int level = std::abs(int(samples[i]));
        peak = std::max(peak, level);
        if (level > SoundThreshold) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    Measured result;
    result.peak = peak / 32768.0;
    if (first < 0)
        return result;
    double sumSquares = 0;
    for (qsizetype i = first; i <= last; ++i)
        sumSquares += double(samples[i]) * samples[i];
    result.rms = std::sqrt(sumSquares / double(last - first + 1)) / 32768.0;
    result.seconds = double(last / RecordChannels - first / RecordChannels) / RecordRate;
    return result;
}

// One stretch of sound in a recording: samples above the threshold with no
// silence longer than MaxGap between them.
struct Segment
{
    double start = 0;   // seconds from the recording's start
    double seconds = 0; // from its first to its last sample above the threshold
};

constexpr double MaxGap = 0.1;

QList<Segment> segments(const QByteArray& pcm)
{
    const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
    const qsizetype frames = pcm.size() / FrameBytes;
    QList<Segment> found;
    double last = -1;
    for (qsizetype frame = 0; frame < frames; ++frame) {
        bool loud = false;
        for (int channel = 0; channel < RecordChannels; ++channel)
            loud =
                loud || std::abs(int(samples[frame * RecordChannels + channel])) > SoundThreshold;
        if (!loud)
            continue;
        const double at = double(frame) / RecordRate;
        if (found.isEmpty() || at - last > MaxGap)
            found.append({at, 0});
        found.last().seconds = at - found.last().start;
        last = at;
    }
    return found;
}

// Records the null sink's monitor as raw 16-bit stereo while alive. The
// recorder writes straight into a file: a pipe would fill while the sound
// plays synchronously and the recorder would drop frames.
class MonitorRecording final
{
public:
    bool start(const QString& server = {}, const QString& device = {})
    {
        if (!m_dir.isValid())
            return false;
        m_path = m_dir.filePath(QStringLiteral("monitor.raw"));
        m_process.setStandardOutputFile(m_path);
        m_process.setProgram(QStringLiteral("parec"));
        QStringList arguments{QStringLiteral("--device=%1.monitor")
                                  .arg(device.isEmpty() ? QStringLiteral("clipstow_null") : device),
                              QStringLiteral("--format=s16le"),
                              QStringLiteral("--rate=%1").arg(RecordRate),
                              QStringLiteral("--channels=%1").arg(RecordChannels),
                              QStringLiteral("--latency-msec=20"),
                              QStringLiteral("--raw")};
        if (!server.isEmpty())
            arguments.append(QStringLiteral("--server=") + server);
        m_process.setArguments(arguments);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        // The monitor delivers silence as soon as the stream runs; wait for
        // it so that nothing played afterwards is missed.
        QElapsedTimer timer;
        timer.start();
        while (QFileInfo(m_path).size() == 0 && timer.elapsed() < 10000 &&
               m_process.state() == QProcess::Running)
            QThread::msleep(20);
        m_skip = QFileInfo(m_path).size();
        return m_skip > 0 && m_process.state() == QProcess::Running;
    }

    // Seconds recorded so far, counted like Segment::start. The recorder
    // writes what it gets a little late, so a sound measured from here
    // seems to start a little later than it did, never earlier.
    double position() const
    {
        return double(QFileInfo(m_path).size() - m_skip) / FrameBytes / RecordRate;
    }

    // Whether anything above the threshold has been recorded yet.
    bool heardAnything() const
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) && !segments(file.readAll().mid(m_skip)).isEmpty();
    }

    // Keeps recording for a further moment, then stops and hands back the
    // frames recorded since start() returned.
    QByteArray stop(int afterMs)
    {
        QThread::msleep(afterMs);
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QByteArray data = file.readAll().mid(m_skip);
        data.truncate(data.size() - data.size() % FrameBytes);
        return data;
    }

    ~MonitorRecording()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    QProcess m_process;
    qint64 m_skip = 0;
};

// A mono 48 kHz 24-bit file of a 660 Hz tone lasting `seconds`: another
// format than the chime's, so the file path really decodes on its own.
bool writeTone(const QString& path, double seconds)
{
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const int frames = int(seconds * info.samplerate);
    std::vector<float> samples(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        samples[size_t(i)] = 0.5f * float(std::sin(2 * M_PI * 660.0 * i / info.samplerate));
    const bool written = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

// Points PULSE_SERVER somewhere else while alive.
class ScopedServerAddress final
{
public:
    explicit ScopedServerAddress(const QByteArray& address)
        : m_previous(qgetenv("PULSE_SERVER")),
          m_hadPrevious(qEnvironmentVariableIsSet("PULSE_SERVER"))
    {
        qputenv("PULSE_SERVER", address);
    }
    ~ScopedServerAddress()
    {
        if (m_hadPrevious)
            qputenv("PULSE_SERVER", m_previous);
        else
            qunsetenv("PULSE_SERVER");
    }

private:
    QByteArray m_previous;
    bool m_hadPrevious;
};

// A PulseAudio daemon of the test's own with a null sink "private_null",
// listening on a socket in a temporary folder, that can go away and come
// back on the same address.
class PrivateServer final
{
public:
    PrivateServer()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("runtime"));
        QDir(m_dir.path()).mkpath(QStringLiteral("home"));
        QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);
    }
    ~PrivateServer() { stop(); }

    QString address() const { return QStringLiteral("unix:") + socketPath(); }

    bool start()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                           m_dir.filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("PULSE_RUNTIME_PATH"),
                           m_dir.filePath(QStringLiteral("runtime/pulse")));
        // Away from the session bus, where the test run's own daemon holds
        // the server's name.
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=") + m_dir.filePath(QStringLiteral("no-bus")));
        m_process.setProcessEnvironment(environment);
        m_process.setProgram(QStringLiteral("pulseaudio"));
        m_process.setArguments(
            {QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
             QStringLiteral("--system=false"), QStringLiteral("--disallow-exit"),
             QStringLiteral("-n"), QStringLiteral("--load=module-null-sink sink_name=private_null"),
             QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") +
                 socketPath()});
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(m_dir.filePath(QStringLiteral("log")));
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (QProcess::execute(QStringLiteral("pactl"), {QStringLiteral("--server=") + address(),
                                                            QStringLiteral("info")}) == 0)
                return true;
            QThread::msleep(50);
        }
        QFile log(m_dir.filePath(QStringLiteral("log")));
        if (log.open(QIODevice::ReadOnly))
            qWarning("pulseaudio did not start: %s", log.readAll().constData());
        return false;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(5000);
        QFile::remove(socketPath());
    }

    // Names of the clients connected now.
    QStringList clients() const
    {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("--server=") + address(),
                                              QStringLiteral("list"), QStringLiteral("clients")});
        pactl.waitForFinished(5000);
        QStringList names;
        for (const QString& line : QString::fromUtf8(pactl.readAllStandardOutput()).split('\n')) {
            const QString trimmed = line.trimmed();
            if (trimmed.startsWith(QStringLiteral("application.name = ")))
                names.append(trimmed.section('"', 1, 1));
        }
        return names;
    }

private:
    QString socketPath() const { return m_dir.filePath(QStringLiteral("native")); }

    QTemporaryDir m_dir;
    QProcess m_process;
};

QByteArray builtInChime()
{
    QFile chime(QString::fromLatin1(SaveSound::BuiltInChime));
    return chime.open(QIODevice::ReadOnly) ? chime.readAll() : QByteArray();
}

int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task"))
                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                   .size());
}

// The chime lasts 13,921 frames at 22,050 Hz: 631 ms.
constexpr double ChimeSeconds = 0.631;
// The longest time from asking for a sound to hearing it.
constexpr double StartLimit = 0.1;

} // namespace

class TestChimePlayback : public QObject
{
    Q_OBJECT

private:
    QStringList m_shown;

    static bool haveTestServer() { return qEnvironmentVariableIsSet("CLIPSTOW_TEST_PULSE"); }

private Q_SLOTS:
    void initTestCase() { Q_INIT_RESOURCE(resources); }

    void init() { m_shown.clear(); }

    // Each capture made on its own is heard as one whole chime that starts
    // at once, also the first one, which connects to the server.
    void playChimes_heardWholeOncePerCapture()
    {
        if (!haveTestServer())
            QSKIP("no private PulseAudio daemon: run through scripts/run-tests.sh");
        TestSupport::ScopedRegistry registry;
        SaveSound sound(&registry.settings());
        registry.errors().setPresenter([this](const QString& text) { m_shown.append(text); });
        MonitorRecording recording;
        QVERIFY(recording.start());

        QList<double> asked;
        for (int capture = 0; capture < 3; ++capture) {
            if (capture > 0)
                QThread::msleep(1000);
            asked.append(recording.position());
            if (capture == 1)
                sound.indicateSave();
            else
                sound.playChime();
        }

        const QByteArray pcm = recording.stop(1000);
        const QList<Segment> heard = segments(pcm);
        const Measured level = measure(pcm);
        for (qsizetype i = 0; i < heard.size(); ++i)
            qInfo("sound %lld: asked at %.3f s, heard from %.3f s for %.3f s", i,
                  i < asked.size() ? asked[i] : -1.0, heard[i].start, heard[i].seconds);
        QCOMPARE(heard.size(), asked.size());
        for (qsizetype i = 0; i < heard.size(); ++i) {
            QVERIFY2(heard[i].seconds > ChimeSeconds - 0.05 &&
                         heard[i].seconds < ChimeSeconds + 0.02,
                     "chime length");
            // The recording is written a little late, so a sound heard just
            // before the position taken when it was asked for is possible.
            QVERIFY2(heard[i].start - asked[i] > -0.05, "heard before it was asked for");
            QVERIFY2(heard[i].start - asked[i] < StartLimit, "chime started late");
        }
        QVERIFY2(level.peak > 0.4 && level.rms > 0.04, "chime too quiet");
        QVERIFY(m_shown.isEmpty());
    }

    // Captures in a burst are heard as one or two whole chimes one after
    // the other: the one playing and at most one waiting behind it (one
    // only when the burst is over before the player takes the first), never
    // on top of each other.
    void indicateSave_burstIsHeardAtMostTwice()
    {
        if (!haveTestServer())
            QSKIP("no private PulseAudio daemon: run through scripts/run-tests.sh");
        TestSupport::ScopedRegistry registry;
        SaveSound sound(&registry.settings());
        registry.errors().setPresenter([this](const QString& text) { m_shown.append(text); });
        MonitorRecording recording;
        QVERIFY(recording.start());
        const double asked = recording.position();
        for (int capture = 0; capture < 10; ++capture)
            sound.indicateSave();

        const QByteArray pcm = recording.stop(2500);
        const QList<Segment> heard = segments(pcm);
        const Measured level = measure(pcm);
        qInfo("asked at %.3f s; %lld stretches, first at %.3f s, sound for %.3f s, peak %.3f",
              asked, heard.size(), heard.isEmpty() ? -1.0 : heard.first().start, level.seconds,
              level.peak);
        QVERIFY(!heard.isEmpty());
        QVERIFY2(heard.first().start - asked < StartLimit, "burst started late");
        // At most two chimes and the short change from one stream to the
        // next; a third would make it 1.9 s.
        QVERIFY2(heard.size() == 1, "a gap within the burst");
        QVERIFY2(level.seconds > ChimeSeconds - 0.05 && level.seconds < 2 * ChimeSeconds + 0.2,
                 "more than two chimes");
        // Chimes on top of each other would add up beyond a single one's peak.
        QVERIFY2(level.peak < 0.8, "chimes overlap");
        QVERIFY(m_shown.isEmpty());
    }

    // The save sound with a chosen file plays that file, not the chime.
    void indicateSave_playsChosenFile()
    {
        if (!haveTestServer())
            QSKIP("no private PulseAudio daemon: run through scripts/run-tests.sh");
        TestSupport::ScopedRegistry registry;
        SaveSound sound(&registry.settings());
        registry.errors().setPresenter([this](const QString& text) { m_shown.append(text); });
        QTemporaryDir dir;
        const QString tone = dir.filePath(QStringLiteral("tone.wav"));
        QVERIFY(writeTone(tone, 0.3));
        registry.settings().setDefaultSound(false);
        registry.settings().setSoundFile(tone);

        MonitorRecording recording;
        QVERIFY(recording.start());
        const double asked = recording.position();
        sound.indicateSave();
        const QByteArray pcm = recording.stop(800);
        const QList<Segment> heard = segments(pcm);
        const Measured level = measure(pcm);
        qInfo("asked at %.3f s; heard %lld stretches, %.3f s, peak %.3f", asked, heard.size(),
              level.seconds, level.peak);
        QCOMPARE(heard.size(), 1);
        QVERIFY2(heard.first().start - asked < StartLimit, "file started late");
        QVERIFY2(level.seconds > 0.28 && level.seconds < 0.32, "tone length");
        QVERIFY(level.peak > 0.4 && level.peak < 0.6);
        QVERIFY(m_shown.isEmpty());
    }

    // A chosen file that is no sound is silently not heard.
    void playWaveFile_unplayable_silent_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("just some text, not a sound\r\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated header") << QByteArray("RIFF\x10\x00\x00\x00WAVEfmt ", 16);
    }

    void playWaveFile_unplayable_silent()
    {
        QFETCH(QByteArray, content);
        if (!haveTestServer())
            QSKIP("no private PulseAudio daemon: run through scripts/run-tests.sh");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("broken.wav"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
        file.close();

        PulseSoundOutput output;
        MonitorRecording recording;
        QVERIFY(recording.start());
        QVERIFY(!output.playWaveFile(path));
        SaveSound sound(nullptr);
        sound.playWaveFile(path);
        const Measured heard = measure(recording.stop(300));
        QCOMPARE(heard.seconds, 0.0);
        QVERIFY(m_shown.isEmpty());
    }

    // Ending the player while the chime plays cuts it short at once and
    // leaves no thread behind.
    void player_endsWhilePlaying()
    {
        if (!haveTestServer())
            QSKIP("no private PulseAudio daemon: run through scripts/run-tests.sh");
        const int threadsBefore = threadCount();
        MonitorRecording recording;
        QVERIFY(recording.start());
        std::optional<SoundPlayer> player(std::in_place, std::make_unique<PulseSoundOutput>());
        player->playWaveData(builtInChime());
        player->playWaveData(builtInChime());
        QTRY_VERIFY_WITH_TIMEOUT(recording.heardAnything(), 5000);

        QElapsedTimer timer;
        timer.start();
        player.reset();
        const qint64 ending = timer.elapsed();
        const QByteArray pcm = recording.stop(800);
        const Measured heard = measure(pcm);
        qInfo("ended in %lld ms; heard %.3f s", ending, heard.seconds);
        QVERIFY2(ending < 100, qPrintable(QString::number(ending)));
        QVERIFY2(heard.seconds < ChimeSeconds - 0.1, "chime not cut short");
        QCOMPARE(segments(pcm).size(), 1);
        QCOMPARE(threadCount(), threadsBefore);
    }

    // Without a sound server the chime is not heard, nothing is raised or
    // shown, and neither playing nor ending waits for a server to appear.
    void noServer_returnsWithoutError()
    {
        QTemporaryDir dir;
        const ScopedServerAddress address("unix:" +
                                          QFile::encodeName(dir.filePath(QStringLiteral("none"))));
        const int threadsBefore = threadCount();

        PulseSoundOutput output;
        QElapsedTimer timer;
        timer.start();
        const bool played = output.playWaveData(builtInChime());
        {
            SoundPlayer player(std::make_unique<PulseSoundOutput>());
            player.playWaveData(builtInChime());
            player.playWaveFile(QStringLiteral("/no/such/file.wav"));
        }
        SaveSound(nullptr).playChime();
        const qint64 elapsed = timer.elapsed();

        QVERIFY(!played);
        QVERIFY(m_shown.isEmpty());
        QCOMPARE(threadCount(), threadsBefore);
        // A generous bound: it only tells returning from hanging.
        QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));
    }

    // A server that takes the connection and never answers holds neither
    // the caller nor the end of the player.
    void silentServer_endsAtOnce()
    {
        QTemporaryDir dir;
        QLocalServer silent;
        QVERIFY(silent.listen(dir.filePath(QStringLiteral("silent"))));
        const ScopedServerAddress address("unix:" + QFile::encodeName(silent.fullServerName()));
        const int threadsBefore = threadCount();

        std::optional<SoundPlayer> player(std::in_place, std::make_unique<PulseSoundOutput>());
        player->playWaveData(builtInChime());
        player->playWaveData(builtInChime());
        QVERIFY(silent.waitForNewConnection(5000));
        QElapsedTimer timer;
        timer.start();
        player.reset();
        const qint64 ending = timer.elapsed();
        QVERIFY2(ending < 100, qPrintable(QString::number(ending)));
        QCOMPARE(threadCount(), threadsBefore);
    }

    // One connection serves every sound; when the server goes away the
    // sound is lost, and once it is back the output connects again.
    void serverRestart_reconnects()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
            QSKIP("pulseaudio is not installed");
        PrivateServer server;
        QVERIFY(server.start());
        const ScopedServerAddress address(server.address().toUtf8());

        PulseSoundOutput output;
        MonitorRecording recording;
        QVERIFY(recording.start(server.address(), QStringLiteral("private_null")));
        QVERIFY(output.playWaveData(builtInChime()));
        QVERIFY(output.playWaveData(builtInChime()));
        const QByteArray pcm = recording.stop(300);
        QCOMPARE(segments(pcm).size(), 1);
        QVERIFY(measure(pcm).seconds > 2 * ChimeSeconds - 0.07);
        QCOMPARE(server.clients().count(QStringLiteral("Clipstow")), 1);

        server.stop();
        QVERIFY(!output.playWaveData(builtInChime()));
        QVERIFY(server.start());
        QVERIFY(output.playWaveData(builtInChime()));
        QCOMPARE(server.clients().count(QStringLiteral("Clipstow")), 1);
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestChimePlayback)
#include "tst_chime_playback.moc"
