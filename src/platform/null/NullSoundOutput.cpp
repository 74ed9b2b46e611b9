// The sound output where the platform has no sound service the build knows:
// nothing is played, and the result says so.
#include "platform/SoundOutput.h"

namespace {

class NullSoundOutput final : public SoundOutput
{
public:
    bool playWaveData(const QByteArray&) override { return false; }
    bool playWaveFile(const QString&) override { return false; }
    void stop() override {}
};

} // namespace

std::unique_ptr<SoundOutput> createSystemSoundOutput()
{
    return std::make_unique<NullSoundOutput>();
}
