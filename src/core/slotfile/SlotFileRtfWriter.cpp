#include "core/slotfile/SlotFile.h"

#include <charconv>
#include <cmath>

// An RTF document holding a slot's text in the slot's font. Everything
// outside printable ASCII is written as \uN with a Windows-1252 fallback
// byte where one exists, so any reader gets every character back.

namespace SlotFile {

namespace {

void appendNumber(QByteArray& out, int n)
{
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, n);
    out.append(digits, result.ptr - digits);
}

// One UTF-16 unit that is not plain ASCII text. RTF's \u takes a signed
// 16-bit number; characters beyond U+FFFF go as their two surrogates.
void appendUnicode(QByteArray& out, char16_t ch)
{
    out += "\\u";
    appendNumber(out, int(static_cast<int16_t>(ch)));
    const int fallback = unicodeToCp1252(ch);
    if (fallback >= 0x80) {
        static const char Hex[] = "0123456789abcdef";
        out += "\\'";
        out += Hex[fallback >> 4];
        out += Hex[fallback & 15];
    } else {
        out += '?';
    }
}

void appendText(QByteArray& out, QStringView text, bool fontName)
{
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p < end) {
        // Runs of printable ASCII go in one piece.
        const char16_t* run = p;
        while (run < end && *run >= 0x20 && *run < 0x7F && *run != u'\\' && *run != u'{' &&
               *run != u'}' && *run != u';')
            ++run;
        if (run != p) {
            const qsizetype start = out.size();
            out.resize(start + (run - p));
            char* o = out.data() + start;
            while (p < run)
                *o++ = char(*p++);
            continue;
        }
        const char16_t ch = *p++;
        switch (ch) {
        case u'\r':
            if (p < end && *p == u'\n')
                ++p;
            [[fallthrough]];
        case u'\n':
            out += fontName ? " " : "\\par\n";
            break;
        case u'\t':
            out += "\\tab ";
            break;
        case u'\\':
        case u'{':
        case u'}':
            out += '\\';
            out += char(ch);
            break;
        case u';':
            // Ends an entry of the font table.
            out += fontName ? ' ' : ';';
            break;
        default:
            if (ch >= 0x20 && ch < 0x7F)
                out += char(ch);
            else
                appendUnicode(out, ch);
        }
    }
}

int halfPoints(const QFont& font)
{
    qreal points = font.pointSizeF();
    if (points <= 0)
        points = font.pixelSize() > 0 ? font.pixelSize() * 72.0 / 96.0 : 10.0;
    return std::max(1, int(std::lround(points * 2)));
}

} // namespace

QByteArray encodeRtf(const QString& text, const QFont& font)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 8 + 256);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fnil ";
    // A font without a family (a default QFont outside a GUI application)
    // still needs a name in the table; readers substitute their own.
    QString family = font.family();
    if (family.isEmpty())
        family = QStringLiteral("Monospace");
    appendText(out, family, true);
    out += ";}}\n\\pard\\plain\\f0\\fs";
    appendNumber(out, halfPoints(font));
    if (font.bold())
        out += "\\b";
    if (font.italic())
        out += "\\i";
    if (font.underline())
        out += "\\ul";
    if (font.strikeOut())
        out += "\\strike";
    out += ' ';
    appendText(out, text, false);
    out += "}\n";
    return out;
}

} // namespace SlotFile
