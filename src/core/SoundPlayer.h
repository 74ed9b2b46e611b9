#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class SoundOutput;

// Plays sounds on a thread of its own, so that whoever asks for a sound
// never waits for it. Sounds do not play on top of each other: while one
// plays, at most one more waits behind it, and a newer request takes the
// waiting one's place. A burst of requests is thus heard as at most two
// sounds: the one playing and the last one asked for.
class SoundPlayer final
{
public:
    explicit SoundPlayer(std::unique_ptr<SoundOutput> output);
    // Ends the sound playing now (the output's stop()), drops the waiting
    // one and waits for the thread to end.
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Both return at once.
    void playWaveData(const QByteArray& image);
    void playWaveFile(const QString& fileName);

private:
    struct Sound
    {
        bool fromMemory = false;
        QByteArray image;
        QString fileName;
    };

    void request(Sound sound);
    void run();

    const std::unique_ptr<SoundOutput> m_output;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Sound> m_waiting;
    bool m_stopping = false;
    std::thread m_thread;
};
