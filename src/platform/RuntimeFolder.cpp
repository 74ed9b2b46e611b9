#include "platform/RuntimeFolder.h"

QString safeForFileName(const QString& text)
{
    QString out;
    for (QChar c : text)
        out += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('.') ||
                       c == QLatin1Char('-')
                   ? c
                   : QLatin1Char('_');
    return out;
}
