// How the save sound is chosen from "DefaultSound" and "SoundFile", and what
// happens when the built-in chime cannot be read. The sound output is
// replaced by one that records what it was asked to play; the real output is
// exercised against a PulseAudio null sink in tst_chime_playback.

#include "base/AppError.h"
#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "platform/SoundOutput.h"
#include "settings/RegistryLayout.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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
};

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
        SaveSound::setOutput(&m_output);
        SaveSound::setChimeResource({});
        ErrorReporter::setHook([this](const QString& text) { m_shown.append(text); });
    }

    void cleanup()
    {
        ErrorReporter::setHook({});
        SaveSound::setOutput(nullptr);
        SaveSound::setChimeResource({});
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
            Layout::DefaultSound.write(defaultSound == StoredDefault::True);
        QString path;
        switch (soundFile) {
        case StoredFile::NoValue:
            break;
        case StoredFile::Empty:
            Layout::SoundFile.write(QString());
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
            Layout::SoundFile.write(path);

        IndicateSave();

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
        QCOMPARE(Layout::DefaultSound.exists(), defaultSound != StoredDefault::NoValue);
        QCOMPARE(Layout::SoundFile.exists(), soundFile != StoredFile::NoValue);
        if (!path.isEmpty())
            QCOMPARE(Layout::SoundFile.read(), path);
    }

    // Neither way of playing reports a sound that could not be played.
    void playing_outputFails_noError()
    {
        m_output.result = false;
        PlayChimes();
        PlayWaveFile(m_dir->filePath(QStringLiteral("not-there.wav")));
        Layout::DefaultSound.write(false);
        Layout::SoundFile.write(writeFile(QStringLiteral("broken.wav")));
        IndicateSave();
        QCOMPARE(m_output.requests.size(), 3);
        QVERIFY(m_shown.isEmpty());
    }

    // PlayWaveFile hands the name over as it is, existing or not.
    void playWaveFile_passesName()
    {
        const QString missing = m_dir->filePath(QStringLiteral("missing.wav"));
        PlayWaveFile(missing);
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
        SaveSound::setChimeResource(location);

        try {
            PlayChimes();
            QFAIL("PlayChimes did not raise");
        } catch (const AppError& error) {
            QCOMPARE(error.message(), QStringLiteral("Cannot read CHIMES_WAV"));
        }
        QVERIFY(m_output.requests.isEmpty());
    }

    // The failure reaches the caller of IndicateSave, also when the chime is
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
        Layout::DefaultSound.write(defaultSound);
        Layout::SoundFile.write(m_dir->filePath(QStringLiteral("gone.wav")));
        SaveSound::setChimeResource(QStringLiteral(":/NO_SUCH_CHIME"));

        QVERIFY_THROWS_EXCEPTION(AppError, IndicateSave());
        QVERIFY(m_output.requests.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSaveSound)
#include "tst_savesound.moc"
