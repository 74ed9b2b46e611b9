#include "core/SoundPlayer.h"

#include "platform/SoundOutput.h"

SoundPlayer::SoundPlayer(std::unique_ptr<SoundOutput> output)
    : m_output(std::move(output)), m_thread([this] { run(); })
{
}

SoundPlayer::~SoundPlayer()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_waiting.reset();
    }
    m_wake.notify_one();
    m_output->stop();
    m_thread.join();
}

void SoundPlayer::playWaveData(const QByteArray& image)
{
    request({true, image, {}});
}

void SoundPlayer::playWaveFile(const QString& fileName)
{
    request({false, {}, fileName});
}

void SoundPlayer::request(Sound sound)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_waiting = std::move(sound);
    }
    m_wake.notify_one();
}

void SoundPlayer::run()
{
    for (;;) {
        Sound sound;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || m_waiting; });
            if (m_stopping)
                return;
            sound = std::move(*m_waiting);
            m_waiting.reset();
        }
        // Whether it was heard is of no concern to anyone: a sound that
        // cannot be played is silently not heard.
        if (sound.fromMemory)
            m_output->playWaveData(sound.image);
        else
            m_output->playWaveFile(sound.fileName);
    }
}
