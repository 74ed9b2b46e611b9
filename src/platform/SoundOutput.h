#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// Plays sounds on the desktop's sound service. Both calls are synchronous:
// they return only when the sound has been played to its end, or at once
// when it cannot be played (no sound service or device, a file that is no
// playable sound). They never raise and never show anything; the result
// tells whether the sound was played.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;

    // A complete wave file image held in memory.
    virtual bool playWaveData(const QByteArray& image) = 0;
    // A wave file on disk.
    virtual bool playWaveFile(const QString& fileName) = 0;
};

// The platform's sound output.
std::unique_ptr<SoundOutput> createSystemSoundOutput();
