#pragma once

#include "platform/SoundOutput.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/stat.h>

// Pieces shared by the benchmarks.
namespace BenchSupport {

// `size` bytes in lines of 60 to 100 characters ending in CR LF, like
// collected clipboard text.
inline QByteArray sampleFile(qsizetype size)
{
    QByteArray bytes;
    bytes.reserve(size);
    int n = 0;
    while (bytes.size() < size) {
        const int len = 60 + (n * 37) % 41;
        for (int i = 0; i < len && bytes.size() < size; ++i)
            bytes += char(i % 9 == 8 ? ' ' : 'a' + (n + i) % 26);
        if (bytes.size() + 2 <= size)
            bytes += "\r\n";
        else
            bytes += QByteArray(size - bytes.size(), 'z');
        ++n;
    }
    return bytes;
}

// The file's inode (0 when it cannot be found): the same before and after a
// write when the write added to the file rather than replaced it.
inline quint64 inodeOf(const QString& fileName)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(fileName).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}

// A sound output that plays nothing: the save sound left out of a figure.
class Silence final : public SoundOutput
{
public:
    bool playWaveData(const QByteArray&) override { return true; }
    bool playWaveFile(const QString&) override { return true; }
    void stop() override {}
};

} // namespace BenchSupport
