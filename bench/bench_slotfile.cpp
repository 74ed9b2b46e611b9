// Times the slot file layer: encoding and atomic writing, reading and
// decoding, at 1 KB, 1 MB and the editor's full 16,777,215 characters, and
// the append path of a capture (1 KB onto a 16 MB file).

#include "BenchSupport.h"
#include "core/slotfile/SlotFile.h"
#include "core/slotfile/SlotFileWriter.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Text that looks like captured clipboard text: lines of mixed length,
// mostly ASCII with some accented and non-Latin characters.
QString sampleText(qsizetype length)
{
    static const QString words[] = {QStringLiteral("clipboard "), QStringLiteral(u"café "),
                                    QStringLiteral("text "),      QStringLiteral(u"日本 "),
                                    QStringLiteral("capture\n"),  QStringLiteral(u"Ünïcödé "),
                                    QStringLiteral("slot\t")};
    QString text;
    text.reserve(length + 16);
    for (int i = 0; text.size() < length; i = (i * 7 + 3) % 101)
        text += words[i % 7];
    text.truncate(length);
    return text;
}

// Median of several runs, in milliseconds.
double medianMs(int runs, const std::function<void()>& action)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        action();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    QTemporaryDir dir(QStringLiteral("bench_slotfile-XXXXXX"));
    if (!dir.isValid())
        return 1;
    const QFont font(QStringLiteral("DejaVu Sans Mono"), 10);
    std::printf("%-10s %10s %10s %10s %10s %10s %10s %10s\n", "size", "encode", "write", "read",
                "decode", "rtf-enc", "rtf-dec", "bytes");
    const std::pair<const char*, qsizetype> sizes[] = {
        {"1 KB", 1024}, {"1 MB", 1 << 20}, {"16 MB", 16'777'215}};
    for (const auto& [label, length] : sizes) {
        const int runs = length > (1 << 20) ? 5 : 21;
        const QString text = sampleText(length);
        const QString name = dir.filePath(QStringLiteral("slot.txt"));
        QByteArray bytes;
        const double encode = medianMs(runs, [&] { bytes = SlotFile::encodePlain(text); });
        const double write = medianMs(runs, [&] { SlotFile::writeAtomically(name, bytes); });
        QString back;
        const double read = medianMs(runs, [&] { back = SlotFile::readText(name); });
        const double decode = medianMs(runs, [&] { back = SlotFile::decodePlain(bytes); });
        QByteArray rtf;
        const double rtfEncode = medianMs(runs, [&] { rtf = SlotFile::encodeRtf(text, font); });
        const double rtfDecode = medianMs(runs, [&] { back = *SlotFile::decodeRtf(rtf); });
        if (back != text) {
            std::printf("round trip failed at %s\n", label);
            return 1;
        }
        std::printf("%-10s %10.3f %10.3f %10.3f %10.3f %10.3f %10.3f %10lld\n", label, encode,
                    write, read, decode, rtfEncode, rtfDecode,
                    static_cast<long long>(bytes.size()));
    }
    std::printf("(write = atomic write with fsync of an already encoded text; read = read + "
                "decode)\n\n");

    // A capture of 1 KB onto a slot of 16 MB: append versus whole rewrite.
    const QString name = dir.filePath(QStringLiteral("capture.txt"));
    QString text = sampleText(16'000'000);
    const QString capture = sampleText(1024);
    SlotFileWriter writer(name);
    writer.write(text, font);
    const auto inode = [&] { return BenchSupport::inodeOf(name); };
    const QByteArray::size_type sizeBefore = SlotFile::encodePlain(text).size();
    const auto inodeBefore = inode();
    const double append = medianMs(11, [&] {
        const qsizetype before = text.size();
        text += capture;
        writer.write(text, font, before, SlotFileWriter::Purpose::Capture);
    });
    // Appended: the same file, longer by the captures' bytes only.
    const QByteArray bytes = SlotFile::encodePlain(text);
    const bool appended = inode() == inodeBefore && QFileInfo(name).size() == bytes.size() &&
                          bytes.size() > sizeBefore;
    const double rewrite = medianMs(5, [&] {
        text += capture;
        writer.write(text, font, std::nullopt);
    });
    std::printf("capture of 1 KB onto 16 MB: append %.3f ms (%s), whole rewrite %.3f ms\n", append,
                appended ? "appended" : "NOT appended", rewrite);
    return appended ? 0 : 1;
}
