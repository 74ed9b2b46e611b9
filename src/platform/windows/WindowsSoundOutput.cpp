// Plays through the system's own sound call, which the player's thread
// waits on, so nobody else does.
#include "platform/SoundOutput.h"

#include <windows.h>

#include <mmsystem.h>

#include <atomic>

namespace {

class WindowsSoundOutput final : public SoundOutput
{
public:
    // The system plays the image in place; it stays in memory until the
    // call returns. A file the system cannot play gives its default sound
    // (there is no message), and false.
    bool playWaveData(const QByteArray& image) override
    {
        return !m_stopped && !image.isEmpty() &&
               PlaySoundW(reinterpret_cast<LPCWSTR>(image.constData()), nullptr,
                          SND_MEMORY | SND_SYNC) != FALSE &&
               !m_stopped;
    }

    bool playWaveFile(const QString& fileName) override
    {
        return !m_stopped &&
               PlaySoundW(reinterpret_cast<LPCWSTR>(fileName.utf16()), nullptr,
                          SND_FILENAME | SND_SYNC) != FALSE &&
               !m_stopped;
    }

    // A call without a sound ends the one playing, whichever thread plays it.
    void stop() override
    {
        m_stopped = true;
        PlaySoundW(nullptr, nullptr, 0);
    }

private:
    std::atomic<bool> m_stopped{false};
};

} // namespace

std::unique_ptr<SoundOutput> createSystemSoundOutput()
{
    return std::make_unique<WindowsSoundOutput>();
}
