#include "settings/RegFile.h"
#include "support/TestMain.h"

#include <QTemporaryDir>
#include <QTest>

using RegFile::Entry;

namespace {

QString script(const QString& body)
{
    return QString::fromLatin1(RegFile::header) + QStringLiteral("\r\n\r\n") + body;
}

} // namespace

class TestRegFile final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valueLines_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("line");
        QTest::newRow("string with escapes")
            << "Path" << int(RegType::Sz) << RegValue::encodeString(QStringLiteral("C:\\a \"b\""))
            << QStringLiteral("\"Path\"=\"C:\\\\a \\\"b\\\"\"");
        QTest::newRow("default value")
            << "" << int(RegType::Sz) << RegValue::encodeString("x") << QStringLiteral("@=\"x\"");
        QTest::newRow("quote in name")
            << "a\"b" << int(RegType::Dword) << RegValue::encodeDword(0x1f)
            << QStringLiteral("\"a\\\"b\"=dword:0000001f");
        QTest::newRow("binary") << "B" << int(RegType::Binary) << QByteArray("\x0a\xff", 2)
                                << QStringLiteral("\"B\"=hex:0a,ff");
        QTest::newRow("empty binary")
            << "B" << int(RegType::Binary) << QByteArray() << QStringLiteral("\"B\"=hex:");
        QTest::newRow("expand") << "E" << int(RegType::ExpandSz) << RegValue::encodeString("%A%")
                                << QStringLiteral("\"E\"=hex(2):25,00,41,00,25,00,00,00");
        QTest::newRow("qword") << "Q" << int(RegType::Qword) << RegValue::encodeQword(0x1234)
                               << QStringLiteral("\"Q\"=hex(b):34,12,00,00,00,00,00,00");
        // Text that would not read back as the same bytes goes as hex(1).
        QTest::newRow("line break in string")
            << "S" << int(RegType::Sz) << RegValue::encodeString("a\nb")
            << QStringLiteral("\"S\"=hex(1):61,00,0a,00,62,00,00,00");
        QTest::newRow("odd dword") << "D" << int(RegType::Dword) << QByteArray("\x01", 1)
                                   << QStringLiteral("\"D\"=hex(4):01");
        QByteArray long44;
        for (int i = 0; i < 44; ++i)
            long44.append(char(i));
        QTest::newRow("wrapped")
            << "Long" << int(RegType::Binary) << long44
            << QStringLiteral("\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,"
                              "11,12,13,14,15,\\\r\n  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,"
                              "24,25,26,27,28,29,2a,2b");
    }

    void valueLines()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(QByteArray, data);
        QFETCH(QString, line);
        const RegValue value{name, RegType(type), data};
        QCOMPARE(RegFile::valueLine(value), line);
        // Every line written reads back as the same value.
        const QList<Entry> entries =
            RegFile::parse(script(QStringLiteral("[HKEY_CURRENT_USER\\K]\r\n") + line + "\r\n"));
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[1].kind, Entry::Kind::SetValue);
        QCOMPARE(entries[1].name, name);
        QCOMPARE(int(entries[1].type), type);
        QCOMPARE(entries[1].data, data);
    }

    void wrappedLinesStayNarrow()
    {
        const QString text =
            RegFile::valueLine({QStringLiteral("V"), RegType::Binary, QByteArray(300, '\x55')});
        for (const QString& line : text.split(QStringLiteral("\r\n")))
            QVERIFY2(line.size() <= 80, qPrintable(line));
    }

    void parsesSectionsAndDeletions()
    {
        const QList<Entry> entries = RegFile::parse(script("; a comment\n"
                                                           "[-HKCU\\Old]\n"
                                                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]   \n"
                                                           "  \"x\" = dword:FFFFFFFF\n"
                                                           "\"gone\"=-\n"
                                                           "@=\"\"\n"
                                                           "\"h\"=hex:01,02,\\\n"
                                                           "   03 ; comment\n"));
        QCOMPARE(entries.size(), 6);
        QCOMPARE(entries[0].kind, Entry::Kind::DeleteKey);
        QCOMPARE(entries[0].root, RegRoot::CurrentUser);
        QCOMPARE(entries[0].path, QStringLiteral("Old"));
        QCOMPARE(entries[1].kind, Entry::Kind::CreateKey);
        QCOMPARE(entries[1].path, QStringLiteral("SOFTWARE\\A"));
        QCOMPARE(entries[2].data, RegValue::encodeDword(0xffffffffu));
        QCOMPARE(entries[3].kind, Entry::Kind::DeleteValue);
        QCOMPARE(entries[3].name, QStringLiteral("gone"));
        QCOMPARE(entries[4].name, QString());
        QCOMPARE(entries[4].data, RegValue::encodeString(QString()));
        QCOMPARE(entries[5].data, QByteArray("\x01\x02\x03"));
    }

    void decodesBothEncodings()
    {
        const QString text = script(QStringLiteral("[HKCU\\Ä]\r\n\"n\"=\"é\"\r\n"));
        QCOMPARE(RegFile::decodeBytes(RegFile::encodeBytes(text)), text);
        QVERIFY(RegFile::encodeBytes(text).startsWith("\xff\xfe"));
        QCOMPARE(RegFile::decodeBytes(text.toUtf8()), text);
        QCOMPARE(RegFile::decodeBytes("\xef\xbb\xbf" + text.toUtf8()), text);
    }

    // REGEDIT4 scripts were refused: their text is 8-bit, and so are the
    // bytes of their hex string data.
    void readsTheOlderFormat()
    {
        const QByteArray bytes = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Caf\xe9]\r\n"
                                 "\"Name\"=\"\x80 5\"\r\n"
                                 "\"Exp\"=hex(2):25,41,25,e9,00\r\n"
                                 "\"Multi\"=hex(7):61,00,62,00,00\r\n"
                                 "\"Bin\"=hex:e9,00\r\n";
        const QList<Entry> entries = RegFile::parse(RegFile::decodeBytes(bytes));
        QCOMPARE(entries.size(), 5);
        QCOMPARE(entries[0].path, QStringLiteral("Caf\u00e9"));
        QCOMPARE(entries[1].data, RegValue::encodeString(QStringLiteral("\u20ac 5")));
        QCOMPARE(entries[2].data, RegValue::encodeString(QStringLiteral("%A%\u00e9")));
        QCOMPARE(entries[3].data, RegValue::encodeMultiString({"a", "b"}));
        QCOMPARE(entries[4].data, QByteArray("\xe9\0", 2)); // binary stays as it is
        // Such a script saved as UTF-8 reads the same.
        QCOMPARE(RegFile::decodeBytes(RegFile::decodeBytes(bytes).toUtf8()),
                 RegFile::decodeBytes(bytes));
    }

    void malformedScripts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::newRow("no header") << QStringLiteral("[HKCU\\A]\n") << 1;
        // An empty file was reported on line 2.
        QTest::newRow("empty file") << QString() << 1;
        QTest::newRow("blank lines only") << QStringLiteral("\r\n\r\n") << 1;
        QTest::newRow("header late") << QStringLiteral("\n[HKCU\\A]\nREGEDIT4\n") << 2;
        QTest::newRow("unknown root") << script("[HKEY_USERS\\A]\n") << 3;
        QTest::newRow("value outside key") << script("\"a\"=\"b\"\n") << 3;
        QTest::newRow("value after deleted key") << script("[-HKCU\\A]\n\"a\"=\"b\"\n") << 4;
        QTest::newRow("bad dword") << script("[HKCU\\A]\n\"a\"=dword:12345678 9\n") << 4;
        QTest::newRow("long dword") << script("[HKCU\\A]\n\"a\"=dword:123456789\n") << 4;
        QTest::newRow("bad byte") << script("[HKCU\\A]\n\"a\"=hex:01,zz\n") << 4;
        QTest::newRow("wide byte") << script("[HKCU\\A]\n\"a\"=hex:123\n") << 4;
        QTest::newRow("unclosed string") << script("[HKCU\\A]\n\"a\"=\"b\n") << 4;
        QTest::newRow("unknown escape") << script("[HKCU\\A]\n\"a\"=\"\\q\"\n") << 4;
        QTest::newRow("text after string") << script("[HKCU\\A]\n\"a\"=\"b\" c\n") << 4;
        QTest::newRow("no equals") << script("[HKCU\\A]\n\"a\" \"b\"\n") << 4;
        QTest::newRow("unknown data") << script("[HKCU\\A]\n\"a\"=word:1\n") << 4;
        QTest::newRow("ends in continuation") << script("[HKCU\\A]\n\"a\"=hex:01,\\\n") << 5;
        QTest::newRow("stray text") << script("[HKCU\\A]\nhello\n") << 4;
        QTest::newRow("unterminated key") << script("[HKCU\\A\n") << 3;
        QTest::newRow("empty key name") << script("[HKCU\\A\\\\B]\n") << 3;
        QTest::newRow("delete root") << script("[-HKCU]\n") << 3;
    }

    void malformedScripts()
    {
        QFETCH(QString, text);
        QFETCH(int, line);
        try {
            RegFile::parse(text);
            QFAIL("parsed");
        } catch (const RegFile::ParseError& error) {
            QCOMPARE(error.line(), line);
        }
    }

    void applyIsAllOrNothing()
    {
        QTemporaryDir dir;
        RegistryStore store(dir.filePath(QStringLiteral("r.sqlite3")));
        store.openKey(RegRoot::CurrentUser, QStringLiteral("Keep"), true)
            ->setValue(QStringLiteral("v"), RegType::Dword, RegValue::encodeDword(1));
        QList<Entry> entries = RegFile::parse(
            script("[-HKCU\\Keep]\n[HKCU\\New]\n\"a\"=\"b\"\n[HKCU\\Keep]\n\"v\"=dword:2\n"));
        // A step that cannot be done (no such key name) undoes the others.
        Entry bad;
        bad.kind = Entry::Kind::CreateKey;
        bad.root = RegRoot::CurrentUser;
        bad.path = QStringLiteral("A\\\\B");
        entries.append(bad);
        QVERIFY_THROWS_EXCEPTION(RegistryIoError, RegFile::apply(store, entries));
        QVERIFY(!store.keyExists(RegRoot::CurrentUser, QStringLiteral("New")));
        const auto keep = store.openKey(RegRoot::CurrentUser, QStringLiteral("Keep"), false);
        QVERIFY(keep);
        QCOMPARE(RegValue::decodeDword(keep->value(QStringLiteral("v"))->data), 1u);

        entries.removeLast();
        RegFile::apply(store, entries);
        QVERIFY(store.keyExists(RegRoot::CurrentUser, QStringLiteral("New")));
        QCOMPARE(RegValue::decodeDword(
                     store.openKey(RegRoot::CurrentUser, "Keep", false)->value("v")->data),
                 2u);
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestRegFile)
#include "tst_regfile.moc"
