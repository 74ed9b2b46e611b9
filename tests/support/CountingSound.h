#pragma once

#include "platform/SoundOutput.h"

namespace TestSupport {

// A sound output that only counts what it was asked to play (the real
// output is exercised in tst_chime_playback).
class CountingSound final : public SoundOutput
{
public:
    bool playWaveData(const QByteArray&) override { return ++played, true; }
    bool playWaveFile(const QString&) override { return ++played, true; }
    void stop() override {}
    int played = 0;
};

} // namespace TestSupport
