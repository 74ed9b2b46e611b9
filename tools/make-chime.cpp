// Writes the built-in save chime, resources/chimes.wav:
//
//   make-chime <output.wav>
//
// The sound is two soft bell strikes a fourth apart (G5, then C6 110 ms
// later), each made of a few partials with their own exponential decay, a
// short raised-cosine attack, a slight stereo spread (first strike a little
// left, second a little right) and a fade to exact silence at the end. The
// file is 16-bit PCM stereo at 22,050 Hz, 13,921 frames, followed by a short
// LIST/INFO chunk, 55,776 bytes in all. Only integer arithmetic touches the
// bytes written, and the synthesis is plain double arithmetic, so the output
// is the same on every run.

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int SampleRate = 22050;
constexpr int Channels = 2;
constexpr int BitsPerSample = 16;
constexpr int Frames = 13921;
constexpr int BlockAlign = Channels * BitsPerSample / 8;
constexpr double Pi = 3.14159265358979323846;

// The INFO text: one comment subchunk whose 28 bytes (text and terminating
// zero) make the LIST chunk exactly 40 bytes long.
constexpr char Comment[] = "Clipstow chime, synthesised";
static_assert(sizeof(Comment) == 28);

struct Partial
{
    double ratio;     // frequency relative to the strike's fundamental
    double amplitude; // relative level
    double decay;     // time constant of the exponential decay, seconds
};

// A small bell: a strong fundamental, an octave, a soft inharmonic hum above
// it and a quickly dying shimmer that gives the strike its edge.
constexpr std::array<Partial, 4> BellPartials{{
    {1.0, 1.00, 0.26},
    {2.0, 0.32, 0.16},
    {2.76, 0.10, 0.09},
    {5.40, 0.05, 0.04},
}};

struct Strike
{
    double start;     // seconds
    double frequency; // fundamental, Hz
    double level;
    double left; // channel gains
    double right;
};

constexpr std::array<Strike, 2> Strikes{{
    {0.000, 783.99, 0.85, 1.00, 0.80},
    {0.110, 1046.50, 1.00, 0.80, 1.00},
}};

constexpr double AttackSeconds = 0.004;
constexpr double FadeSeconds = 0.090;
constexpr double PeakLevel = 0.70; // of full scale, about -3 dBFS

double strikeSample(const Strike& strike, double t)
{
    const double local = t - strike.start;
    if (local < 0.0)
        return 0.0;
    double value = 0.0;
    for (const Partial& partial : BellPartials)
        value += partial.amplitude * std::exp(-local / partial.decay) *
                 std::sin(2.0 * Pi * strike.frequency * partial.ratio * local);
    const double attack =
        local < AttackSeconds ? 0.5 - 0.5 * std::cos(Pi * local / AttackSeconds) : 1.0;
    return strike.level * attack * value;
}

// The two channels, unscaled, interleaved.
std::vector<double> synthesise()
{
    std::vector<double> samples(std::size_t(Frames) * Channels);
    const double duration = double(Frames - 1) / SampleRate;
    for (int frame = 0; frame < Frames; ++frame) {
        const double t = double(frame) / SampleRate;
        double left = 0.0;
        double right = 0.0;
        for (const Strike& strike : Strikes) {
            const double value = strikeSample(strike, t);
            left += strike.left * value;
            right += strike.right * value;
        }
        const double untilEnd = duration - t;
        const double fade =
            untilEnd < FadeSeconds ? 0.5 - 0.5 * std::cos(Pi * untilEnd / FadeSeconds) : 1.0;
        samples[std::size_t(frame) * Channels] = left * fade;
        samples[std::size_t(frame) * Channels + 1] = right * fade;
    }
    return samples;
}

void appendTag(QByteArray& out, const char* tag)
{
    out.append(tag, 4);
}

void appendU32(QByteArray& out, std::uint32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendU16(QByteArray& out, std::uint16_t value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

QByteArray waveFile(const std::vector<double>& samples)
{
    double peak = 0.0;
    for (double value : samples)
        peak = std::max(peak, std::abs(value));
    const double scale = peak > 0.0 ? PeakLevel * 32767.0 / peak : 0.0;

    QByteArray data;
    data.reserve(int(samples.size()) * 2);
    for (double value : samples) {
        const long rounded = std::lround(value * scale);
        appendU16(data, std::uint16_t(std::int16_t(std::clamp(rounded, -32768L, 32767L))));
    }

    QByteArray list;
    appendTag(list, "INFO");
    appendTag(list, "ICMT");
    appendU32(list, sizeof(Comment));
    list.append(Comment, sizeof(Comment));

    QByteArray body;
    appendTag(body, "WAVE");
    appendTag(body, "fmt ");
    appendU32(body, 16);
    appendU16(body, 1); // PCM
    appendU16(body, Channels);
    appendU32(body, SampleRate);
    appendU32(body, SampleRate * BlockAlign);
    appendU16(body, BlockAlign);
    appendU16(body, BitsPerSample);
    appendTag(body, "data");
    appendU32(body, std::uint32_t(data.size()));
    body.append(data);
    appendTag(body, "LIST");
    appendU32(body, std::uint32_t(list.size()));
    body.append(list);

    QByteArray file;
    appendTag(file, "RIFF");
    appendU32(file, std::uint32_t(body.size()));
    file.append(body);
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.wav>\n", argv[0]);
        return 2;
    }
    const QByteArray wave = waveFile(synthesise());
    if (wave.size() != 55776) {
        std::fprintf(stderr, "make-chime: produced %lld bytes instead of 55776\n",
                     static_cast<long long>(wave.size()));
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(wave) != wave.size() ||
        !out.flush()) {
        std::fprintf(stderr, "make-chime: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
