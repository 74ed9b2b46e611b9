#pragma once

#include <QByteArray>
#include <QString>

#include <sndfile.h>

#include <memory>

// Decodes a sound file with libsndfile into 32-bit float frames, read piece
// by piece as the sound server asks for them. The file is either an image
// held in memory or a file on disk.
class SoundFileReader final
{
public:
    // nullptr when the bytes or the file are no sound libsndfile can decode,
    // or their rate or channel count is out of the range a server plays.
    static std::unique_ptr<SoundFileReader> fromImage(const QByteArray& image);
    static std::unique_ptr<SoundFileReader> fromFile(const QString& fileName);

    ~SoundFileReader();
    SoundFileReader(const SoundFileReader&) = delete;
    SoundFileReader& operator=(const SoundFileReader&) = delete;

    int channels() const { return m_info.channels; }
    int sampleRate() const { return m_info.samplerate; }
    // Frames in the whole sound.
    qint64 frames() const { return m_info.frames; }

    // Reads up to `count` frames into `destination` (channels() floats
    // each); 0 at the end of the sound or on a read error.
    qint64 read(float* destination, qint64 count);

    // Where libsndfile reads an image in memory from.
    struct MemorySource
    {
        QByteArray bytes;
        sf_count_t position = 0;
    };

private:
    SoundFileReader() = default;
    bool isPlayable() const;

    std::unique_ptr<MemorySource> m_source;
    SF_INFO m_info{};
    SNDFILE* m_file = nullptr;
};
