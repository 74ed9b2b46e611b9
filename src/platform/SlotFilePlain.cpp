#include "platform/SlotFile.h"

#include <QStringDecoder>
#include <array>

// Plain-text slot files: UTF-8 without byte-order mark, CR LF line breaks.
// Files from older Windows installations are in Windows-1252; anything that
// is not valid UTF-8 is read in that code page so their accented letters
// survive.

namespace SlotFile {

namespace {

// 0x80..0x9F of Windows-1252. The five bytes without a character there
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value, so
// every byte has a character and nothing is lost.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char Bom[] = "\xEF\xBB\xBF";

QByteArrayView withoutBom(const QByteArray& bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith(QByteArrayView(Bom, 3)))
        view = view.sliced(3);
    return view;
}

// Every CR LF, lone CR and lone LF as one LF. Works on the encoded bytes:
// in UTF-8 and in Windows-1252 the bytes 0x0D and 0x0A only ever stand for
// CR and LF. Tells whether every break already was CR LF.
QByteArray breaksToLf(QByteArrayView in, bool* allCrLf)
{
    QByteArray out(in.size(), Qt::Uninitialized);
    char* o = out.data();
    const char* p = in.data();
    const char* const end = p + in.size();
    bool crlf = true;
    while (p < end) {
        const char c = *p++;
        if (c == '\r') {
            if (p < end && *p == '\n')
                ++p;
            else
                crlf = false;
            *o++ = '\n';
        } else {
            if (c == '\n')
                crlf = false;
            *o++ = c;
        }
    }
    out.truncate(o - out.data());
    if (allCrLf)
        *allCrLf = crlf;
    return out;
}

QString decodeCp1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char c : bytes)
        *out++ = cp1252ToUnicode(static_cast<unsigned char>(c));
    return text;
}

} // namespace

char16_t cp1252ToUnicode(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char16_t(byte);
}

int unicodeToCp1252(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (int i = 0; i < int(Cp1252High.size()); ++i) {
        if (Cp1252High[i] == ch)
            return 0x80 + i;
    }
    return -1;
}

QByteArray encodePlain(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const char* p = utf8.constData();
    const char* const end = p + utf8.size();
    // First count the bytes the breaks add, then fill an exact buffer.
    qsizetype added = 0;
    for (const char* q = p; q < end; ++q) {
        if (*q == '\n' && (q == p || q[-1] != '\r'))
            ++added;
        else if (*q == '\r' && (q + 1 == end || q[1] != '\n'))
            ++added;
    }
    if (added == 0)
        return utf8;
    QByteArray out(utf8.size() + added, Qt::Uninitialized);
    char* o = out.data();
    while (p < end) {
        const char c = *p++;
        if (c == '\r' || c == '\n') {
            *o++ = '\r';
            *o++ = '\n';
            if (c == '\r' && p < end && *p == '\n')
                ++p;
        } else {
            *o++ = c;
        }
    }
    return out;
}

PlainDecoded decodePlainDetailed(const QByteArray& bytes)
{
    const QByteArrayView body = withoutBom(bytes);
    bool allCrLf = true;
    const QByteArray lf = breaksToLf(body, &allCrLf);
    // Only the leading mark is dropped: keep one that follows it as text.
    // Stateless: a sequence cut off at the end is an error, not pending.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                    QStringConverter::Flag::Stateless);
    QString text = utf8.decode(lf);
    if (!utf8.hasError())
        return {std::move(text), allCrLf && body.size() == bytes.size()};
    return {decodeCp1252(lf), false};
}

// Bytes of value 0 stay U+0000: they are part of the file, and keeping them
// means an unedited slot writes the same bytes back.
QString decodePlain(const QByteArray& bytes)
{
    return decodePlainDetailed(bytes).text;
}

Format formatFor(const QString& fileName)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const QStringView name = QStringView(fileName).sliced(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && name.sliced(dot + 1).compare(u"rtf", Qt::CaseInsensitive) == 0)
        return Format::Rtf;
    return Format::PlainText;
}

} // namespace SlotFile
