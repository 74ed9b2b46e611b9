#include "base/Locale.h"

#include <QTime>

namespace {

// One piece of a QLocale date or time pattern: a field (a run of one
// pattern letter, such as "dd" or "yyyy"; an AM/PM marker has letter 'a') or
// literal text (quotes already removed).
struct Token
{
    QChar letter; // null for literal text
    int count = 0;
    QString text;

    bool isField() const { return !letter.isNull(); }
};

constexpr QStringView DateFields = u"dMy";
constexpr QStringView TimeFields = u"hHmszt";

void appendLiteral(QList<Token>& tokens, const QString& text)
{
    if (text.isEmpty()) {
        return;
    }
    if (!tokens.isEmpty() && !tokens.last().isField()) {
        tokens.last().text += text;
    } else {
        tokens.append(Token{QChar(), 0, text});
    }
}

// Splits pattern into fields and literal text. Letters outside fieldLetters
// are literal, as QLocale treats them. "ap", "AP", "a" and "A" are the AM/PM
// marker when time fields are asked for.
QList<Token> tokenize(const QString& pattern, QStringView fieldLetters)
{
    QList<Token> tokens;
    const bool timeFields = fieldLetters == TimeFields;
    const qsizetype size = pattern.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = pattern.at(i);
        if (c == u'\'') {
            if (i + 1 < size && pattern.at(i + 1) == u'\'') {
                appendLiteral(tokens, QStringLiteral("'"));
                i += 2;
                continue;
            }
            QString text;
            ++i;
            while (i < size) {
                if (pattern.at(i) == u'\'') {
                    if (i + 1 < size && pattern.at(i + 1) == u'\'') {
                        text += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += pattern.at(i++);
            }
            appendLiteral(tokens, text);
        } else if (timeFields && (c == u'a' || c == u'A')) {
            int count = 1;
            if (i + 1 < size && (pattern.at(i + 1) == u'p' || pattern.at(i + 1) == u'P')) {
                count = 2;
            }
            tokens.append(Token{QChar(u'a'), count, {}});
            i += count;
        } else if (fieldLetters.contains(c)) {
            qsizetype end = i + 1;
            while (end < size && pattern.at(end) == c) {
                ++end;
            }
            tokens.append(Token{c, int(end - i), {}});
            i = end;
        } else {
            appendLiteral(tokens, QString(c));
            ++i;
        }
    }
    return tokens;
}

// Index of the first field whose letter is one of letters, or -1.
qsizetype indexOfField(const QList<Token>& tokens, QStringView letters)
{
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (tokens[i].isField() && letters.contains(tokens[i].letter)) {
            return i;
        }
    }
    return -1;
}

// text as literal text of a QLocale pattern.
QString quoted(const QString& text)
{
    if (text.isEmpty()) {
        return {};
    }
    QString escaped = text;
    escaped.replace(u'\'', QStringLiteral("''"));
    return u'\'' + escaped + u'\'';
}

bool containsLetter(const QString& text)
{
    for (const QChar c : text) {
        if (c.isLetter()) {
            return true;
        }
    }
    return false;
}

// The short-date pattern in the form RegionalSettings keeps: the literal
// text that separates the date fields becomes '/', any other literal text is
// quoted, and a two-digit year is widened to four digits.
void readShortDate(const QString& qtPattern, RegionalSettings& region)
{
    const QList<Token> tokens = tokenize(qtPattern, DateFields);
    qsizetype firstField = -1;
    qsizetype lastField = -1;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (tokens[i].isField()) {
            if (firstField < 0) {
                firstField = i;
            }
            lastField = i;
        }
    }
    region.dateSeparator = QStringLiteral("/");
    if (firstField < 0) {
        region.shortDatePattern.clear();
        return;
    }
    for (qsizetype i = firstField + 1; i < lastField; ++i) {
        if (!tokens[i].isField() && !tokens[i].text.isEmpty()) {
            region.dateSeparator = tokens[i].text;
            break;
        }
    }

    QString pattern;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.isField()) {
            const int count = (token.letter == u'y' && token.count == 2) ? 4 : token.count;
            pattern += QString(count, token.letter);
        } else if (i > firstField && i < lastField && token.text == region.dateSeparator) {
            pattern += u'/';
        } else {
            pattern += quoted(token.text);
        }
    }
    region.shortDatePattern = pattern;
}

// The text between the hour and the minute of a time pattern, if the pattern
// has them next to each other and that text is a plain separator.
QString timeSeparatorOf(const QList<Token>& tokens)
{
    for (qsizetype i = 0; i + 2 < tokens.size(); ++i) {
        const Token& hour = tokens[i];
        if (!hour.isField() || (hour.letter != u'h' && hour.letter != u'H')) {
            continue;
        }
        const Token& between = tokens[i + 1];
        const Token& minute = tokens[i + 2];
        if (!between.isField() && minute.isField() && minute.letter == u'm' &&
            !between.text.isEmpty() && !containsLetter(between.text)) {
            return between.text;
        }
        return {};
    }
    return {};
}

// Hour style, clock and designator position from the long time pattern; the
// separator from the long pattern, or from the short one when the long
// pattern spells the units out (as in 9時03分).
void readLongTime(const QLocale& locale, RegionalSettings& region)
{
    const QList<Token> longTokens = tokenize(locale.timeFormat(QLocale::LongFormat), TimeFields);
    const QList<Token> shortTokens = tokenize(locale.timeFormat(QLocale::ShortFormat), TimeFields);

    const QList<Token>& tokens = indexOfField(longTokens, u"hH") >= 0 ? longTokens : shortTokens;
    const qsizetype hourIndex = indexOfField(tokens, u"hH");
    if (hourIndex >= 0) {
        const Token& hour = tokens[hourIndex];
        const qsizetype designatorIndex = indexOfField(tokens, u"a");
        region.hourLeadingZero = hour.count >= 2;
        region.twelveHourClock = hour.letter == u'h' && designatorIndex >= 0;
        region.designatorFirst = designatorIndex >= 0 && designatorIndex < hourIndex;
    }

    QString separator = timeSeparatorOf(longTokens);
    if (separator.isEmpty()) {
        separator = timeSeparatorOf(shortTokens);
    }
    region.timeSeparator = separator.isEmpty() ? QStringLiteral(":") : separator;

    region.amDesignator = locale.amText();
    region.pmDesignator = locale.pmText();
    if (region.amDesignator.isEmpty()) {
        region.amDesignator = QStringLiteral("am");
    }
    if (region.pmDesignator.isEmpty()) {
        region.pmDesignator = QStringLiteral("pm");
    }
}

} // namespace

RegionalSettings RegionalSettings::fromLocale(const QLocale& locale)
{
    RegionalSettings region;
    region.locale = locale;
    readShortDate(locale.dateFormat(QLocale::ShortFormat), region);
    readLongTime(locale, region);
    return region;
}

RegionalSettings RegionalSettings::system()
{
    return fromLocale(QLocale::system());
}

QString longDateText(const QDate& date, const QLocale& locale)
{
    if (!date.isValid()) {
        return {};
    }
    QString text = locale.toString(date, QLocale::LongFormat);
    if (text.size() > LongDateMaxLength) {
        qsizetype length = LongDateMaxLength;
        if (text.at(length - 1).isHighSurrogate()) {
            --length;
        }
        text.truncate(length);
    }
    return text;
}

namespace {

// The short-date pattern with each unquoted '/' turned into the quoted
// separator, ready for QLocale::toString.
QString expandSeparators(const QString& pattern, const QString& separator)
{
    QString result;
    bool inQuotes = false;
    for (const QChar c : pattern) {
        if (c == u'\'') {
            inQuotes = !inQuotes;
            result += c;
        } else if (c == u'/' && !inQuotes) {
            result += quoted(separator);
        } else {
            result += c;
        }
    }
    return result;
}

// Writes value with at least width digits in the digits of locale.
QString localDigits(int value, int width, const QLocale& locale)
{
    const QString ascii = QString::number(value).rightJustified(width, u'0');
    const QList<uint> zero = locale.zeroDigit().toUcs4();
    if (zero.isEmpty() || zero.first() == u'0') {
        return ascii;
    }
    QString result;
    for (const QChar c : ascii) {
        const char32_t digit = zero.first() + (c.unicode() - u'0');
        result += QString::fromUcs4(&digit, 1);
    }
    return result;
}

} // namespace

QString shortDateText(const QDate& date, const RegionalSettings& region)
{
    const bool readable =
        indexOfField(tokenize(region.shortDatePattern, DateFields), DateFields) >= 0;
    const QString pattern = readable ? region.shortDatePattern : QStringLiteral("M/d/yy");
    const QString separator =
        region.dateSeparator.isEmpty() && !readable ? QStringLiteral("/") : region.dateSeparator;
    return region.locale.toString(date, expandSeparators(pattern, separator));
}

QString longTimeText(const QTime& time, const RegionalSettings& region)
{
    if (!time.isValid()) {
        return {};
    }
    int hour = time.hour();
    if (region.twelveHourClock) {
        hour %= 12;
        if (hour == 0) {
            hour = 12;
        }
    }
    const QLocale& locale = region.locale;
    QString text = localDigits(hour, region.hourLeadingZero ? 2 : 1, locale) +
                   region.timeSeparator + localDigits(time.minute(), 2, locale) +
                   region.timeSeparator + localDigits(time.second(), 2, locale);
    if (!region.twelveHourClock) {
        return text;
    }
    const QString& designator = time.hour() < 12 ? region.amDesignator : region.pmDesignator;
    return region.designatorFirst ? designator + u' ' + text : text + u' ' + designator;
}
