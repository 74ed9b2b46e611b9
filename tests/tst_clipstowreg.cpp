#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"
#include "support/Files.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

const QString notFound =
    QStringLiteral("ERROR: The system was unable to find the specified registry key or value.\n");
const QString done = QStringLiteral("The operation completed successfully.\n");
const QString key = QStringLiteral("HKLM\\SOFTWARE\\Orvane\\Clipstow");

} // namespace

class TestClipstowReg final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::ScopedRegistry> m_registry;
    std::unique_ptr<QTemporaryDir> m_files;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CLIPSTOW_REGISTRY"), m_registry->filePath());
        return env;
    }

    Run reg(const QStringList& args, const QByteArray& input = QByteArray())
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(TestSupport::builtProgram(QStringLiteral("clipstow-reg")), args);
        if (!process.waitForStarted())
            qFatal("clipstow-reg does not start");
        process.write(input);
        process.closeWriteChannel();
        process.waitForFinished(30000);
        return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                   QString::fromUtf8(process.readAllStandardOutput()),
                   QString::fromUtf8(process.readAllStandardError())};
    }

    void mustSucceed(const QStringList& args)
    {
        const Run run = reg(args);
        if (run.exitCode != 0 || run.out != done)
            qFatal("clipstow-reg %s: %s", qPrintable(args.join(' ')), qPrintable(run.err));
    }

    // Read back through the store itself, not through the tool.
    std::optional<RegValue> stored(const QString& path, const QString& name)
    {
        RegistryStore store(m_registry->filePath());
        const auto open = store.openKey(RegRoot::LocalMachine, path, false);
        return open ? open->value(name) : std::nullopt;
    }

    QString file(const QString& name) const { return m_files->filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes)
    {
        TestSupport::writeBytes(file(name), bytes);
    }

private Q_SLOTS:
    void init()
    {
        m_registry = std::make_unique<TestSupport::ScopedRegistry>();
        m_files = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        m_registry.reset();
        m_files.reset();
    }

    void addThenQueryOneValue()
    {
        mustSucceed({"add", key, "/v", "DateStyle", "/t", "REG_DWORD", "/d", "2", "/f"});
        const Run run = reg({"query", key, "/v", "DateStyle"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Clipstow\n"
                                         "    DateStyle    REG_DWORD    0x2\n\n"));
        QCOMPARE(run.err, QString());
        QCOMPARE(stored(QStringLiteral("software\\orvane\\clipstow"), "datestyle")->data,
                 RegValue::encodeDword(2));
    }

    void queryShowsEveryType()
    {
        mustSucceed({"add", key, "/ve", "/d", "def", "/f"});
        mustSucceed({"add", key, "/v", "Name", "/d", "Courier New", "/f"});
        mustSucceed({"add", key, "/v", "Empty", "/f"});
        mustSucceed({"add", key, "/v", "Exp", "/t", "REG_EXPAND_SZ", "/d", "%HOME%\\x", "/f"});
        mustSucceed({"add", key, "/v", "Bin", "/t", "REG_BINARY", "/d", "0aFF1", "/f"});
        mustSucceed({"add", key, "/v", "Multi", "/t", "REG_MULTI_SZ", "/d", "a\\0b c\\0", "/f"});
        mustSucceed({"add", key, "/v", "Sep", "/t", "REG_MULTI_SZ", "/s", "#", "/d", "x#y", "/f"});
        mustSucceed({"add", key, "/v", "Q", "/t", "REG_QWORD", "/d", "0x123456789A", "/f"});
        mustSucceed({"add", key + "\\Font", "/f"});
        mustSucceed({"add", key + "\\Editor", "/v", "Editor", "/d", "vi", "/f"});
        const Run run = reg({"query", "hklm\\software\\orvane\\clipstow"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("\n"
                                         "HKEY_LOCAL_MACHINE\\software\\orvane\\clipstow\n"
                                         "    (Default)    REG_SZ    def\n"
                                         "    Bin    REG_BINARY    00AFF1\n"
                                         "    Empty    REG_SZ    \n"
                                         "    Exp    REG_EXPAND_SZ    %HOME%\\x\n"
                                         "    Multi    REG_MULTI_SZ    a\\0b c\n"
                                         "    Name    REG_SZ    Courier New\n"
                                         "    Q    REG_QWORD    0x123456789a\n"
                                         "    Sep    REG_MULTI_SZ    x\\0y\n"
                                         "\n"
                                         "HKEY_LOCAL_MACHINE\\software\\orvane\\clipstow\\Editor\n"
                                         "HKEY_LOCAL_MACHINE\\software\\orvane\\clipstow\\Font\n"));
        QCOMPARE(stored(QStringLiteral("SOFTWARE\\Orvane\\Clipstow"), "Multi")->data,
                 RegValue::encodeMultiString({"a", "b c"}));

        const Run deep = reg({"query", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane", "/s"});
        QCOMPARE(deep.exitCode, 0);
        QVERIFY2(deep.out.startsWith("\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\n\n"
                                     "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Clipstow\n"
                                     "    (Default)    REG_SZ    def\n"),
                 qPrintable(deep.out));
        QVERIFY(deep.out.endsWith("\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Clipstow\\Editor\n"
                                  "    Editor    REG_SZ    vi\n\n"
                                  "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Clipstow\\Font\n\n"));

        const Run search = reg({"query", "HKLM\\SOFTWARE", "/v", "editor", "/s"});
        QCOMPARE(search.out,
                 QStringLiteral("\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Clipstow\\Editor\n"
                                "    Editor    REG_SZ    vi\n\n"
                                "End of search: 1 match(es) found.\n"));
    }

    void queryFailures()
    {
        // Before Clipstow's first start its keys are missing, and the user
        // learns why; another program's key is merely not found.
        for (const QString& missing :
             {key, key + "\\Font", QStringLiteral("HKCU\\Software\\Orvane\\CLIPSTOW")}) {
            const Run before = reg({"query", missing});
            QCOMPARE(before.exitCode, 1);
            QVERIFY2(before.err.startsWith(notFound + "Clipstow has stored nothing yet: "),
                     qPrintable(before.err));
        }
        QCOMPARE(reg({"query", "HKLM\\SOFTWARE\\Orvane\\Other"}).err, notFound);
        QVERIFY(!QFile::exists(m_registry->filePath()));
        mustSucceed({"add", key, "/f"});
        QCOMPARE(reg({"query", key + "\\Font"}).err, notFound);
        const Run missing = reg({"query", key, "/v", "Nope"});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err, notFound);
        const Run unset = reg({"query", key, "/ve"});
        QCOMPARE(unset.exitCode, 0);
        QCOMPARE(unset.out, QStringLiteral("\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Clipstow\n"
                                           "    (Default)    REG_SZ    (value not set)\n\n"));
        for (const QStringList& args :
             {QStringList{"query", "HKCR\\x"}, QStringList{"query", key, "/v"},
              QStringList{"query", key, "/v", "a", "/ve"}, QStringList{"query"},
              QStringList{"frobnicate", key}, QStringList{"query", key, "extra"}}) {
            const Run run = reg(args);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.startsWith("ERROR: ") && run.err.count('\n') == 1,
                     qPrintable(run.err));
            QCOMPARE(run.out, QString());
        }
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("value"); // -1: refused
        QTest::newRow("decimal") << "REG_DWORD"
                                 << "10" << qint64(10);
        QTest::newRow("hex") << "REG_DWORD"
                             << "0x1F" << qint64(31);
        QTest::newRow("largest") << "REG_DWORD"
                                 << "4294967295" << qint64(0xffffffff);
        QTest::newRow("too large") << "REG_DWORD"
                                   << "4294967296" << qint64(-1);
        QTest::newRow("negative") << "REG_DWORD"
                                  << "-1" << qint64(-1);
        QTest::newRow("word") << "REG_DWORD"
                              << "two" << qint64(-1);
        QTest::newRow("bare 0x") << "REG_DWORD"
                                 << "0x" << qint64(-1);
        QTest::newRow("empty") << "REG_DWORD"
                               << "" << qint64(-1);
        QTest::newRow("qword") << "REG_QWORD"
                               << "0x100000000" << qint64(0x100000000);
        QTest::newRow("bad binary") << "REG_BINARY"
                                    << "0g" << qint64(-1);
        QTest::newRow("empty item") << "REG_MULTI_SZ"
                                    << "a\\0\\0b" << qint64(-1);
        QTest::newRow("unknown type") << "REG_LINK"
                                      << "1" << qint64(-1);
    }

    void numbers()
    {
        QFETCH(QString, type);
        QFETCH(QString, text);
        QFETCH(qint64, value);
        const Run run = reg({"add", key, "/v", "N", "/t", type, "/d", text, "/f"});
        if (value < 0) {
            QCOMPARE(run.exitCode, 1);
            QVERIFY(run.err.startsWith("ERROR: "));
            // Refused data changes nothing: not even the file is made.
            QVERIFY(!QFileInfo::exists(m_registry->filePath()));
            return;
        }
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(
            RegValue::decodeQword(stored(QStringLiteral("SOFTWARE\\Orvane\\Clipstow"), "N")->data),
            quint64(value));
    }

    void overwriteAsks()
    {
        mustSucceed({"add", key, "/v", "V", "/d", "old"});
        for (const QByteArray& answer : {QByteArray("n\n"), QByteArray("maybe\n"), QByteArray()}) {
            const Run run = reg({"add", key, "/v", "v", "/d", "new"}, answer);
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(run.out, QStringLiteral("Value v exists, overwrite(Yes/No)? "
                                             "The operation was canceled by the user.\n"));
            QCOMPARE(RegValue::decodeString(stored(key.mid(5), "V")->data), QStringLiteral("old"));
        }
        const Run yes = reg({"add", key, "/v", "v", "/d", "new"}, "Yes\n");
        QCOMPARE(yes.exitCode, 0);
        QVERIFY(yes.out.endsWith(done));
        QCOMPARE(RegValue::decodeString(stored(key.mid(5), "V")->data), QStringLiteral("new"));
        // A new value is written without a question.
        QCOMPARE(reg({"add", key, "/v", "Other", "/d", "x"}).out, done);
    }

    void deleteAsksAndDeletes()
    {
        mustSucceed({"add", key + "\\Font", "/v", "Name", "/d", "x", "/f"});
        mustSucceed({"add", key, "/v", "A", "/d", "1", "/f"});
        mustSucceed({"add", key, "/v", "B", "/d", "2", "/f"});
        mustSucceed({"add", key, "/ve", "/d", "3", "/f"});

        Run run = reg({"delete", key, "/v", "a"}, "n\n");
        QCOMPARE(run.out, QStringLiteral("Delete the registry value a (Yes/No)? "
                                         "The operation was canceled by the user.\n"));
        QVERIFY(stored(key.mid(5), "A"));
        run = reg({"delete", key, "/v", "a"}, "y\n");
        QCOMPARE(run.exitCode, 0);
        QVERIFY(!stored(key.mid(5), "A"));
        run = reg({"delete", key, "/v", "a", "/f"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, notFound);

        QCOMPARE(reg({"delete", key, "/ve", "/f"}).out, done);
        QVERIFY(!stored(key.mid(5), QString()));
        QVERIFY(stored(key.mid(5), "B"));
        QCOMPARE(reg({"delete", key, "/va", "/f"}).out, done);
        QVERIFY(!stored(key.mid(5), "B"));
        QVERIFY(stored(key.mid(5) + "\\Font", "Name")); // subkeys keep theirs

        run = reg({"delete", "HKLM\\SOFTWARE\\Orvane"}, "no\n");
        QCOMPARE(run.out, QStringLiteral("Permanently delete the registry key "
                                         "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane (Yes/No)? "
                                         "The operation was canceled by the user.\n"));
        QVERIFY(stored(key.mid(5) + "\\Font", "Name"));
        QCOMPARE(reg({"delete", "HKLM\\SOFTWARE\\Orvane", "/f"}).out, done);
        QVERIFY(!stored(key.mid(5) + "\\Font", "Name"));
        QVERIFY(RegistryStore(m_registry->filePath()).keyExists(RegRoot::LocalMachine, "SOFTWARE"));
        QCOMPARE(reg({"delete", "HKLM\\SOFTWARE\\Orvane", "/f"}).exitCode, 1);
        QCOMPARE(reg({"delete", "HKLM", "/f"}).exitCode, 1);
    }

    void exportWritesRegistryScript()
    {
        mustSucceed({"add", key, "/v", "DateStyle", "/t", "REG_DWORD", "/d", "2", "/f"});
        mustSucceed({"add", key, "/v", "Path", "/d", "C:\\a \"b\"", "/f"});
        mustSucceed({"add", key + "\\Font", "/v", "Name", "/d", "Mono", "/f"});
        const QString target = file(QStringLiteral("out.reg"));
        const Run run = reg({"export", key, target});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, done);
        QFile out(target);
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QByteArray bytes = out.readAll();
        const QString expected =
            QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Clipstow]\r\n"
                           "\"DateStyle\"=dword:00000002\r\n"
                           "\"Path\"=\"C:\\\\a \\\"b\\\"\"\r\n\r\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Clipstow\\Font]\r\n"
                           "\"Name\"=\"Mono\"\r\n\r\n");
        QVERIFY(bytes.startsWith("\xff\xfe"));
        QCOMPARE(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                    (bytes.size() - 2) / 2),
                 expected);

        // An existing file is replaced only after a yes, or with /y.
        QCOMPARE(reg({"export", key, target}, "n\n").out,
                 QStringLiteral("File %1 already exists. Overwrite (Yes/No)? The operation was "
                                "canceled by the user.\n")
                     .arg(target));
        mustSucceed({"add", key, "/v", "New", "/d", "x", "/f"});
        QCOMPARE(reg({"export", key, target, "/y"}).exitCode, 0);
        out.close();
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(out.readAll().size() > bytes.size());
        QCOMPARE(reg({"export", "HKLM\\Nope", file("x.reg")}).exitCode, 1);
        QVERIFY(!QFileInfo::exists(file("x.reg")));
    }

    void exportImportRoundTrip()
    {
        mustSucceed({"add", key, "/v", "Q", "/t", "REG_QWORD", "/d", "5", "/f"});
        mustSucceed({"add", key, "/v", "M", "/t", "REG_MULTI_SZ", "/d", "x\\0y", "/f"});
        mustSucceed({"add", key, "/v", "E", "/t", "REG_EXPAND_SZ", "/d", "%A%", "/f"});
        mustSucceed({"add", key, "/v", "B", "/t", "REG_BINARY", "/d", QString(200, 'a'), "/f"});
        mustSucceed({"add", key, "/ve", "/d", "line", "/f"});
        mustSucceed({"add", key + "\\Empty\\Deeper", "/f"});
        const QString before = reg({"query", key, "/s"}).out;
        mustSucceed({"export", key, file("a.reg")});
        mustSucceed({"delete", key, "/f"});
        QCOMPARE(reg({"query", key}).exitCode, 1);
        mustSucceed({"import", file("a.reg")});
        QCOMPARE(reg({"query", key, "/s"}).out, before);
    }

    void importAcceptsUtf8()
    {
        writeFile("u.reg", "Windows Registry Editor Version 5.00\n\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Clipstow]\n"
                           "\"Filename1\"=\"Caf\xc3\xa9.txt\"\n"
                           "\"Gone\"=-\n"
                           "\"DateStyle\"=dword:00000003\n\n"
                           "[-HKEY_CURRENT_USER\\Old]\n");
        mustSucceed({"add", key, "/v", "Gone", "/d", "x", "/f"});
        mustSucceed({"add", "HKCU\\Old\\Sub", "/f"});
        mustSucceed({"import", file("u.reg")});
        QCOMPARE(RegValue::decodeString(stored(key.mid(5), "Filename1")->data),
                 QStringLiteral("Café.txt"));
        QCOMPARE(RegValue::decodeDword(stored(key.mid(5), "DateStyle")->data), 3u);
        QVERIFY(!stored(key.mid(5), "Gone"));
        QVERIFY(!RegistryStore(m_registry->filePath()).keyExists(RegRoot::CurrentUser, "Old"));
    }

    void malformedImportChangesNothing()
    {
        mustSucceed({"add", key, "/v", "DateStyle", "/t", "REG_DWORD", "/d", "1", "/f"});
        writeFile("bad.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane]\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
                             "\"A\"=dword:00000001\r\n"
                             "\"B\"=dword:nope\r\n");
        const QString before = reg({"query", "HKLM\\SOFTWARE", "/s"}).out;
        const Run run = reg({"import", file("bad.reg")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith("ERROR: ") && run.err.contains("line 7") &&
                     run.err.count('\n') == 1,
                 qPrintable(run.err));
        QCOMPARE(reg({"query", "HKLM\\SOFTWARE", "/s"}).out, before);

        writeFile("empty.reg", QByteArray());
        const Run empty = reg({"import", file("empty.reg")});
        QCOMPARE(empty.exitCode, 1);
        QVERIFY2(empty.err.contains(": line 1: "), qPrintable(empty.err));
        writeFile("old.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Old]\r\n\"N\"=\"\xe9\"\r\n");
        mustSucceed({"import", file("old.reg")});
        QCOMPARE(reg({"query", "HKCU\\Old", "/v", "N"}).out,
                 QStringLiteral("\nHKEY_CURRENT_USER\\Old\n    N    REG_SZ    \u00e9\n\n"));

        const Run missing = reg({"import", file("none.reg")});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.startsWith("ERROR: "));
    }

    // import /dev/zero read without end and a FIFO blocked: only regular
    // files of at most 64 MB are read.
    void importReadsRegularFilesOnly_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("endless device") << "/dev/zero"
                                        << "not a regular file";
        QTest::newRow("fifo") << "fifo"
                              << "not a regular file";
        QTest::newRow("folder") << "folder"
                                << "not a regular file";
        QTest::newRow("over 64 MB") << "large"
                                    << "larger than 64 MB";
    }

    void importReadsRegularFilesOnly()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QString path = kind;
        if (kind == QLatin1String("fifo")) {
            path = file("pipe.reg");
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("folder")) {
            path = m_files->path();
        } else if (kind == QLatin1String("large")) {
            // A valid script padded with comment lines past the limit.
            path = file("large.reg");
            QFile large(path);
            QVERIFY(large.open(QIODevice::WriteOnly));
            large.write("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Big]\r\n");
            const QByteArray comments = QByteArray(1023, ';') + '\n';
            for (int i = 0; i < 64 * 1024 + 1; ++i)
                large.write(comments);
        }
        const Run run = reg({"import", path});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith("ERROR: Error opening the file ") && run.err.contains(reason),
                 qPrintable(run.err));
        QVERIFY(!RegistryStore(m_registry->filePath()).keyExists(RegRoot::CurrentUser, "Big"));
    }

    // Keys nested 6,000 deep grew the store to hundreds of megabytes: key
    // names keep the registry's limits of 255 characters and 512 levels.
    void keyLimits_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("accepted");
        const QString level = QStringLiteral("k\\");
        QTest::newRow("255 characters") << QString(255, 'n') << true;
        QTest::newRow("256 characters") << QString(256, 'n') << false;
        QTest::newRow("512 levels") << level.repeated(511) + "k" << true;
        QTest::newRow("513 levels") << level.repeated(512) + "k" << false;
        QTest::newRow("6000 levels") << level.repeated(5999) + "k" << false;
    }

    void keyLimits()
    {
        QFETCH(QString, path);
        QFETCH(bool, accepted);
        const Run added = reg({"add", "HKCU\\" + path, "/v", "V", "/d", "x", "/f"});
        QCOMPARE(added.exitCode, accepted ? 0 : 1);
        if (accepted)
            mustSucceed({"delete", "HKCU\\" + path.section('\\', 0, 0), "/f"});
        else
            QCOMPARE(added.err, QStringLiteral("ERROR: Invalid key name.\n"));

        writeFile("deep.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                              "[HKEY_CURRENT_USER\\Before]\r\n\r\n[HKEY_CURRENT_USER\\" +
                                  path.toUtf8() + "]\r\n\"V\"=\"x\"\r\n");
        const Run imported = reg({"import", file("deep.reg")});
        QCOMPARE(imported.exitCode, accepted ? 0 : 1);
        RegistryStore store(m_registry->filePath());
        QCOMPARE(store.keyExists(RegRoot::CurrentUser, path), accepted);
        QCOMPARE(store.keyExists(RegRoot::CurrentUser, "Before"), accepted);
        if (!accepted) {
            QVERIFY2(imported.err.contains("line 5: a key"), qPrintable(imported.err));
            QVERIFY(imported.err.size() < 400); // without the whole hostile name
        }
    }

    // --help and -h were refused, a bare call showed a double blank, and
    // nothing listed the values a user may set.
    void helpAndBareCall_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("/?") << QStringList{"/?"};
        QTest::newRow("--help") << QStringList{"--help"};
        QTest::newRow("-h") << QStringList{"-h"};
        QTest::newRow("after the operation") << QStringList{"query", "-H"};
    }

    void helpAndBareCall()
    {
        QFETCH(QStringList, args);
        const Run help = reg(args);
        QCOMPARE(help.exitCode, 0);
        QCOMPARE(help.err, QString());
        QCOMPARE(help.out, reg({"/?"}).out);
        QVERIFY(help.out.startsWith("clipstow-reg OPERATION [parameters]\n"));
        QCOMPARE(reg({"--version"}).out,
                 QStringLiteral("clipstow-reg (Clipstow 3, version " CLIPSTOW_VERSION
                                ", built " CLIPSTOW_BUILD_DATE ")\n"));
        const Run bare = reg({});
        QCOMPARE(bare.exitCode, 1);
        QCOMPARE(bare.err, QStringLiteral("ERROR: Invalid syntax. Type \"clipstow-reg /?\" for "
                                          "usage.\n"));
        // As data, -h is data.
        mustSucceed({"add", key, "/v", "-h", "/d", "-h", "/f"});
        QCOMPARE(RegValue::decodeString(stored(key.mid(5), "-h")->data), QStringLiteral("-h"));
    }

    // Every value declared in the layout, and every value of the font
    // record as it is written, is in the list with its type and default.
    void helpListsEveryDeclaredValue()
    {
        QFile header(QStringLiteral(CLIPSTOW_SOURCE_DIR "/src/settings/RegistryLayout.h"));
        QVERIFY(header.open(QIODevice::ReadOnly));
        const QString source = QString::fromUtf8(header.readAll());
        QStringList declared;
        // constexpr StrSetting Filename1{ProgramKey, "Filename1", "Default1.txt", ...
        const QRegularExpression declaration(
            QStringLiteral("constexpr (?:Str|Int|Bool)Setting \\w+\\{\\s*\\w+,\\s*\"(\\w+)\","
                           "\\s*(\"[^\"]*\"|\\w+)"));
        for (const auto& match : declaration.globalMatch(source))
            declared.append(match.captured(1) + "  REG_" +
                            (match.captured(2).startsWith('"') ? "SZ" : "DWORD"));
        QVERIFY2(declared.size() >= 23, qPrintable(declared.join(',')));

        m_registry->settings().setEditorFont(FontRecord{});
        for (const RegValue& value :
             m_registry->store().openKey(RegRoot::LocalMachine, Layout::FontKey, false)->values())
            declared.append(value.name + "  " + RegistryStore::typeName(value.type));
        const QString help = reg({"--help"}).out;
        for (const QString& entry : declared)
            QVERIFY2(help.contains("\n  " + entry + "  default: "), qPrintable(entry));
        QVERIFY(help.contains("\n  Filename1  REG_SZ  default: \"Default1.txt\"\n"));
        QVERIFY(help.contains("\n  DateStyle  REG_DWORD  default: 1\n      stamp line"));
        for (const QString& line : help.split('\n'))
            QVERIFY2(line.size() <= 90, qPrintable(line));
    }

    void concurrentWritersLoseNothing()
    {
        // Two real processes, each adding 200 values one command at a time.
        const QString program = TestSupport::builtProgram(QStringLiteral("clipstow-reg"));
        const QString loop = QStringLiteral(
            "i=0; while [ $i -lt 200 ]; do \"$0\" add 'HKCU\\Race' /v \"$1$i\" /t REG_DWORD "
            "/d $i /f >/dev/null || exit 1; i=$((i+1)); done");
        QProcess first;
        QProcess second;
        for (auto [process, prefix] : {std::pair{&first, "a"}, std::pair{&second, "b"}}) {
            process->setProcessEnvironment(environment());
            process->start(QStringLiteral("/bin/sh"), {"-c", loop, program, prefix});
        }
        QVERIFY(first.waitForFinished(240000));
        QVERIFY(second.waitForFinished(240000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.readAllStandardError(), QByteArray());
        QCOMPARE(second.readAllStandardError(), QByteArray());
        RegistryStore store(m_registry->filePath());
        const QList<RegValue> values =
            store.openKey(RegRoot::CurrentUser, QStringLiteral("Race"), false)->values();
        QCOMPARE(values.size(), 400);
        for (const char* prefix : {"a", "b"}) {
            for (int i = 0; i < 200; i += 37) {
                const auto value = store.openKey(RegRoot::CurrentUser, "Race", false)
                                       ->value(QLatin1String(prefix) + QString::number(i));
                QVERIFY(value);
                QCOMPARE(RegValue::decodeDword(value->data), quint32(i));
            }
        }
    }

    void corruptStoreIsMovedAside()
    {
        QByteArray garbage;
        for (int i = 0; i < 3000; ++i)
            garbage.append(char(i * 7 + 3));
        TestSupport::writeBytes(m_registry->filePath(), garbage);
        const Run run = reg({"add", key, "/v", "DateStyle", "/t", "REG_DWORD", "/d", "2", "/f"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, done);
        QVERIFY2(run.err.startsWith("Warning: the registry file ") && run.err.contains("moved to"),
                 qPrintable(run.err));
        const QFileInfo info(m_registry->filePath());
        const QStringList aside =
            info.dir().entryList({info.fileName() + QStringLiteral(".unusable-*")});
        QCOMPARE(aside.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("\\.unusable-\\d{8}-\\d{6}$"))
                    .match(aside[0])
                    .hasMatch());
        QFile moved(info.dir().filePath(aside[0]));
        QVERIFY(moved.open(QIODevice::ReadOnly));
        QCOMPARE(moved.readAll(), garbage);
        QCOMPARE(reg({"query", key, "/v", "DateStyle"}).exitCode, 0);
        QCOMPARE(reg({"query", key, "/v", "DateStyle"}).err, QString());
    }

    void storeFileIsPrivate()
    {
        mustSucceed({"add", key, "/f"});
        QCOMPARE(QFileInfo(m_registry->filePath()).permissions() &
                     ~(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                       QFileDevice::WriteUser),
                 QFileDevice::Permissions());
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestClipstowReg)
#include "tst_clipstowreg.moc"
