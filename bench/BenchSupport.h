#pragma once

#include <QByteArray>

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

} // namespace BenchSupport
