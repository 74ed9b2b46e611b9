#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// A property every input must keep. When it does not hold the run stops as
// a crash would, and libFuzzer keeps the input that broke it.
inline void fuzzCheck(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", property);
    std::abort();
}

// A text as an editor could hold it: the input's bytes taken as UTF-16
// units, lone surrogates and all.
inline QString unitsOf(const QByteArray& bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    std::memcpy(text.data(), bytes.constData(), size_t(text.size()) * 2);
    return text;
}
