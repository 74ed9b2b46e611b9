#include "platform/linux/PulseSoundOutput.h"

#include <pulse/error.h>
#include <pulse/sample.h>
#include <pulse/simple.h>
#include <pulse/timeval.h>
#include <sndfile.h>

#include <QFile>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr const char* ApplicationName = "Clipstow";
constexpr const char* StreamName = "Save sound";
constexpr sf_count_t FramesPerWrite = 2048;
// Longer device queues than this are taken for a wrong report.
constexpr pa_usec_t MaxDeviceLatency = 2 * PA_USEC_PER_SEC;

// libsndfile reading from a byte array through its virtual I/O interface.
struct MemoryReader
{
    const QByteArray* bytes;
    sf_count_t position;
};

sf_count_t memoryLength(void* user)
{
    return static_cast<MemoryReader*>(user)->bytes->size();
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* user)
{
    auto* reader = static_cast<MemoryReader*>(user);
    const sf_count_t size = reader->bytes->size();
    sf_count_t target = offset;
    if (whence == SEEK_CUR)
        target += reader->position;
    else if (whence == SEEK_END)
        target += size;
    if (target < 0 || target > size)
        return -1;
    reader->position = target;
    return target;
}

sf_count_t memoryRead(void* destination, sf_count_t count, void* user)
{
    auto* reader = static_cast<MemoryReader*>(user);
    const sf_count_t available = reader->bytes->size() - reader->position;
    const sf_count_t taken = count < available ? count : available;
    if (taken <= 0)
        return 0;
    std::memcpy(destination, reader->bytes->constData() + reader->position, size_t(taken));
    reader->position += taken;
    return taken;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t memoryTell(void* user)
{
    return static_cast<MemoryReader*>(user)->position;
}

// Plays every frame of an open sound file and waits until it has been heard.
bool playDecoded(SNDFILE* file, const SF_INFO& info)
{
    if (info.channels < 1 || unsigned(info.channels) > PA_CHANNELS_MAX || info.samplerate < 1 ||
        unsigned(info.samplerate) > PA_RATE_MAX)
        return false;
    // Decoded as 32-bit floats at the file's own rate and channel count.
    const pa_sample_spec sampleFormat{PA_SAMPLE_FLOAT32NE, uint32_t(info.samplerate),
                                      uint8_t(info.channels)};

    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, ApplicationName, PA_STREAM_PLAYBACK, nullptr,
                                      StreamName, &sampleFormat, nullptr, nullptr, &error);
    if (!stream)
        return false;

    std::vector<float> buffer(size_t(FramesPerWrite) * size_t(info.channels));
    bool played = true;
    for (;;) {
        const sf_count_t frames = sf_readf_float(file, buffer.data(), FramesPerWrite);
        if (frames <= 0)
            break;
        const size_t bytes = size_t(frames) * size_t(info.channels) * sizeof(float);
        if (pa_simple_write(stream, buffer.data(), bytes, &error) < 0) {
            played = false;
            break;
        }
    }
    if (played && pa_simple_drain(stream, &error) < 0)
        played = false;
    // Draining ends when the server has taken the last frame into the
    // device's buffer; what is still queued there has yet to be heard.
    if (played) {
        const pa_usec_t queued = pa_simple_get_latency(stream, &error);
        if (queued != pa_usec_t(-1) && queued < MaxDeviceLatency)
            std::this_thread::sleep_for(std::chrono::microseconds(queued));
    }
    pa_simple_free(stream);
    return played;
}

} // namespace

bool PulseSoundOutput::playWaveData(const QByteArray& image)
{
    MemoryReader reader{&image, 0};
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &reader);
    if (!file)
        return false;
    const bool played = playDecoded(file, info);
    sf_close(file);
    return played;
}

bool PulseSoundOutput::playWaveFile(const QString& fileName)
{
    if (fileName.isEmpty())
        return false;
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(fileName).constData(), SFM_READ, &info);
    if (!file)
        return false;
    const bool played = playDecoded(file, info);
    sf_close(file);
    return played;
}

std::unique_ptr<SoundOutput> createSystemSoundOutput()
{
    return std::make_unique<PulseSoundOutput>();
}
