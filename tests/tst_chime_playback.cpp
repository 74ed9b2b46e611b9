// The save sound as it is really heard: played through PulseAudio into the
// null sink "clipstow_null" that scripts/run-tests.sh sets up, and recorded
// from that sink's monitor. Without that daemon (CLIPSTOW_TEST_PULSE unset)
// the recording tests are skipped; the no-server test runs everywhere.

#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "platform/linux/PulseSoundOutput.h"
#include "settings/RegistryLayout.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <sndfile.h>

#include <cmath>
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

// Records the null sink's monitor as raw 16-bit stereo while alive. The
// recorder writes straight into a file: a pipe would fill while the sound
// plays synchronously and the recorder would drop frames.
class MonitorRecording final
{
public:
    bool start()
    {
        if (!m_dir.isValid())
            return false;
        m_path = m_dir.filePath(QStringLiteral("monitor.raw"));
        m_process.setStandardOutputFile(m_path);
        m_process.setProgram(QStringLiteral("parec"));
        m_process.setArguments({QStringLiteral("--device=clipstow_null.monitor"),
                                QStringLiteral("--format=s16le"),
                                QStringLiteral("--rate=%1").arg(RecordRate),
                                QStringLiteral("--channels=%1").arg(RecordChannels),
                                QStringLiteral("--latency-msec=20"), QStringLiteral("--raw")});
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

} // namespace

class TestChimePlayback : public QObject
{
    Q_OBJECT

private:
    QStringList m_shown;

    static bool haveTestServer() { return qEnvironmentVariableIsSet("CLIPSTOW_TEST_PULSE"); }

private Q_SLOTS:
    void initTestCase() { Q_INIT_RESOURCE(resources); }

    void init()
    {
        m_shown.clear();
        ErrorReporter::setHook([this](const QString& text) { m_shown.append(text); });
    }

    void cleanup() { ErrorReporter::setHook({}); }

    // The chime is heard for its whole length, and the call returns only
    // after it has ended.
    void playChimes_isHeardToTheEnd()
    {
        if (!haveTestServer())
            QSKIP("no private PulseAudio daemon: run through scripts/run-tests.sh");
        MonitorRecording recording;
        QVERIFY(recording.start());

        QElapsedTimer timer;
        timer.start();
        PlayChimes();
        const qint64 elapsed = timer.elapsed();

        const Measured heard = measure(recording.stop(400));
        qInfo("returned after %lld ms; heard %.3f s, peak %.3f, rms %.3f", elapsed, heard.seconds,
              heard.peak, heard.rms);
        // 13,921 frames at 22,050 Hz last 631 ms; a few ms of slack for the
        // device latency the server reports.
        QVERIFY2(elapsed >= 625, "PlayChimes returned before the chime ended");
        QVERIFY2(heard.seconds > 0.58 && heard.seconds < 0.65, "chime length");
        QVERIFY2(heard.peak > 0.4, "chime too quiet");
        QVERIFY2(heard.rms > 0.04, "chime too quiet");
        QVERIFY(m_shown.isEmpty());
    }

    // The save sound with a chosen file plays that file, not the chime.
    void indicateSave_playsChosenFile()
    {
        if (!haveTestServer())
            QSKIP("no private PulseAudio daemon: run through scripts/run-tests.sh");
        TestSupport::ScopedRegistry registry;
        QTemporaryDir dir;
        const QString tone = dir.filePath(QStringLiteral("tone.wav"));
        QVERIFY(writeTone(tone, 0.3));
        Layout::DefaultSound.write(false);
        Layout::SoundFile.write(tone);

        MonitorRecording recording;
        QVERIFY(recording.start());
        QElapsedTimer timer;
        timer.start();
        IndicateSave();
        const qint64 elapsed = timer.elapsed();
        const Measured heard = measure(recording.stop(400));
        qInfo("returned after %lld ms; heard %.3f s, peak %.3f", elapsed, heard.seconds,
              heard.peak);
        QVERIFY2(elapsed >= 295, "IndicateSave returned before the file ended");
        QVERIFY2(heard.seconds > 0.28 && heard.seconds < 0.32, "tone length");
        QVERIFY(heard.peak > 0.4 && heard.peak < 0.6);
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
        PlayWaveFile(path);
        const Measured heard = measure(recording.stop(200));
        QCOMPARE(heard.seconds, 0.0);
        QVERIFY(m_shown.isEmpty());
    }

    // Without a sound server the chime is not heard, nothing is raised or
    // shown, and the call does not wait for a server to appear.
    void noServer_returnsWithoutError()
    {
        const QByteArray previous = qgetenv("PULSE_SERVER");
        const bool hadPrevious = qEnvironmentVariableIsSet("PULSE_SERVER");
        QTemporaryDir dir;
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(dir.filePath(QStringLiteral("none"))));

        PulseSoundOutput output;
        QFile chime(SaveSound::chimeResource());
        QVERIFY(chime.open(QIODevice::ReadOnly));
        const QByteArray image = chime.readAll();
        QElapsedTimer timer;
        timer.start();
        const bool played = output.playWaveData(image);
        PlayChimes();
        const qint64 elapsed = timer.elapsed();

        if (hadPrevious)
            qputenv("PULSE_SERVER", previous);
        else
            qunsetenv("PULSE_SERVER");
        QVERIFY(!played);
        QVERIFY(m_shown.isEmpty());
        // A generous bound: it only tells returning from hanging.
        QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));
    }
};

QTEST_GUILESS_MAIN(TestChimePlayback)
#include "tst_chime_playback.moc"
