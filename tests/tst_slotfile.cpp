#include "core/slotfile/SlotFile.h"
#include "support/Files.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using SlotFile::Format;

// The bytes of slot files: plain-text encoding and decoding, the choice of
// format by name, and RTF written here or by real word processors.
class TestSlotFile final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodePlain_data();
    void encodePlain();
    void decodePlain_data();
    void decodePlain();
    void plainRoundTripIsByteExact_data();
    void plainRoundTripIsByteExact();
    void cp1252CoversEveryByte();
    void formatByName_data();
    void formatByName();
    void rtfRoundTrip_data();
    void rtfRoundTrip();
    void rtfCarriesFont();
    void rtfReader_data();
    void rtfReader();
    void rtfFromLibreOffice_data();
    void rtfFromLibreOffice();
    void rtfFromPandoc();
};

namespace {

QByteArray bytes(const char* s, qsizetype n = -1)
{
    return n < 0 ? QByteArray(s) : QByteArray(s, n);
}

QString runTool(const QString& program, const QStringList& args, const QByteArray& input = {})
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted(10000))
        return QStringLiteral("cannot start %1").arg(program);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return QStringLiteral("%1 failed: %2")
            .arg(program, QString::fromLocal8Bit(process.readAllStandardError()));
    return QString();
}

QString withoutFinalBreak(QString text)
{
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

} // namespace

void TestSlotFile::encodePlain_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("no final break") << QStringLiteral("abc") << bytes("abc");
    QTest::newRow("final break") << QStringLiteral("abc\n") << bytes("abc\r\n");
    QTest::newRow("LF") << QStringLiteral("a\nb\n\nc") << bytes("a\r\nb\r\n\r\nc");
    QTest::newRow("CR LF kept") << QStringLiteral("a\r\nb") << bytes("a\r\nb");
    QTest::newRow("lone CR") << QStringLiteral("a\rb\r") << bytes("a\r\nb\r\n");
    QTest::newRow("LF CR is two breaks") << QStringLiteral("a\n\rb") << bytes("a\r\n\r\nb");
    QTest::newRow("only breaks") << QStringLiteral("\n\n") << bytes("\r\n\r\n");
    QTest::newRow("multibyte") << QStringLiteral(u"é€日😀")
                               << bytes("\xC3\xA9\xE2\x82\xAC\xE6\x97\xA5\xF0\x9F\x98\x80");
    QTest::newRow("NUL") << QString::fromUtf16(u"a\0b", 3) << bytes("a\0b", 3);
    QTest::newRow("lone surrogates") << (QString(QChar(0xDE00)) + QLatin1Char('a') + QChar(0xD83D))
                                     << bytes("\xEF\xBF\xBD"
                                              "a\xEF\xBF\xBD");
    // Without the mark, reading would drop the text's first character.
    QTest::newRow("mark before U+FEFF")
        << QStringLiteral(u"\uFEFFx") << bytes("\xEF\xBB\xBF\xEF\xBB\xBFx");
}

void TestSlotFile::encodePlain()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(SlotFile::encodePlain(text), expected);
}

void TestSlotFile::decodePlain_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("canonical");
    QTest::newRow("empty") << QByteArray() << QString() << true;
    QTest::newRow("CR LF") << bytes("a\r\nb\r\n") << QStringLiteral("a\nb\n") << true;
    QTest::newRow("LF only") << bytes("a\nb\n") << QStringLiteral("a\nb\n") << false;
    QTest::newRow("lone CR") << bytes("a\rb") << QStringLiteral("a\nb") << false;
    QTest::newRow("mixed") << bytes("1\r\n2\n3\r4\n\r5") << QStringLiteral("1\n2\n3\n4\n\n5")
                           << false;
    QTest::newRow("CR CR LF") << bytes("a\r\r\nb") << QStringLiteral("a\n\nb") << false;
    QTest::newRow("UTF-8") << bytes("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80")
                           << QStringLiteral(u"café € 😀") << true;
    QTest::newRow("BOM dropped") << bytes("\xEF\xBB\xBFx\r\n") << QStringLiteral("x\n") << false;
    QTest::newRow("second BOM kept")
        << bytes("\xEF\xBB\xBF\xEF\xBB\xBFx") << QStringLiteral(u"\uFEFFx") << true;
    QTest::newRow("BOM before half a second one")
        << bytes("\xEF\xBB\xBF\xEF\xBB") << QStringLiteral(u"\u00EF\u00BB") << false;
    QTest::newRow("1252 accents") << bytes("caf\xE9 \x80 na\xEFve")
                                  << QStringLiteral(u"café € naïve") << false;
    QTest::newRow("1252 quotes") << bytes("\x93q\x94 \x85 \x9F") << QStringLiteral(u"“q” … Ÿ")
                                 << false;
    QTest::newRow("1252 undefined bytes")
        << bytes("\x81\x8D\x8F\x90\x9D") << QStringLiteral(u"\u0081\u008D\u008F\u0090\u009D")
        << false;
    QTest::newRow("1252 with breaks")
        << bytes("\xE9\r\n\xE8\n") << QStringLiteral(u"é\nè\n") << false;
    QTest::newRow("1252 ending in lead byte")
        << bytes("caf\xC3") << QStringLiteral(u"cafÃ") << false;
    QTest::newRow("overlong is not UTF-8") << bytes("\xC0\xAF") << QStringLiteral(u"À¯") << false;
    QTest::newRow("surrogate is not UTF-8")
        << bytes("\xED\xA0\x80") << QStringLiteral(u"í\u00A0€") << false;
    QTest::newRow("above U+10FFFF is not UTF-8")
        << bytes("\xF4\x90\x80\x80") << QStringLiteral(u"ô\u0090€€") << false;
    QTest::newRow("stray continuation") << bytes("a\x80") << QStringLiteral(u"a€") << false;
    QTest::newRow("four-byte UTF-8")
        << bytes("\xF4\x8F\xBF\xBF") << QStringLiteral(u"\U0010FFFF") << true;
    QTest::newRow("NUL kept") << bytes("a\0\r\nb", 5) << QString::fromUtf16(u"a\0\nb", 4) << true;
    // One stray Windows-1252 byte re-encoded a whole UTF-8 file: only the
    // bytes that are not UTF-8 are read in the old code page.
    QTest::newRow("stray 1252 line in UTF-8")
        << bytes("caf\xC3\xA9 \xC3\xBC\r\nna\xEFve \x80\r\n\xE2\x82\xAC")
        << QStringLiteral(u"café ü\nnaïve €\n€") << false;
    QTest::newRow("1252 byte between UTF-8 sequences")
        << bytes("\xC3\xA9\xE9\xF0\x9F\x98\x80") << QStringLiteral(u"éé😀") << false;
    QTest::newRow("lead byte before a valid sequence")
        << bytes("\xC3\xC3\xA9\xE2\x82") << QStringLiteral(u"Ãéâ‚") << false;
}

void TestSlotFile::decodePlain()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);
    QFETCH(bool, canonical);
    QCOMPARE(SlotFile::decodePlain(input), expected);
    const SlotFile::PlainDecoded detailed = SlotFile::decodePlainDetailed(input);
    QCOMPARE(detailed.text, expected);
    QCOMPARE(detailed.canonical, canonical);
    // The canonical flag promises exactly this.
    QCOMPARE(SlotFile::encodePlain(detailed.text) == input, canonical);
    // A file too long to decode is checked in pieces, which may split a
    // line break or a sequence.
    SlotFile::FormatCheck check;
    for (const char c : input)
        check.add(QByteArrayView(&c, 1));
    QCOMPARE(check.inFormat(), canonical);
}

void TestSlotFile::plainRoundTripIsByteExact_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("LF file written back with CR LF") << bytes("a\nb\n") << bytes("a\r\nb\r\n");
    QTest::newRow("CR file") << bytes("a\rb") << bytes("a\r\nb");
    QTest::newRow("1252 file becomes UTF-8") << bytes("\xE9\x80") << bytes("\xC3\xA9\xE2\x82\xAC");
    QTest::newRow("BOM file loses its BOM") << bytes("\xEF\xBB\xBFx") << bytes("x");
    QTest::newRow("canonical stays") << bytes("x\r\n\r\ny\xC3\xA9") << bytes("x\r\n\r\ny\xC3\xA9");
}

void TestSlotFile::plainRoundTripIsByteExact()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, written);
    QCOMPARE(SlotFile::encodePlain(SlotFile::decodePlain(file)), written);
}

void TestSlotFile::cp1252CoversEveryByte()
{
    // Every byte decodes to a distinct character that encodes back to it.
    QSet<char16_t> seen;
    for (int b = 0; b < 256; ++b) {
        const char16_t ch = SlotFile::cp1252ToUnicode(static_cast<unsigned char>(b));
        QVERIFY2(!seen.contains(ch), qPrintable(QString::number(b, 16)));
        seen.insert(ch);
        QCOMPARE(SlotFile::unicodeToCp1252(ch), b);
    }
    QCOMPARE(SlotFile::cp1252ToUnicode(0x80), u'\u20AC');
    QCOMPARE(SlotFile::cp1252ToUnicode(0x9F), u'\u0178');
    QCOMPARE(SlotFile::unicodeToCp1252(u'\u0100'), -1);
}

void TestSlotFile::formatByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("rtf");
    QTest::newRow("x.rtf") << QStringLiteral("x.rtf") << true;
    QTest::newRow("x.RTF") << QStringLiteral("x.RTF") << true;
    QTest::newRow("x.Rtf in folder") << QStringLiteral("/home/u/notes/x.Rtf") << true;
    QTest::newRow("x.rtf.txt") << QStringLiteral("x.rtf.txt") << false;
    QTest::newRow("dir.rtf/x") << QStringLiteral("/tmp/dir.rtf/x") << false;
    QTest::newRow("dir.rtf/x.txt") << QStringLiteral("dir.rtf/x.txt") << false;
    QTest::newRow("x.log") << QStringLiteral("x.log") << false;
    QTest::newRow("no extension") << QStringLiteral("noext") << false;
    QTest::newRow("rtf without dot") << QStringLiteral("rtf") << false;
    QTest::newRow("x.rtfx") << QStringLiteral("x.rtfx") << false;
    QTest::newRow("Default1.txt") << QStringLiteral("Default1.txt") << false;
}

void TestSlotFile::formatByName()
{
    QFETCH(QString, name);
    QFETCH(bool, rtf);
    QCOMPARE(SlotFile::formatFor(name) == Format::Rtf, rtf);
}

void TestSlotFile::rtfRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("ASCII") << QStringLiteral("Hello, world.");
    QTest::newRow("breaks") << QStringLiteral("a\nb\n\n c \n");
    QTest::newRow("only a break") << QStringLiteral("\n");
    QTest::newRow("accents") << QStringLiteral(u"Café crème brûlée, naïve Œuvre €5");
    QTest::newRow("CJK") << QStringLiteral(u"日本語のテキスト\n中文");
    QTest::newRow("emoji") << QStringLiteral(u"smile 😀 and 𝄞");
    QTest::newRow("braces and backslashes") << QStringLiteral(u"{\\rtf1} \\par \\u233? {}}{");
    QTest::newRow("tabs") << QStringLiteral("\tcol1\tcol2\t");
    QTest::newRow("digits after escapes") << QStringLiteral(u"é123 \t456 😀7");
    QTest::newRow("controls") << QString::fromUtf16(u"a\u0001b\u001Fc\0d", 7);
    QTest::newRow("Cyrillic and Greek") << QStringLiteral(u"Здравствуй Ελληνικά");
    QTest::newRow("C1 and high BMP") << QStringLiteral(u"\u0081\u009D\uFFFD\uFFFF\u8000\u7FFF");
}

void TestSlotFile::rtfRoundTrip()
{
    QFETCH(QString, text);
    const QByteArray rtf = SlotFile::encodeRtf(text, QFont(QStringLiteral("DejaVu Sans"), 11));
    // Pure ASCII, so any reader can take it in any code page.
    for (const char c : rtf)
        QVERIFY(static_cast<unsigned char>(c) < 0x80);
    const std::optional<QString> back = SlotFile::decodeRtf(rtf);
    QVERIFY(back.has_value());
    QCOMPARE(*back, text);
}

void TestSlotFile::rtfCarriesFont()
{
    QFont font(QStringLiteral("Liberation Mono"), 13);
    font.setBold(true);
    font.setItalic(true);
    const QByteArray rtf = SlotFile::encodeRtf(QStringLiteral("x"), font);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    QVERIFY(rtf.contains("{\\fonttbl{\\f0\\fnil Liberation Mono;}}"));
    QVERIFY(rtf.contains("\\fs26"));
    QVERIFY(rtf.contains("\\b"));
    QVERIFY(rtf.contains("\\i"));
    QVERIFY(!SlotFile::encodeRtf(QStringLiteral("x"), QFont(QStringLiteral("Liberation Mono"), 9))
                 .contains("\\b"));
    // A font name cannot end its table entry early.
    const QByteArray odd =
        SlotFile::encodeRtf(QStringLiteral("y"), QFont(QStringLiteral("A;B{C}")));
    QVERIFY(odd.contains("\\fnil A B\\{C\\};}}"));
    QCOMPARE(SlotFile::decodeRtf(odd), QStringLiteral("y"));
}

void TestSlotFile::rtfReader_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tables skipped")
        << bytes("{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times;}}{\\colortbl;\\red0\\green0\\blue0;}"
                 "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}\\pard Body\\par}")
        << QStringLiteral("Body\n");
    QTest::newRow("star destinations")
        << bytes("{\\rtf1{\\*\\generator Gen;}{\\*\\unknown {x}y}a{\\*\\bkmkstart b}b}")
        << QStringLiteral("ab");
    QTest::newRow("header footer pict")
        << bytes("{\\rtf1{\\header H}{\\footer F}{\\pict\\pngblip 89504e47}x{\\footerr R}}")
        << QStringLiteral("x");
    QTest::newRow("hex in 1252") << bytes("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80\\'93}")
                                 << QStringLiteral(u"café €“");
    QTest::newRow("hex in unknown code page is Latin-1")
        << bytes("{\\rtf1\\ansi\\ansicpg1251 \\'e9\\'80}") << QStringLiteral(u"é\u0080");
    QTest::newRow("\\uN default skip")
        << bytes("{\\rtf1 \\u233?\\u8364\\'80x}") << QStringLiteral(u"é€x");
    QTest::newRow("\\uc2") << bytes("{\\rtf1\\uc2 \\u26085\\'93\\'fa!}") << QStringLiteral(u"日!");
    QTest::newRow("\\uc0") << bytes("{\\rtf1\\uc0 \\u233 x}") << QStringLiteral(u"éx");
    QTest::newRow("\\uc scoped to group")
        << bytes("{\\rtf1{\\uc0 \\u233}\\u233?y}") << QStringLiteral(u"ééy");
    QTest::newRow("negative \\u and pair")
        << bytes("{\\rtf1 \\u-4064?\\u-10179?\\u-8704?}") << QStringLiteral(u"\uF020😀");
    QTest::newRow("skip stops at brace")
        << bytes("{\\rtf1\\uc3 {\\u233}ab}") << QStringLiteral(u"éab");
    QTest::newRow("symbols") << bytes("{\\rtf1 a\\~b\\-c\\_d\\{\\}\\\\}")
                             << QStringLiteral(u"a\u00A0b\u00ADc\u2011d{}\\");
    QTest::newRow("breaks and tabs")
        << bytes("{\\rtf1 a\\par b\\line c\\tab d\r\n\\par\n}") << QStringLiteral("a\nb\nc\td\n");
    QTest::newRow("backslash newline is par") << bytes("{\\rtf1 a\\\nb}") << QStringLiteral("a\nb");
    QTest::newRow("control word delimiter space")
        << bytes("{\\rtf1\\b bold\\b0  two}") << QStringLiteral("bold two");
    QTest::newRow("named characters")
        << bytes("{\\rtf1 \\ldblquote q\\rdblquote \\emdash\\bullet}") << QStringLiteral(u"“q”—•");
    QTest::newRow("field result kept")
        << bytes("{\\rtf1{\\field{\\fldinst HYPERLINK \"u\"}{\\fldrslt link}}}")
        << QStringLiteral("link");
    QTest::newRow("upr takes the Unicode half")
        << bytes("{\\rtf1{\\upr{ansi}{\\*\\ud{\\u233?}}}z}") << QStringLiteral(u"éz");
    QTest::newRow("bin skipped") << bytes("{\\rtf1 a{\\*\\x\\bin3 }}}}b}") << QStringLiteral("ab");
    QTest::newRow("bin data in text skipped")
        << bytes("{\\rtf1 a\\bin2 {}b}") << QStringLiteral("ab");
    QTest::newRow("page break between lines")
        << bytes("{\\rtf1 a\\page b\\par\\page c}") << QStringLiteral("a\nb\nc");
    QTest::newRow("table cells") << bytes("{\\rtf1 a\\cell b\\cell\\row}")
                                 << QStringLiteral("a\tb\t\n");
    QTest::newRow("raw 8-bit text") << bytes("{\\rtf1\\ansi caf\xE9}") << QStringLiteral(u"café");
    QTest::newRow("truncated document")
        << bytes("{\\rtf1 abc\\par de") << QStringLiteral("abc\nde");
    QTest::newRow("text after the document") << bytes("{\\rtf1 a}b") << QStringLiteral("a");
}

void TestSlotFile::rtfReader()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    const std::optional<QString> text = SlotFile::decodeRtf(rtf);
    QVERIFY(text.has_value());
    QCOMPARE(*text, expected);
}

void TestSlotFile::rtfFromLibreOffice_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    const QString text =
        QStringLiteral(u"Café crème\tà la carte\nЗдравствуй мир\n日本語テキスト 😀\n"
                       u"{braces} and \\backslash\n\nLast line");
    QTest::newRow("text") << QStringLiteral("txt") << SlotFile::encodePlain(text)
                          << QStringLiteral("Text (encoded):UTF8,CRLF,,,") << text;
    QTest::newRow("html")
        << QStringLiteral("html")
        << QByteArray("<html><head><meta charset=\"utf-8\"></head><body><p>Ligne un<br>ligne deux "
                      "\xE2\x80\x94 \xE2\x80\x9Cquotes\xE2\x80\x9D</p><p>\xCE\x95\xCE\xBB\xCE\xBB "
                      "&amp; \xC3\x9Cn\xC3\xAF &lt;x&gt;</p></body></html>")
        << QStringLiteral("HTML (StarWriter)")
        << QStringLiteral(u"Ligne un\nligne deux — “quotes”\nΕλλ & Ünï <x>");
}

void TestSlotFile::rtfFromLibreOffice()
{
    QFETCH(QString, suffix);
    QFETCH(QByteArray, source);
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice, package libreoffice-writer-nogui) is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString input = dir.filePath(QStringLiteral("doc.") + suffix);
    TestSupport::writeBytes(input, source);
    const QString error =
        runTool(soffice, {QStringLiteral("-env:UserInstallation=file://") +
                              dir.filePath(QStringLiteral("profile")),
                          QStringLiteral("--headless"), QStringLiteral("--infilter=") + filter,
                          QStringLiteral("--convert-to"), QStringLiteral("rtf"),
                          QStringLiteral("--outdir"), dir.filePath(QStringLiteral("out")), input});
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QString output = dir.filePath(QStringLiteral("out/doc.rtf"));
    QVERIFY(QFile::exists(output));
    // Through the file layer, as a slot reads it: the name selects RTF.
    QCOMPARE(withoutFinalBreak(SlotFile::readText(output)), expected);
}

void TestSlotFile::rtfFromPandoc()
{
    const QString pandoc = QStandardPaths::findExecutable(QStringLiteral("pandoc"));
    if (pandoc.isEmpty())
        QSKIP("pandoc is not installed");
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("doc.RTF"));
    const QByteArray markdown =
        QStringLiteral(u"Café crème\n\nЗдравствуй мир 日本語 😀 𝄞\n\n"
                       u"\\{braces\\} and \\\\backslash\n\nline one  \nline two\n")
            .toUtf8();
    const QString error =
        runTool(pandoc,
                {QStringLiteral("-f"), QStringLiteral("markdown"), QStringLiteral("-t"),
                 QStringLiteral("rtf"), QStringLiteral("-s"), QStringLiteral("-o"), output},
                markdown);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(withoutFinalBreak(SlotFile::readText(output)),
             QStringLiteral(u"Café crème\nЗдравствуй мир 日本語 😀 𝄞\n{braces} and "
                            u"\\backslash\nline one\nline two"));
}

CLIPSTOW_TEST_GUILESS_MAIN(TestSlotFile)
#include "tst_slotfile.moc"
