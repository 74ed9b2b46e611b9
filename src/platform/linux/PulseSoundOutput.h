#pragma once

#include "platform/SoundOutput.h"

// Decodes with libsndfile and plays through the PulseAudio simple API, which
// PipeWire desktops serve as well. Each call opens its own playback stream,
// writes the whole sound, waits for it to drain and closes the stream.
class PulseSoundOutput final : public SoundOutput
{
public:
    bool playWaveData(const QByteArray& image) override;
    bool playWaveFile(const QString& fileName) override;
};
