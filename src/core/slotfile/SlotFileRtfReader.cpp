#include "core/slotfile/SlotFile.h"

#include <QHash>
#include <vector>

// The text of an RTF document as word processors write it: formatting is
// dropped, tables of fonts, colours, styles and document information,
// pictures, headers, footers and every \* destination are skipped; what
// remains is the body text with its paragraph and line breaks.

namespace SlotFile {

namespace {

struct GroupState
{
    int unicodeSkip = 1;  // \ucN: fallback characters after each \uN
    bool skip = false;    // inside a destination whose text is not body text
    bool uprSkip = false; // skipped only as the ANSI half of \upr; \ud ends it
};

enum class Action
{
    Skip,
    Char,
    Break,
    PageBreak
};

struct WordAction
{
    Action action;
    char16_t ch = 0;
};

const QHash<QByteArray, WordAction>& wordActions()
{
    static const QHash<QByteArray, WordAction> table = [] {
        QHash<QByteArray, WordAction> t;
        for (const char* word : {"fonttbl",      "colortbl",
                                 "stylesheet",   "info",
                                 "pict",         "header",
                                 "headerl",      "headerr",
                                 "headerf",      "footer",
                                 "footerl",      "footerr",
                                 "footerf",      "footnote",
                                 "listtable",    "listoverridetable",
                                 "revtbl",       "rsidtbl",
                                 "filetbl",      "fldinst",
                                 "object",       "objdata",
                                 "nonshppict",   "shpinst",
                                 "themedata",    "colorschememapping",
                                 "latentstyles", "datastore",
                                 "xmlnstbl",     "generator",
                                 "mmathPr",      "pgdsctbl",
                                 "template",     "docvar",
                                 "xe",           "tc",
                                 "annotation",   "atnid",
                                 "atnauthor",    "do",
                                 "private",      "userprops"})
            t.insert(word, {Action::Skip});
        t.insert("par", {Action::Break});
        t.insert("line", {Action::Break});
        t.insert("row", {Action::Break});
        t.insert("nestrow", {Action::Break});
        t.insert("page", {Action::PageBreak});
        t.insert("column", {Action::PageBreak});
        const std::pair<const char*, char16_t> chars[] = {
            {"tab", u'\t'},        {"cell", u'\t'},     {"nestcell", u'\t'}, {"emdash", 0x2014},
            {"endash", 0x2013},    {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},
            {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C},
            {"rdblquote", 0x201D}, {"zwj", 0x200D},     {"zwnj", 0x200C},    {"zwbo", 0x200B},
            {"ltrmark", 0x200E},   {"rtlmark", 0x200F}};
        for (const auto& [word, ch] : chars)
            t.insert(word, {Action::Char, ch});
        return t;
    }();
    return table;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

class RtfReader
{
public:
    explicit RtfReader(QByteArrayView in) : m_in(in) { m_out.reserve(in.size()); }

    QString run()
    {
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            switch (c) {
            case '{':
                m_stack.push_back(m_state);
                m_pendingSkip = 0;
                break;
            case '}':
                m_pendingSkip = 0;
                if (m_stack.empty())
                    return m_out; // the document's closing brace
                m_state = m_stack.back();
                m_stack.pop_back();
                if (m_stack.empty())
                    return m_out;
                break;
            case '\\':
                controlSequence();
                break;
            case '\r':
            case '\n':
                break; // line ends in the source are not text
            case '\t':
                character(u'\t');
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20)
                    textRun();
            }
        }
        return m_out; // a truncated document gives the text it has
    }

private:
    // Plain text from m_pos - 1 up to the next special character; ASCII
    // goes to the output in one piece.
    void textRun()
    {
        const qsizetype start = m_pos - 1;
        if (m_pendingSkip > 0 || m_state.skip) {
            byteCharacter(static_cast<unsigned char>(m_in[start]));
            return;
        }
        qsizetype end = start;
        while (end < m_in.size()) {
            const unsigned char b = static_cast<unsigned char>(m_in[end]);
            if (b < 0x20 || b >= 0x80 || b == '\\' || b == '{' || b == '}')
                break;
            ++end;
        }
        if (end == start) {
            byteCharacter(static_cast<unsigned char>(m_in[start]));
            return;
        }
        m_out.append(QLatin1StringView(m_in.data() + start, end - start));
        m_pos = end;
    }

    void controlSequence()
    {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        if (!isLetter(c)) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && isLetter(m_in[m_pos]) && m_pos - start < 32)
            ++m_pos;
        // Points into the document: no copy for the lookups below.
        const QByteArray word = QByteArray::fromRawData(m_in.data() + start, m_pos - start);
        std::optional<int> param;
        qsizetype digits = m_pos;
        if (digits < m_in.size() && m_in[digits] == '-')
            ++digits;
        qsizetype end = digits;
        while (end < m_in.size() && m_in[end] >= '0' && m_in[end] <= '9' && end - digits < 10)
            ++end;
        if (end > digits) {
            param = m_in.sliced(m_pos, end - m_pos).toInt();
            m_pos = end;
        }
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;
        controlWord(word, param);
    }

    void controlSymbol(char c)
    {
        switch (c) {
        case '*':
            // An optional destination: its text is never body text, except
            // for the Unicode half of \upr.
            m_state.skip = true;
            return;
        case '\'': {
            const int hi = m_pos < m_in.size() ? hexValue(m_in[m_pos]) : -1;
            const int lo = m_pos + 1 < m_in.size() ? hexValue(m_in[m_pos + 1]) : -1;
            if (hi < 0 || lo < 0)
                return;
            m_pos += 2;
            byteCharacter(static_cast<unsigned char>(hi * 16 + lo));
            return;
        }
        case '\\':
        case '{':
        case '}':
            character(char16_t(c));
            return;
        case '~':
            character(0x00A0);
            return;
        case '-':
            character(0x00AD);
            return;
        case '_':
            character(0x2011);
            return;
        case '\r':
        case '\n':
            lineBreak();
            return;
        default:
            consumeFallback(); // \| \: and others carry no text
        }
    }

    void controlWord(const QByteArray& word, std::optional<int> param)
    {
        if (word == "u" && param) {
            if (consumeFallback())
                return;
            if (!m_state.skip)
                m_out.append(QChar(char16_t(*param < 0 ? *param + 65536 : *param)));
            m_pendingSkip = m_state.unicodeSkip;
            return;
        }
        if (consumeFallback())
            return;
        if (word == "uc") {
            m_state.unicodeSkip = std::max(0, param.value_or(1));
        } else if (word == "bin") {
            m_pos = std::min(m_in.size(), m_pos + std::max(0, param.value_or(0)));
        } else if (word == "ansicpg") {
            m_codePage = param.value_or(1252);
        } else if (word == "mac" || word == "pc" || word == "pca") {
            m_codePage = 0;
        } else if (word == "upr") {
            if (!m_state.skip) {
                m_state.skip = true;
                m_state.uprSkip = true;
            }
        } else if (word == "ud") {
            if (m_state.uprSkip) {
                m_state.skip = false;
                m_state.uprSkip = false;
            }
        } else if (const auto it = wordActions().constFind(word); it != wordActions().cend()) {
            switch (it->action) {
            case Action::Skip:
                m_state.skip = true;
                break;
            case Action::Char:
                put(it->ch);
                break;
            case Action::Break:
                put(u'\n');
                break;
            case Action::PageBreak:
                // Usually between paragraphs already; only a break in the
                // middle of a line separates anything.
                if (!m_out.isEmpty() && !m_out.endsWith(QLatin1Char('\n')))
                    put(u'\n');
                break;
            }
        }
    }

    // After \uN the next N characters are the fallback for readers without
    // Unicode; swallows one of them.
    bool consumeFallback()
    {
        if (m_pendingSkip == 0)
            return false;
        --m_pendingSkip;
        return true;
    }

    void lineBreak()
    {
        if (!consumeFallback())
            put(u'\n');
    }

    void character(char16_t ch)
    {
        if (!consumeFallback())
            put(ch);
    }

    // A byte of text in the document's code page: Windows-1252, or Latin-1
    // for the code pages not known here.
    void byteCharacter(unsigned char byte)
    {
        character(m_codePage == 1252 ? cp1252ToUnicode(byte) : char16_t(byte));
    }

    void put(char16_t ch)
    {
        if (!m_state.skip)
            m_out.append(QChar(ch));
    }

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    GroupState m_state;
    std::vector<GroupState> m_stack;
    int m_pendingSkip = 0;
    int m_codePage = 1252;
    QString m_out;
};

} // namespace

std::optional<QString> decodeRtf(const QByteArray& bytes)
{
    if (!bytes.startsWith("{\\rtf"))
        return std::nullopt;
    return RtfReader(bytes).run();
}

} // namespace SlotFile
