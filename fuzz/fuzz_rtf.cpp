// RTF slot files: any bytes read without fault, and whatever text a
// document gives is written and read back unchanged.

#include "FuzzSupport.h"
#include "core/slotfile/SlotFile.h"

#include <QFont>

namespace {

// A slot's text has '\n' breaks; the writer takes CR LF and lone CR as one
// break as well.
QString withNewlines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void checkWrittenBack(const QString& text, const QString& fontFamily)
{
    const QByteArray rtf = SlotFile::encodeRtf(text, QFont(fontFamily, 11));
    for (const char c : rtf)
        fuzzCheck(uchar(c) < 0x80, "RTF is written in ASCII");
    const std::optional<QString> back = SlotFile::decodeRtf(rtf);
    fuzzCheck(back.has_value(), "written RTF reads as RTF");
    fuzzCheck(*back == withNewlines(text), "RTF written and read back gives the text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QString> text = SlotFile::decodeRtf(bytes);
    fuzzCheck(text.has_value() == bytes.startsWith("{\\rtf"), "RTF is told by its start");
    if (text) {
        // Any text, in a font whose name is made of the same text.
        checkWrittenBack(*text, text->left(40));
    }
    checkWrittenBack(unitsOf(bytes), QStringLiteral("DejaVu Sans"));
    return 0;
}
