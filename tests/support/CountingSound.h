#pragma once

#include "platform/SoundOutput.h"

#include <functional>

namespace TestSupport {

// A sound output that only counts what it was asked to play (the real
// output is exercised in tst_chime_playback).
class CountingSound final : public SoundOutput
{
public:
    bool playWaveData(const QByteArray&) override { return count(); }
    bool playWaveFile(const QString&) override { return count(); }
    void stop() override {}
    int played = 0;
    // Runs as each sound starts.
    std::function<void()> onPlay;

private:
    bool count()
    {
        if (onPlay)
            onPlay();
        ++played;
        return true;
    }
};

} // namespace TestSupport
