#pragma once

#include "platform/SoundOutput.h"

#include <atomic>
#include <chrono>
#include <functional>

struct pa_context;
struct pa_mainloop;
class SoundFileReader;

// Decodes with libsndfile and plays through PulseAudio's asynchronous API,
// which PipeWire desktops serve as well. One connection to the server is
// kept for the output's life and made again when the server has gone away
// and come back; each sound gets a playback stream with a small buffer, so
// that it starts at once. The connection is only serviced while a sound
// plays, on the thread that plays it.
class PulseSoundOutput final : public SoundOutput
{
public:
    PulseSoundOutput();
    ~PulseSoundOutput() override;
    PulseSoundOutput(const PulseSoundOutput&) = delete;
    PulseSoundOutput& operator=(const PulseSoundOutput&) = delete;

    bool playWaveData(const QByteArray& image) override;
    bool playWaveFile(const QString& fileName) override;
    void stop() override;

private:
    bool play(SoundFileReader& reader);
    // A ready connection, made now if there is none or the old one failed.
    bool connect();
    void disconnect();
    // Runs the main loop until `done` holds (true), or until the time is up,
    // the output is stopped or the loop fails (false).
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    std::atomic<bool> m_stopped{false};
};
