#include "core/slotfile/SlotFile.h"

#include <array>

// Plain-text slot files: UTF-8 without byte-order mark, CR LF line breaks.
// Files from older Windows installations are in Windows-1252, and other
// programs may append lines in it to a UTF-8 file; every byte that is not
// part of valid UTF-8 is read in that code page, so their accented letters
// survive and the UTF-8 text around them stays as it was.

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

// Writes the line break for a CR or LF at p[-1]: CR LF and lone CR and LF
// all become one '\n'. Tells through crlf whether the break was CR LF.
template <typename Unit>
inline void lineBreak(Unit c, const Unit*& p, const Unit* end, char16_t*& o, bool& crlf)
{
    if (c == '\r' && p < end && *p == '\n')
        ++p;
    else
        crlf = false;
    *o++ = u'\n';
}

// The length of the valid UTF-8 sequence at p (2 to 4 bytes) whose lead
// byte b >= 0x80 was just read, with its code point; 0 when the bytes there
// are not one: overlong forms, surrogates, code points above U+10FFFF, stray
// continuation bytes and a sequence cut off at the end of the file.
inline int utf8Sequence(uchar b, const uchar* p, const uchar* end, char32_t& cp)
{
    auto continuation = [](uchar c) { return (c & 0xC0) == 0x80; };
    if (b < 0xC2)
        return 0; // continuation byte, or lead of an overlong form
    if (b < 0xE0) {
        if (p == end || !continuation(p[0]))
            return 0;
        cp = ((b & 0x1F) << 6) | (p[0] & 0x3F);
        return 2;
    }
    if (b < 0xF0) {
        if (end - p < 2 || !continuation(p[0]) || !continuation(p[1]))
            return 0;
        cp = ((b & 0x0F) << 12) | ((p[0] & 0x3F) << 6) | (p[1] & 0x3F);
        return cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF) ? 0 : 3;
    }
    if (b < 0xF5) {
        if (end - p < 3 || !continuation(p[0]) || !continuation(p[1]) || !continuation(p[2]))
            return 0;
        cp = ((b & 0x07) << 18) | ((p[0] & 0x3F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        return cp < 0x10000 || cp > 0x10FFFF ? 0 : 4;
    }
    return 0;
}

// Bytes to UTF-16 with line breaks made '\n', in one pass. Every valid UTF-8
// sequence is read as UTF-8 and every other byte on its own as Windows-1252,
// so a file that got a line in the old code page from elsewhere keeps the
// UTF-8 text it already held: reading and writing it back changes nothing
// that was there. Tells whether all of it was UTF-8 and all breaks CR LF.
QString decodeMixed(QByteArrayView in, bool& allUtf8, bool& allCrLf)
{
    QString text(in.size(), Qt::Uninitialized); // never more units than bytes
    char16_t* const begin = reinterpret_cast<char16_t*>(text.data());
    char16_t* o = begin;
    const uchar* p = reinterpret_cast<const uchar*>(in.data());
    const uchar* const end = p + in.size();
    bool crlf = true;
    bool utf8 = true;
    while (p < end) {
        const uchar b = *p++;
        if (b < 0x80) {
            if (b == '\r' || b == '\n')
                lineBreak<uchar>(b, p, end, o, crlf);
            else
                *o++ = b;
            continue;
        }
        char32_t cp = 0;
        const int length = utf8Sequence(b, p, end, cp);
        if (length == 0) {
            utf8 = false;
            *o++ = cp1252ToUnicode(b);
        } else if (cp > 0xFFFF) {
            *o++ = QChar::highSurrogate(cp);
            *o++ = QChar::lowSurrogate(cp);
        } else {
            *o++ = char16_t(cp);
        }
        p += length > 0 ? length - 1 : 0;
    }
    text.truncate(o - begin);
    allUtf8 = utf8;
    allCrLf = crlf;
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

// UTF-16 to UTF-8 with every line break CR LF, in one pass. A surrogate
// without its partner becomes U+FFFD.
QByteArray encodePlainContinued(const QString& text)
{
    const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
    const char16_t* const end = p + text.size();
    // At most 3 bytes a unit: a break is 2, a surrogate pair 4 for 2 units.
    QByteArray out(text.size() * 3, Qt::Uninitialized);
    uchar* const begin = reinterpret_cast<uchar*>(out.data());
    uchar* o = begin;
    while (p < end) {
        const char16_t c = *p++;
        if (c < 0x80) {
            if (c == u'\r' || c == u'\n') {
                *o++ = '\r';
                *o++ = '\n';
                if (c == u'\r' && p < end && *p == u'\n')
                    ++p;
            } else {
                *o++ = uchar(c);
            }
        } else if (c < 0x800) {
            *o++ = uchar(0xC0 | (c >> 6));
            *o++ = uchar(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
            const char32_t cp = QChar::surrogateToUcs4(c, *p++);
            *o++ = uchar(0xF0 | (cp >> 18));
            *o++ = uchar(0x80 | ((cp >> 12) & 0x3F));
            *o++ = uchar(0x80 | ((cp >> 6) & 0x3F));
            *o++ = uchar(0x80 | (cp & 0x3F));
        } else {
            const char16_t cp = QChar::isSurrogate(c) ? char16_t(0xFFFD) : c;
            *o++ = uchar(0xE0 | (cp >> 12));
            *o++ = uchar(0x80 | ((cp >> 6) & 0x3F));
            *o++ = uchar(0x80 | (cp & 0x3F));
        }
    }
    out.truncate(o - begin);
    return out;
}

// A byte-order mark at the start of a file is dropped on reading, so a text
// that begins with U+FEFF is written after one: it reads back whole.
QByteArray encodePlain(const QString& text)
{
    if (!text.startsWith(QChar(0xFEFF)))
        return encodePlainContinued(text);
    return QByteArray(Bom, 3) + encodePlainContinued(text);
}

PlainDecoded decodePlainDetailed(const QByteArray& bytes)
{
    const QByteArrayView body = withoutBom(bytes);
    PlainDecoded result;
    bool allUtf8 = true;
    bool allCrLf = true;
    result.text = decodeMixed(body, allUtf8, allCrLf);
    const bool markDropped = body.size() != bytes.size();
    result.canonical = allUtf8 && allCrLf && markDropped == result.text.startsWith(QChar(0xFEFF));
    return result;
}

PlainDecoded decodePlainContinued(QByteArrayView bytes)
{
    PlainDecoded result;
    bool allUtf8 = true;
    bool allCrLf = true;
    result.text = decodeMixed(bytes, allUtf8, allCrLf);
    result.canonical = allUtf8 && allCrLf;
    return result;
}

// Bytes of value 0 stay U+0000: they are part of the file, and keeping them
// means an unedited slot writes the same bytes back.
QString decodePlain(const QByteArray& bytes)
{
    return decodePlainDetailed(bytes).text;
}

void FormatCheck::add(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (!m_ok)
            return;
        const uchar b = uchar(c);
        // A byte-order mark is dropped on reading, so written back only
        // before a text that begins with U+FEFF (a second mark).
        if (m_seen < 6) {
            if (m_seen < 3)
                m_start = (m_start << 8) | b;
            else if (m_start == MarkBytes)
                m_second = (m_second << 8) | b;
            if (++m_seen == 6 && m_start == MarkBytes && m_second != MarkBytes) {
                m_ok = false;
                return;
            }
        }
        if (m_pendingCr) {
            if (b != '\n') {
                m_ok = false;
                return;
            }
            m_pendingCr = false;
            continue;
        }
        if (m_continuations > 0) {
            if (b < m_low || b > m_high) {
                m_ok = false;
                return;
            }
            --m_continuations;
            m_low = 0x80;
            m_high = 0xBF;
            continue;
        }
        if (b == '\r') {
            m_pendingCr = true;
        } else if (b == '\n') {
            m_ok = false;
        } else if (b >= 0x80) {
            // Leads and the range of their first continuation byte that
            // keep out overlong forms, surrogates and code points past
            // U+10FFFF (as utf8Sequence does).
            if (b >= 0xC2 && b <= 0xDF) {
                m_continuations = 1;
            } else if (b >= 0xE0 && b <= 0xEF) {
                m_continuations = 2;
                m_low = b == 0xE0 ? 0xA0 : 0x80;
                m_high = b == 0xED ? 0x9F : 0xBF;
            } else if (b >= 0xF0 && b <= 0xF4) {
                m_continuations = 3;
                m_low = b == 0xF0 ? 0x90 : 0x80;
                m_high = b == 0xF4 ? 0x8F : 0xBF;
            } else {
                m_ok = false;
            }
        }
    }
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
