#include "base/AppError.h"
#include "core/slotfile/SlotFile.h"
#include "core/slotfile/SlotFileWriter.h"
#include "platform/Autostart.h"
#include "platform/SoundOutput.h"
#include "settings/RegTools.h"
#include "settings/RegistryStore.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The Windows back ends on the real registry and file system (run under
// Wine by scripts/run-windows-tests.sh): what reg.exe sees of the settings
// and the Run key, and slot files with names beyond the ANSI code page.
class TestWindows final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void storeKeepsTypesAndBytes_data();
    void storeKeepsTypesAndBytes();
    void storeKeys();
    void settingsValues();
    void runKey();
    void slotFilesWithWideNames();
    void writeLockExcludesSecondWriter();
    void stoppedSoundPlaysNothing();

private:
    RegistryStore m_store{RegistryStore::defaultFilePath()};
};

namespace {

const QString TestKey = QStringLiteral("Software\\ClipstowTest");
const QString ProgramKey = QStringLiteral("SOFTWARE\\Orvane\\Clipstow");

// What reg.exe prints for a value ("" when it finds none).
QString regQuery(const QString& key, const QString& value)
{
    QProcess reg;
    reg.start(QStringLiteral("reg.exe"),
              {QStringLiteral("query"), key, QStringLiteral("/v"), value});
    if (!reg.waitForFinished(30000) || reg.exitCode() != 0)
        return QString();
    for (const QString& line : QString::fromLocal8Bit(reg.readAllStandardOutput()).split('\n'))
        if (line.trimmed().startsWith(value, Qt::CaseInsensitive))
            return line.trimmed().simplified();
    return QString();
}

QByteArray fileBytes(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

void TestWindows::init()
{
    m_store.deleteKey(RegRoot::CurrentUser, TestKey);
    m_store.deleteKey(RegRoot::LocalMachine, ProgramKey);
}

void TestWindows::cleanup()
{
    init();
}

void TestWindows::storeKeepsTypesAndBytes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("regLine");
    QTest::newRow("string") << int(RegType::Sz)
                            << RegValue::encodeString(QStringLiteral("C:\\Temp"))
                            << QStringLiteral("Value REG_SZ C:\\Temp");
    // (reg.exe prints in the console's code page: not compared.)
    QTest::newRow("beyond ANSI") << int(RegType::Sz)
                                 << RegValue::encodeString(QStringLiteral("тест-中文-€"))
                                 << QString();
    QTest::newRow("empty string") << int(RegType::Sz) << RegValue::encodeString(QString())
                                  << QStringLiteral("Value REG_SZ");
    QTest::newRow("expandable") << int(RegType::ExpandSz)
                                << RegValue::encodeString(QStringLiteral("%WINDIR%"))
                                << QStringLiteral("Value REG_EXPAND_SZ %WINDIR%");
    QTest::newRow("dword") << int(RegType::Dword) << RegValue::encodeDword(0xFF000008)
                           << QStringLiteral("Value REG_DWORD 0xff000008");
    QTest::newRow("binary") << int(RegType::Binary) << QByteArray("\x01\x00\xfe", 3)
                            << QStringLiteral("Value REG_BINARY 0100FE");
}

void TestWindows::storeKeepsTypesAndBytes()
{
    QFETCH(int, type);
    QFETCH(QByteArray, data);
    QFETCH(QString, regLine);
    std::optional<RegKey> key = m_store.openKey(RegRoot::CurrentUser, TestKey, true);
    QVERIFY(key);
    QVERIFY(key->setValue(QStringLiteral("Value"), RegType(type), data));
    // Names compare without case, as the registry's do.
    const std::optional<RegValue> read = key->value(QStringLiteral("VALUE"));
    QVERIFY(read);
    QCOMPARE(int(read->type), type);
    QCOMPARE(read->data, data);
    if (!regLine.isEmpty())
        QCOMPARE(regQuery(QStringLiteral("HKCU\\") + TestKey, QStringLiteral("Value")), regLine);
}

void TestWindows::storeKeys()
{
    QVERIFY(!m_store.openKey(RegRoot::CurrentUser, TestKey, false));
    QVERIFY(!m_store.keyExists(RegRoot::CurrentUser, TestKey));
    for (const char* name : {"b", "A", "c\\deep"})
        QVERIFY(m_store.openKey(RegRoot::CurrentUser, TestKey + '\\' + QLatin1String(name), true));
    std::optional<RegKey> key = m_store.openKey(RegRoot::CurrentUser, TestKey, false);
    QVERIFY(key);
    QCOMPARE(key->subKeyNames(), (QStringList{"A", "b", "c"}));
    QVERIFY(key->setValue(QStringLiteral("z"), RegType::Dword, RegValue::encodeDword(1)));
    QVERIFY(key->setValue(QStringLiteral("Y"), RegType::Sz, RegValue::encodeString("y")));
    QCOMPARE(key->values().size(), 2);
    QCOMPARE(key->values().first().name, QStringLiteral("Y"));
    QVERIFY(key->deleteValue(QStringLiteral("z")));
    QVERIFY(!key->deleteValue(QStringLiteral("z")));
    QVERIFY(!key->hasValue(QStringLiteral("z")));
    // A key goes with all below it; a parent left empty goes too.
    QVERIFY(m_store.deleteKeyAndEmptyParents(RegRoot::CurrentUser, TestKey + "\\c\\deep"));
    QVERIFY(!m_store.keyExists(RegRoot::CurrentUser, TestKey + "\\c"));
    QVERIFY(m_store.deleteKey(RegRoot::CurrentUser, TestKey));
    QVERIFY(!m_store.keyExists(RegRoot::CurrentUser, TestKey));
    QVERIFY(!m_store.deleteKey(RegRoot::CurrentUser, TestKey));
}

// The settings live in the machine's program key, where reg.exe finds them.
void TestWindows::settingsValues()
{
    QCOMPARE(RegTools::readInt(m_store, ProgramKey, QStringLiteral("DateStyle"), 1), 1);
    QVERIFY(!m_store.keyExists(RegRoot::LocalMachine, ProgramKey));
    RegTools::writeInt(m_store, ProgramKey, QStringLiteral("DateStyle"), 2);
    RegTools::writeBool(m_store, ProgramKey, QStringLiteral("AutoOff"), true);
    RegTools::writeString(m_store, ProgramKey + "\\Editor", QStringLiteral("Editor"), QString());
    QCOMPARE(RegTools::readInt(m_store, ProgramKey, QStringLiteral("DateStyle"), 1), 2);
    QCOMPARE(RegTools::readString(m_store, ProgramKey + "\\Editor", QStringLiteral("Editor"),
                                  QStringLiteral("Notepad.exe")),
             QString());
    QCOMPARE(regQuery(QStringLiteral("HKLM\\") + ProgramKey, QStringLiteral("DateStyle")),
             QStringLiteral("DateStyle REG_DWORD 0x2"));
    QCOMPARE(regQuery(QStringLiteral("HKLM\\") + ProgramKey, QStringLiteral("AutoOff")),
             QStringLiteral("AutoOff REG_DWORD 0x1"));
    // A value of another type is an error, not its default.
    QVERIFY_THROWS_EXCEPTION(
        AppError,
        RegTools::readString(m_store, ProgramKey, QStringLiteral("DateStyle"), QString()));
}

void TestWindows::runKey()
{
    const QString runKey =
        QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    const std::unique_ptr<Autostart> autostart = createSystemAutostart();
    autostart->remove();
    QVERIFY(!autostart->exists());
    autostart->updateProgramPath(QStringLiteral("C:/Elsewhere/clipstow.exe"));
    QVERIFY(!autostart->exists());
    autostart->write(QStringLiteral("C:/Program Files/Clipstow/clipstow.exe"));
    QVERIFY(autostart->exists());
    QCOMPARE(regQuery(runKey, QStringLiteral("Clipstow")),
             QStringLiteral("Clipstow REG_SZ C:\\Program Files\\Clipstow\\clipstow.exe"));
    autostart->updateProgramPath(QStringLiteral("D:/Moved/clipstow.exe"));
    QCOMPARE(regQuery(runKey, QStringLiteral("Clipstow")),
             QStringLiteral("Clipstow REG_SZ D:\\Moved\\clipstow.exe"));
    QVERIFY(autostart->remove());
    QVERIFY(!autostart->exists());
    QVERIFY(!autostart->remove());
    QCOMPARE(regQuery(runKey, QStringLiteral("Clipstow")), QString());
}

void TestWindows::slotFilesWithWideNames()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("Zwischenablage-тест-中文.txt"));
    SlotFile::writeAtomically(name, "first\r\n");
    QCOMPARE(fileBytes(name), QByteArray("first\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(name).fileName()});
    // A capture appends; its reader finds only what was added, and a
    // whole write replaces the file in place.
    SlotFileWriter writer(name);
    QCOMPARE(writer.read(), QStringLiteral("first\n"));
    writer.write(QStringLiteral("first\nsecond\n"), QFont(), 6, SlotFileWriter::Purpose::Capture);
    QCOMPARE(fileBytes(name), QByteArray("first\r\nsecond\r\n"));
    {
        QFile other(name);
        QVERIFY(other.open(QIODevice::Append));
        other.write("third\r\n");
    }
    QCOMPARE(writer.readAdded(), std::optional<QString>(QStringLiteral("third\n")));
    writer.write(QStringLiteral("all new\n"), QFont());
    QCOMPARE(fileBytes(name), QByteArray("all new\r\n"));
    // A read-only file stays as it is.
    QVERIFY(QFile::setPermissions(name, QFile::ReadOwner));
    QVERIFY_THROWS_EXCEPTION(AppError, SlotFile::writeAtomically(name, "gone"));
    QCOMPARE(fileBytes(name), QByteArray("all new\r\n"));
    QVERIFY(QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner));
}

void TestWindows::writeLockExcludesSecondWriter()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("slot.txt"));
    {
        const SlotFile::WriteLock first(name);
        QVERIFY2(first.held(), qPrintable(first.problem()));
        // The same file under another spelling of its name.
        const SlotFile::WriteLock second(QDir::toNativeSeparators(name).toUpper());
        QVERIFY(!second.held());
        QVERIFY(!second.problem().isEmpty());
    }
    const SlotFile::WriteLock again(name);
    QVERIFY(again.held());
}

static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

void TestWindows::stoppedSoundPlaysNothing()
{
    initResources();
    const std::unique_ptr<SoundOutput> output = createSystemSoundOutput();
    QFile chime(QStringLiteral(":/CHIMES_WAV"));
    QVERIFY(chime.open(QIODevice::ReadOnly));
    const QByteArray image = chime.readAll();
    QVERIFY(!image.isEmpty());
    output->stop();
    QVERIFY(!output->playWaveData(image));
    QVERIFY(!output->playWaveFile(QStringLiteral("C:\\Windows\\Media\\chord.wav")));
}

CLIPSTOW_TEST_MAIN(TestWindows)

#include "tst_windows.moc"
