#include "platform/linux/PulseSoundOutput.h"

#include "platform/linux/SoundFileReader.h"

#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>
#include <pulse/stream.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <vector>

namespace {

constexpr const char* ApplicationName = "Clipstow";
constexpr const char* StreamName = "Save sound";
// The buffer the server keeps filled for the stream: small, so that the
// sound starts within a few tens of milliseconds of being asked for.
constexpr pa_usec_t TargetLength = 60 * PA_USEC_PER_MSEC;
// A server that takes longer to answer is taken for gone for this sound.
constexpr std::chrono::milliseconds ConnectLimit{3000};
// Slack beyond a sound's own length before a stalled stream is given up.
constexpr std::chrono::milliseconds PlaySlack{3000};
// The longest wait for the server to close a stream that has played.
constexpr std::chrono::milliseconds CloseLimit{500};
// Events dispatched at most while taking in what happened between sounds.
constexpr int MaxPendingEvents = 100;

bool isFinal(pa_context_state_t state)
{
    return state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED;
}

bool isFinal(pa_stream_state_t state)
{
    return state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED;
}

// Writes as many frames as the server asks for; true once the whole sound
// has been written.
bool feed(pa_stream* stream, SoundFileReader& reader, std::vector<float>& buffer)
{
    const size_t frameBytes = size_t(reader.channels()) * sizeof(float);
    size_t writable = pa_stream_writable_size(stream);
    if (writable == size_t(-1))
        return true;
    while (writable >= frameBytes) {
        const size_t wanted = writable / frameBytes;
        buffer.resize(wanted * size_t(reader.channels()));
        const qint64 frames = reader.read(buffer.data(), qint64(wanted));
        if (frames <= 0)
            return true;
        const size_t bytes = size_t(frames) * frameBytes;
        if (pa_stream_write(stream, buffer.data(), bytes, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return true;
        writable -= bytes;
    }
    return false;
}

} // namespace

PulseSoundOutput::PulseSoundOutput() : m_loop(pa_mainloop_new()) {}

PulseSoundOutput::~PulseSoundOutput()
{
    disconnect();
    if (m_loop)
        pa_mainloop_free(m_loop);
}

bool PulseSoundOutput::playWaveData(const QByteArray& image)
{
    const std::unique_ptr<SoundFileReader> reader = SoundFileReader::fromImage(image);
    return reader && play(*reader);
}

bool PulseSoundOutput::playWaveFile(const QString& fileName)
{
    const std::unique_ptr<SoundFileReader> reader = SoundFileReader::fromFile(fileName);
    return reader && play(*reader);
}

void PulseSoundOutput::stop()
{
    m_stopped = true;
    if (m_loop)
        pa_mainloop_wakeup(m_loop);
}

bool PulseSoundOutput::runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limit;
    while (!m_stopped) {
        if (done())
            return true;
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        // At most a second per wait, so that the microseconds fit an int
        // however long the sound.
        const int wait = int(std::min<qint64>(left.count(), PA_USEC_PER_SEC));
        if (pa_mainloop_prepare(m_loop, wait) < 0 || pa_mainloop_poll(m_loop) < 0 ||
            pa_mainloop_dispatch(m_loop) < 0)
            return false;
    }
    return false;
}

bool PulseSoundOutput::connect()
{
    if (!m_loop || m_stopped)
        return false;
    // Take in what the server said since the last sound, so that a
    // connection it has closed is seen as failed.
    for (int i = 0; i < MaxPendingEvents && pa_mainloop_iterate(m_loop, 0, nullptr) > 0; ++i) {
    }
    if (m_context && isFinal(pa_context_get_state(m_context)))
        disconnect();
    if (!m_context) {
        m_context = pa_context_new(pa_mainloop_get_api(m_loop), ApplicationName);
        if (!m_context)
            return false;
        // Without a server the sound is not heard; none is started for it.
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            disconnect();
            return false;
        }
    }
    const bool answered = runUntil(
        [this] {
            const pa_context_state_t state = pa_context_get_state(m_context);
            return state == PA_CONTEXT_READY || isFinal(state);
        },
        ConnectLimit);
    if (answered && pa_context_get_state(m_context) == PA_CONTEXT_READY)
        return true;
    // Failed, timed out or stopped: the next sound tries a new connection.
    disconnect();
    return false;
}

void PulseSoundOutput::disconnect()
{
    if (!m_context)
        return;
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

bool PulseSoundOutput::play(SoundFileReader& reader)
{
    if (!connect())
        return false;
    // Decoded as 32-bit floats at the file's own rate and channel count.
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, uint32_t(reader.sampleRate()),
                                uint8_t(reader.channels())};
    pa_stream* stream = pa_stream_new(m_context, StreamName, &format, nullptr);
    if (!stream)
        return false;
    pa_buffer_attr buffer;
    buffer.maxlength = uint32_t(-1);
    buffer.tlength = uint32_t(pa_usec_to_bytes(TargetLength, &format));
    buffer.prebuf = uint32_t(-1);
    buffer.minreq = uint32_t(-1);
    buffer.fragsize = uint32_t(-1);
    bool played = false;
    if (pa_stream_connect_playback(stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                   nullptr) == 0) {
        std::vector<float> samples;
        bool written = false;
        pa_operation* drain = nullptr;
        bool failed = false;
        // Whole seconds, rounded up; files that claim more than a day are
        // given a day.
        const std::chrono::seconds length{
            std::min<qint64>(reader.frames() / reader.sampleRate(), 24 * 3600) + 1};
        const bool ended = runUntil(
            [&] {
                const pa_stream_state_t state = pa_stream_get_state(stream);
                if (isFinal(state)) {
                    failed = true;
                    return true;
                }
                if (state != PA_STREAM_READY)
                    return false;
                if (!written && feed(stream, reader, samples)) {
                    written = true;
                    // Ends when the server has played everything written.
                    drain = pa_stream_drain(stream, nullptr, nullptr);
                    failed = !drain;
                    return failed;
                }
                return drain && pa_operation_get_state(drain) != PA_OPERATION_RUNNING;
            },
            length + PlaySlack);
        played = ended && !failed;
        if (drain)
            pa_operation_unref(drain);
        if (m_stopped) {
            // Closing the connection makes the server drop the stream at
            // once, without waiting for the loop to send a request.
            disconnect();
        } else if (!isFinal(pa_stream_get_state(stream)) && pa_stream_disconnect(stream) == 0) {
            // Sent and answered now, so that the server does not keep an
            // idle stream open until the next sound.
            runUntil([stream] { return isFinal(pa_stream_get_state(stream)); }, CloseLimit);
        }
    }
    pa_stream_unref(stream);
    return played;
}

std::unique_ptr<SoundOutput> createSystemSoundOutput()
{
    return std::make_unique<PulseSoundOutput>();
}
