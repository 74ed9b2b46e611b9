#include "ui/editor/SlotEditorText.h"

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
    QString out(documentText.size() + breaks, Qt::Uninitialized);
    QChar* o = out.data();
    for (const QChar c : documentText) {
        if (c == QChar::ParagraphSeparator) {
            *o++ = QLatin1Char('\r');
            *o++ = QLatin1Char('\n');
        } else {
            *o++ = c;
        }
    }
    return out;
}

void toLf(QString& documentText)
{
    documentText.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

} // namespace SlotEditorText
