// The built-in chime ":/CHIMES_WAV": its exact RIFF layout, that its samples
// make a clean sound (no clipping, soft start, silent end), and that the
// committed file is what tools/make-chime produces.

#include "core/SaveSound.h"
#include "support/Files.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sndfile.h>

#include <vector>

using TestSupport::fileBytes;

namespace {

quint32 u32(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 u16(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

struct Chunk
{
    QByteArray tag;
    qsizetype offset; // of the chunk's data
    quint32 size;
};

// The chunks of the RIFF form, in file order; stops at a chunk that would
// run past the end.
QList<Chunk> chunks(const QByteArray& file)
{
    QList<Chunk> result;
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        const quint32 size = u32(file, at + 4);
        if (at + 8 + qsizetype(size) > file.size())
            break;
        result.append({file.mid(at, 4), at + 8, size});
        at += 8 + qsizetype(size) + (size & 1);
    }
    return result;
}

// Every sample of the chime, interleaved, decoded by libsndfile.
std::vector<short> decode(const QByteArray& file, SF_INFO& info)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chime.wav"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        return {};
    out.close();
    SNDFILE* sound = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!sound)
        return {};
    std::vector<short> samples(size_t(info.frames) * size_t(info.channels));
    const sf_count_t read = sf_readf_short(sound, samples.data(), info.frames);
    sf_close(sound);
    samples.resize(size_t(read) * size_t(info.channels));
    return samples;
}

} // namespace

class TestChimeResource : public QObject
{
    Q_OBJECT

private:
    QByteArray m_chime;

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        m_chime = fileBytes(QString::fromLatin1(SaveSound::BuiltInChime));
        QCOMPARE(m_chime.size(), 55776);
    }

    void resource_isTheCommittedFile()
    {
        QCOMPARE(m_chime, fileBytes(QStringLiteral(CLIPSTOW_SOURCE_DIR "/resources/chimes.wav")));
    }

    void riffLayout()
    {
        QCOMPARE(m_chime.left(4), QByteArray("RIFF"));
        QCOMPARE(u32(m_chime, 4), 55768u);
        QCOMPARE(m_chime.mid(8, 4), QByteArray("WAVE"));

        const QList<Chunk> list = chunks(m_chime);
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0].tag, QByteArray("fmt "));
        QCOMPARE(list[0].size, 16u);
        QCOMPARE(list[1].tag, QByteArray("data"));
        QCOMPARE(list[1].size, 55684u);
        QCOMPARE(list[2].tag, QByteArray("LIST"));
        QCOMPARE(list[2].size, 40u);
        QCOMPARE(list[2].offset + qsizetype(list[2].size), m_chime.size());

        const qsizetype fmt = list[0].offset;
        QCOMPARE(u16(m_chime, fmt), quint16(1));       // PCM
        QCOMPARE(u16(m_chime, fmt + 2), quint16(2));   // channels
        QCOMPARE(u32(m_chime, fmt + 4), 22050u);       // samples per second
        QCOMPARE(u32(m_chime, fmt + 8), 88200u);       // bytes per second
        QCOMPARE(u16(m_chime, fmt + 12), quint16(4));  // block alignment
        QCOMPARE(u16(m_chime, fmt + 14), quint16(16)); // bits per sample
        QCOMPARE(list[1].size / 4, 13921u);            // sample frames
    }

    // The LIST chunk is INFO text: subchunks of printable, zero-terminated
    // text that fill it exactly.
    void listChunk_isInfoText()
    {
        const Chunk list = chunks(m_chime).value(2);
        QCOMPARE(list.tag, QByteArray("LIST"));
        const QByteArray info = m_chime.mid(list.offset, list.size);
        QCOMPARE(info.left(4), QByteArray("INFO"));
        qsizetype at = 4;
        int texts = 0;
        while (at < info.size()) {
            QVERIFY(at + 8 <= info.size());
            const QByteArray id = info.mid(at, 4);
            QVERIFY2(id.at(0) == 'I', id.constData());
            const quint32 size = u32(info, at + 4);
            QVERIFY(at + 8 + qsizetype(size) <= info.size());
            const QByteArray text = info.mid(at + 8, size);
            QVERIFY(text.endsWith('\0'));
            const QByteArray printable = text.left(text.indexOf('\0'));
            QVERIFY(!printable.isEmpty());
            for (char c : printable)
                QVERIFY(c >= 0x20 && c < 0x7f);
            at += 8 + qsizetype(size) + (size & 1);
            ++texts;
        }
        QCOMPARE(at, info.size());
        QVERIFY(texts >= 1);
    }

    // Decoded by an independent reader: the format, and a sound that starts
    // softly, never clips, is clearly audible and fades out to silence.
    void samples_makeACleanChime()
    {
        SF_INFO info{};
        const std::vector<short> samples = decode(m_chime, info);
        QCOMPARE(info.channels, 2);
        QCOMPARE(info.samplerate, 22050);
        QCOMPARE(info.frames, sf_count_t(13921));
        QCOMPARE(samples.size(), size_t(13921 * 2));
        QCOMPARE((info.format & SF_FORMAT_TYPEMASK), SF_FORMAT_WAV);
        QCOMPARE((info.format & SF_FORMAT_SUBMASK), SF_FORMAT_PCM_16);

        int peak = 0;
        double sumSquares = 0;
        for (short sample : samples) {
            peak = std::max(peak, std::abs(int(sample)));
            sumSquares += double(sample) * sample;
        }
        QVERIFY2(peak < 32000, "the chime clips");
        QVERIFY2(peak > 16000, "the chime is too quiet");
        const double rms = std::sqrt(sumSquares / double(samples.size())) / 32768.0;
        QVERIFY2(rms > 0.05, qPrintable(QString::number(rms)));

        // The first frames rise gently from zero; the last 10 ms stay below
        // -40 dBFS and the very last frame is silence.
        QCOMPARE(samples[0], short(0));
        QCOMPARE(samples[1], short(0));
        for (size_t i = 0; i < 2 * 22; ++i)
            QVERIFY2(std::abs(int(samples[i])) < 8000, "hard attack");
        for (size_t i = samples.size() - 2 * 220; i < samples.size(); ++i)
            QVERIFY2(std::abs(int(samples[i])) < 330, "the chime does not fade out");
        QCOMPARE(samples[samples.size() - 2], short(0));
        QCOMPARE(samples[samples.size() - 1], short(0));

        // Both channels carry the sound, but not identically.
        bool channelsDiffer = false;
        for (size_t i = 0; i + 1 < samples.size(); i += 2)
            channelsDiffer = channelsDiffer || samples[i] != samples[i + 1];
        QVERIFY(channelsDiffer);
    }

    // The committed chime is exactly what its generator makes.
    void generator_reproducesFile()
    {
        const QString tool = TestSupport::builtProgram(QStringLiteral("make-chime"));
        if (!QFileInfo(tool).isExecutable())
            QSKIP("make-chime is not built");
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("chimes.wav"));
        QProcess process;
        process.start(tool, {out});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(fileBytes(out), m_chime);
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestChimeResource)
#include "tst_chime_resource.moc"
