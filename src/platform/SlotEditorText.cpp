#include "platform/SlotEditorText.h"

namespace SlotEditorText {

QString normalizeBreaks(QString text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString withCrLf(const QString& documentText)
{
    const qsizetype breaks = documentText.count(QChar::ParagraphSeparator);
    if (breaks == 0)
        return documentText;
    QString out;
    out.reserve(documentText.size() + breaks);
    const QChar* data = documentText.constData();
    const qsizetype n = documentText.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (data[i] == QChar::ParagraphSeparator) {
            out.append(data + runStart, i - runStart);
            out.append(QLatin1String("\r\n"));
            runStart = i + 1;
        }
    }
    out.append(data + runStart, n - runStart);
    return out;
}

void toLf(QString& documentText)
{
    documentText.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

} // namespace SlotEditorText
