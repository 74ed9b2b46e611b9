// How the save sound is chosen from "DefaultSound" and "SoundFile", and what
// happens when the built-in chime cannot be read. The sound output is
// replaced by one that records what it was asked to play; the real output is
// exercised against a PulseAudio null sink in tst_chime_playback.

#include "base/AppError.h"
#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "core/SoundPlayer.h"
#include "platform/SoundOutput.h"
#include "settings/RegistryLayout.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <condition_variable>
#include <mutex>

namespace {

class RecordingOutput final : public SoundOutput
{
public:
    struct Request
    {
        bool fromMemory = false;
        QByteArray image;
        QString fileName;
    };

    QList<Request> requests;
    bool result = true;

    bool playWaveData(const QByteArray& image) override
    {
        requests.append({true, image, {}});
        return result;
    }
    bool playWaveFile(const QString& fileName) override
    {
        requests.append({false, {}, fileName});
        return result;
    }
    void stop() override {}
};

// An output whose every sound lasts until the test ends it (or stop() is
// called), so that what a player does while a sound plays can be seen
// without depending on time.
class HeldOutput final : public SoundOutput
{
public:
    bool playWaveData(const QByteArray& image) override { return hold(QString::fromLatin1(image)); }
    bool playWaveFile(const QString& fileName) override { return hold(fileName); }
    void stop() override
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_changed.notify_all();
    }

    // Waits until `count` sounds have started; false after a generous while.
    bool waitForStarted(int count)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10),
                                  [&] { return m_started.size() >= count; });
    }
    // Ends the sound playing now.
    void finishOne()
    {
        const std::lock_guard lock(m_mutex);
        ++m_finished;
        m_changed.notify_all();
    }
    QStringList started()
    {
        const std::lock_guard lock(m_mutex);
        return m_started;
    }
    bool stopped()
    {
        const std::lock_guard lock(m_mutex);
        return m_stopped;
    }

private:
    bool hold(const QString& name)
    {
        std::unique_lock lock(m_mutex);
        const qsizetype index = m_started.size();
        m_started.append(name);
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return m_stopped || m_finished > index; });
        return !m_stopped;
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    QStringList m_started;
    qsizetype m_finished = 0;
    bool m_stopped = false;
};

// Lends an output that the test keeps to a player that wants to own one.
class LentOutput final : public SoundOutput
{
public:
    explicit LentOutput(SoundOutput& output) : m_output(output) {}
    bool playWaveData(const QByteArray& image) override { return m_output.playWaveData(image); }
    bool playWaveFile(const QString& fileName) override { return m_output.playWaveFile(fileName); }
    void stop() override { m_output.stop(); }

private:
    SoundOutput& m_output;
};

int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task"))
                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                   .size());
}

enum class StoredFile
{
    NoValue,
    Empty,
    Existing,
    ExistingUnusualName,
    Deleted,
    Folder
};
enum class StoredDefault
{
    NoValue,
    True,
    False
};

QByteArray builtInChime()
{
    QFile file(QStringLiteral(":/CHIMES_WAV"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class TestSaveSound : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::ScopedRegistry> m_registry;
    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingOutput m_output;
    std::unique_ptr<SaveSound> m_sound;
    QStringList m_shown;

    QString writeFile(const QString& name)
    {
        const QString path = m_dir->filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write("RIFF") != 4)
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private Q_SLOTS:
    void init()
    {
        m_registry = std::make_unique<TestSupport::ScopedRegistry>();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_output.requests.clear();
        m_output.result = true;
        m_shown.clear();
        m_sound = std::make_unique<SaveSound>(&m_registry->settings(), m_output);
        m_registry->errors().setPresenter([this](const QString& text) { m_shown.append(text); });
    }

    void cleanup()
    {
        m_sound.reset();
        m_dir.reset();
        m_registry.reset();
    }

    void indicateSave_choosesSound_data()
    {
        QTest::addColumn<StoredDefault>("defaultSound");
        QTest::addColumn<StoredFile>("soundFile");
        QTest::addColumn<bool>("expectChime");

        QTest::newRow("both values missing")
            << StoredDefault::NoValue << StoredFile::NoValue << true;
        QTest::newRow("default missing, file exists")
            << StoredDefault::NoValue << StoredFile::Existing << true;
        QTest::newRow("default on, file exists")
            << StoredDefault::True << StoredFile::Existing << true;
        QTest::newRow("default on, no file") << StoredDefault::True << StoredFile::NoValue << true;
        QTest::newRow("default off, file exists")
            << StoredDefault::False << StoredFile::Existing << false;
        QTest::newRow("default off, file with spaces and accents")
            << StoredDefault::False << StoredFile::ExistingUnusualName << false;
        QTest::newRow("default off, empty name")
            << StoredDefault::False << StoredFile::Empty << true;
        QTest::newRow("default off, no file value")
            << StoredDefault::False << StoredFile::NoValue << true;
        QTest::newRow("default off, deleted file")
            << StoredDefault::False << StoredFile::Deleted << true;
        QTest::newRow("default off, folder") << StoredDefault::False << StoredFile::Folder << true;
    }

    void indicateSave_choosesSound()
    {
        QFETCH(StoredDefault, defaultSound);
        QFETCH(StoredFile, soundFile);
        QFETCH(bool, expectChime);

        if (defaultSound != StoredDefault::NoValue)
            m_registry->settings().setDefaultSound(defaultSound == StoredDefault::True);
        QString path;
        switch (soundFile) {
        case StoredFile::NoValue:
            break;
        case StoredFile::Empty:
            m_registry->settings().setSoundFile(QString());
            break;
        case StoredFile::Existing:
            path = writeFile(QStringLiteral("ding.wav"));
            break;
        case StoredFile::ExistingUnusualName:
            path = writeFile(QStringLiteral("my sounds – dïng.wav"));
            break;
        case StoredFile::Deleted:
            path = writeFile(QStringLiteral("gone.wav"));
            QVERIFY(QFile::remove(path));
            break;
        case StoredFile::Folder:
            path = m_dir->filePath(QStringLiteral("sounds.wav"));
            QVERIFY(QDir().mkpath(path));
            break;
        }
        if (!path.isEmpty())
            m_registry->settings().setSoundFile(path);

        m_sound->indicateSave();

        QCOMPARE(m_output.requests.size(), 1);
        const RecordingOutput::Request& request = m_output.requests.first();
        if (expectChime) {
            QVERIFY(request.fromMemory);
            QCOMPARE(request.image, builtInChime());
        } else {
            QVERIFY(!request.fromMemory);
            QCOMPARE(request.fileName, path);
        }
        QVERIFY(m_shown.isEmpty());
        // Falling back to the chime leaves the settings as they were.
        QCOMPARE(TestSupport::isStored(m_registry->store(), Layout::DefaultSound),
                 defaultSound != StoredDefault::NoValue);
        QCOMPARE(TestSupport::isStored(m_registry->store(), Layout::SoundFile),
                 soundFile != StoredFile::NoValue);
        if (!path.isEmpty())
            QCOMPARE(m_registry->settings().soundFile(), path);
    }

    // Neither way of playing reports a sound that could not be played.
    void playing_outputFails_noError()
    {
        m_output.result = false;
        m_sound->playChime();
        m_sound->playWaveFile(m_dir->filePath(QStringLiteral("not-there.wav")));
        m_registry->settings().setDefaultSound(false);
        m_registry->settings().setSoundFile(writeFile(QStringLiteral("broken.wav")));
        m_sound->indicateSave();
        QCOMPARE(m_output.requests.size(), 3);
        QVERIFY(m_shown.isEmpty());
    }

    // playWaveFile hands the name over as it is, existing or not.
    void playWaveFile_passesName()
    {
        const QString missing = m_dir->filePath(QStringLiteral("missing.wav"));
        m_sound->playWaveFile(missing);
        QCOMPARE(m_output.requests.size(), 1);
        QVERIFY(!m_output.requests.first().fromMemory);
        QCOMPARE(m_output.requests.first().fileName, missing);
    }

    void playChimes_unreadableResource_raises_data()
    {
        QTest::addColumn<bool>("emptyFile");
        QTest::newRow("missing resource") << false;
        QTest::newRow("empty resource") << true;
    }

    void playChimes_unreadableResource_raises()
    {
        QFETCH(bool, emptyFile);
        QString location = QStringLiteral(":/NO_SUCH_CHIME");
        if (emptyFile) {
            location = m_dir->filePath(QStringLiteral("empty.wav"));
            QFile file(location);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        m_sound->setChimeResource(location);

        try {
            m_sound->playChime();
            QFAIL("playChime did not raise");
        } catch (const AppError& error) {
            QCOMPARE(error.message(), QStringLiteral("Cannot read CHIMES_WAV"));
        }
        QVERIFY(m_output.requests.isEmpty());
    }

    // The failure reaches the caller of indicateSave, also when the chime is
    // only the fallback for a chosen file that has gone.
    void indicateSave_missingResource_raises_data()
    {
        QTest::addColumn<bool>("defaultSound");
        QTest::newRow("default sound") << true;
        QTest::newRow("fallback for missing file") << false;
    }

    void indicateSave_missingResource_raises()
    {
        QFETCH(bool, defaultSound);
        m_registry->settings().setDefaultSound(defaultSound);
        m_registry->settings().setSoundFile(m_dir->filePath(QStringLiteral("gone.wav")));
        m_sound->setChimeResource(QStringLiteral(":/NO_SUCH_CHIME"));

        QVERIFY_THROWS_EXCEPTION(AppError, m_sound->indicateSave());
        QVERIFY(m_output.requests.isEmpty());
    }

    // Sounds asked for while one plays neither wait nor play on top of it:
    // the last of them waits behind the playing one and the rest are
    // dropped. Asked for one at a time, every sound is played.
    void player_burstQueuesOnlyTheLast()
    {
        HeldOutput output;
        SoundPlayer player(std::make_unique<LentOutput>(output));

        player.playWaveData("first");
        QVERIFY(output.waitForStarted(1));
        player.playWaveFile(QStringLiteral("second.wav"));
        player.playWaveData("third");
        player.playWaveFile(QStringLiteral("fourth.wav"));
        QCOMPARE(output.started(), QStringList{QStringLiteral("first")});

        output.finishOne();
        QVERIFY(output.waitForStarted(2));
        output.finishOne();
        player.playWaveData("alone");
        QVERIFY(output.waitForStarted(3));
        output.finishOne();
        player.playWaveData("alone again");
        QVERIFY(output.waitForStarted(4));
        output.finishOne();
        QCOMPARE(output.started(),
                 (QStringList{QStringLiteral("first"), QStringLiteral("fourth.wav"),
                              QStringLiteral("alone"), QStringLiteral("alone again")}));
    }

    // Ending the player while a sound plays and another waits stops the
    // playing one, never starts the waiting one and leaves no thread.
    void player_endsWhilePlaying()
    {
        const int threadsBefore = threadCount();
        HeldOutput output;
        {
            SoundPlayer player(std::make_unique<LentOutput>(output));
            player.playWaveData("playing");
            QVERIFY(output.waitForStarted(1));
            player.playWaveData("waiting");
            QCOMPARE(threadCount(), threadsBefore + 1);
        }
        QVERIFY(output.stopped());
        QCOMPARE(output.started(), QStringList{QStringLiteral("playing")});
        QCOMPARE(threadCount(), threadsBefore);
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestSaveSound)
#include "tst_savesound.moc"
