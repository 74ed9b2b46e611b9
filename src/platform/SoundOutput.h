#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// Plays sounds on the desktop's sound service. Both ways of playing are
// synchronous: they return when the sound has been played to its end, at
// once when it cannot be played (no sound service or device, a file that is
// no playable sound), or soon after stop(). They never raise and never show
// anything; the result tells whether the sound was played to its end. One
// thread plays at a time; the player that owns the output calls them on its
// own thread (see SoundPlayer), so that nobody else waits for a sound.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;

    // A complete wave file image held in memory.
    virtual bool playWaveData(const QByteArray& image) = 0;
    // A wave file on disk.
    virtual bool playWaveFile(const QString& fileName) = 0;

    // Ends the sound being played within a few milliseconds and makes every
    // later call return at once: for shutting down. Any thread may call it.
    virtual void stop() = 0;
};

// The platform's sound output.
std::unique_ptr<SoundOutput> createSystemSoundOutput();
