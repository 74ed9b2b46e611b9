// The settings store functions over a real registry file.
#include "base/AppError.h"
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"
#include "support/Files.h"
#include "support/ForeignLock.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QPalette>
#include <QtTest>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using TestSupport::errorOf;

namespace {
const QString ProgramKey = QString::fromLatin1(Layout::ProgramKey);
const QString FontKey = QString::fromLatin1(Layout::FontKey);

void setRaw(RegistryStore& store, const QString& key, const QString& name, RegType type,
            const QByteArray& data)
{
    auto opened = store.openKey(RegRoot::LocalMachine, key, true);
    QVERIFY(opened);
    QVERIFY(opened->setValue(name, type, data));
}
} // namespace

// Runs the process as an ordinary user while it lives when it runs as
// root, for whom no file is read-only.
class OrdinaryUser final
{
public:
    OrdinaryUser() : m_wasRoot(::geteuid() == 0)
    {
        if (m_wasRoot && ::setegid(65534) != 0)
            qFatal("setegid");
        if (m_wasRoot && ::seteuid(65534) != 0)
            qFatal("seteuid");
    }
    ~OrdinaryUser()
    {
        if (m_wasRoot && (::seteuid(0) != 0 || ::setegid(0) != 0))
            qFatal("cannot return to root");
    }

private:
    bool m_wasRoot;
};

class TestRegTools final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_registry = std::make_unique<TestSupport::ScopedRegistry>(); }
    void cleanup() { m_registry.reset(); }

    void missingKeyGivesDefaultAndCreatesNothing()
    {
        QCOMPARE(m_registry->settings().dateStyle(), 1);
        QCOMPARE(RegTools::readString(m_registry->store(), ProgramKey, "Editor", "dflt"),
                 QString("dflt"));
        QCOMPARE(RegTools::readBool(m_registry->store(), ProgramKey, "Auto", true), true);
        QVERIFY(!RegTools::valueExists(m_registry->store(), ProgramKey, "DateStyle"));
        QVERIFY(!RegTools::deleteValue(m_registry->store(), ProgramKey, "DateStyle"));
        QVERIFY(!QFileInfo::exists(m_registry->filePath()));
    }

    void writeCreatesMissingParents()
    {
        RegTools::writeInt(m_registry->store(), ProgramKey, "DateStyle", 2);
        auto& store = m_registry->store();
        QVERIFY(store.keyExists(RegRoot::LocalMachine, "SOFTWARE\\Orvane"));
        QVERIFY(store.keyExists(RegRoot::LocalMachine, ProgramKey));
        QVERIFY(!store.keyExists(RegRoot::CurrentUser, ProgramKey));
        QCOMPARE(RegTools::readInt(m_registry->store(), ProgramKey, "datestyle", 1), 2);
    }

    void stringsReadAsStored()
    {
        RegTools::writeString(m_registry->store(), QString::fromLatin1(Layout::EditorKey), "Editor",
                              QString());
        QCOMPARE(m_registry->settings().editor().value_or(QString()), QString());
        // An existing empty value is not a missing one.
        QCOMPARE(m_registry->settings().editor(), std::optional<QString>(QString()));

        setRaw(m_registry->store(), ProgramKey, "Expand", RegType::ExpandSz,
               RegValue::encodeString("%HOME%\\x"));
        QCOMPARE(RegTools::readString(m_registry->store(), ProgramKey, "Expand", "d"),
                 QString("%HOME%\\x"));

        QByteArray withZero = RegValue::encodeString(QString("ab") + QChar(0) + "cd");
        setRaw(m_registry->store(), ProgramKey, "Zero", RegType::Sz, withZero);
        QCOMPARE(RegTools::readString(m_registry->store(), ProgramKey, "Zero", "d"), QString("ab"));

        RegTools::writeString(m_registry->store(), ProgramKey, "Unicode",
                              QString::fromUtf8("Grüße \u65e5\u672c"));
        QCOMPARE(RegTools::readString(m_registry->store(), ProgramKey, "Unicode", ""),
                 QString::fromUtf8("Grüße \u65e5\u672c"));
    }

    void wrongTypeRaisesInvalidDataType()
    {
        RegTools::writeInt(m_registry->store(), ProgramKey, "DateStyle", 2);
        QCOMPARE(errorOf([this] {
                     RegTools::readString(m_registry->store(), ProgramKey, "DateStyle", "1");
                 }),
                 QString("Invalid data type for 'DateStyle'"));
        RegTools::writeString(m_registry->store(), ProgramKey, "AutoOn", "R");
        QCOMPARE(errorOf([this] {
                     RegTools::readBool(m_registry->store(), ProgramKey, "AutoOn", true);
                 }),
                 QString("Invalid data type for 'AutoOn'"));
        setRaw(m_registry->store(), ProgramKey, "Blob", RegType::Binary, QByteArray("\x01\x02", 2));
        QCOMPARE(
            errorOf([this] { RegTools::readString(m_registry->store(), ProgramKey, "Blob", ""); }),
            QString("Invalid data type for 'Blob'"));
        setRaw(m_registry->store(), ProgramKey, "Short", RegType::Dword, QByteArray("\x01", 1));
        QCOMPARE(
            errorOf([this] { RegTools::readInt(m_registry->store(), ProgramKey, "Short", 0); }),
            QString("Failed to get data for 'Short'"));
        // A write replaces a value whatever its old type.
        RegTools::writeString(m_registry->store(), ProgramKey, "DateStyle", "x");
        QCOMPARE(RegTools::readString(m_registry->store(), ProgramKey, "DateStyle", ""),
                 QString("x"));
    }

    void boolsAndIntegers()
    {
        RegTools::writeInt(m_registry->store(), ProgramKey, "Flag", 7);
        QCOMPARE(RegTools::readBool(m_registry->store(), ProgramKey, "Flag", false), true);
        RegTools::writeBool(m_registry->store(), ProgramKey, "Flag", false);
        QCOMPARE(RegTools::readInt(m_registry->store(), ProgramKey, "Flag", 5), 0);
        RegTools::writeInt(m_registry->store(), ProgramKey, "Negative", -16777208);
        QCOMPARE(RegTools::readInt(m_registry->store(), ProgramKey, "Negative", 0), -16777208);
        QVERIFY(RegTools::valueExists(m_registry->store(), ProgramKey, "flag"));
        QVERIFY(RegTools::deleteValue(m_registry->store(), ProgramKey, "FLAG"));
        QVERIFY(!RegTools::deleteValue(m_registry->store(), ProgramKey, "Flag"));
    }

    void fontStyleText_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("flags"); // bold, italic, underline, strike-out
        QTest::newRow("single B") << "B"
                                  << "1000";
        QTest::newRow("empty") << ""
                               << "0000";
        QTest::newRow("italic strike") << "0I0S"
                                       << "0101";
        QTest::newRow("five ones") << "11111"
                                   << "1111";
        QTest::newRow("any letter counts") << "0X00"
                                           << "0100";
        QTest::newRow("beyond four ignored") << "0000B"
                                             << "0000";
    }

    void fontStyleText()
    {
        QFETCH(QString, style);
        QFETCH(QString, flags);
        RegTools::writeString(m_registry->store(), FontKey, "Style", style);
        FontRecord record;
        record.font.setBold(true);
        record.font.setUnderline(true);
        record = m_registry->settings().editorFont(record);
        const QString got = QString("%1%2%3%4")
                                .arg(int(record.font.bold()))
                                .arg(int(record.font.italic()))
                                .arg(int(record.font.underline()))
                                .arg(int(record.font.strikeOut()));
        QCOMPARE(got, flags);
    }

    void fontRecordWithOnlyNameMakesPlain()
    {
        FontRecord record;
        record.font = QFont("Sans", 13);
        record.font.setBold(true);
        record.font.setItalic(true);
        record.color = 0x00123456;
        record.charSet = 204;
        RegTools::writeString(m_registry->store(), FontKey, "Name", "Serif");
        record = m_registry->settings().editorFont(record);
        QCOMPARE(record.font.family(), QString("Serif"));
        QVERIFY(!record.font.bold() && !record.font.italic());
        QCOMPARE(record.font.pointSize(), 13);
        QCOMPARE(record.color, 0x00123456);
        QCOMPARE(record.charSet, 204);
    }

    void fontRecordRoundTrip()
    {
        FontRecord written;
        written.font = QFont("Monospace", 8);
        written.font.setBold(true);
        written.font.setItalic(true);
        written.color = FontRecord::encodeColor(QColor(0x11, 0x22, 0x33));
        written.pitch = 2;
        m_registry->settings().setEditorFont(written);
        QCOMPARE(RegTools::readString(m_registry->store(), FontKey, "Style", ""), QString("BI00"));
        QCOMPARE(RegTools::readInt(m_registry->store(), FontKey, "Height", 0), -11);
        QCOMPARE(RegTools::readInt(m_registry->store(), FontKey, "Color", 0), 0x00332211);
        FontRecord read;
        read = m_registry->settings().editorFont(read);
        QCOMPARE(read.font.family(), QString("Monospace"));
        QCOMPARE(read.font.pointSize(), 8);
        QVERIFY(read.font.bold() && read.font.italic() && !read.font.underline());
        QCOMPARE(read.resolvedColor(QPalette()), QColor(0x11, 0x22, 0x33));
        QCOMPARE(read.pitch, 2);
        QVERIFY(read.font.fixedPitch());
    }

    void systemColourFollowsTheme()
    {
        FontRecord record;
        QCOMPARE(record.color, std::int32_t(0xFF000008u));
        QPalette palette;
        palette.setColor(QPalette::WindowText, QColor(1, 2, 3));
        QCOMPARE(record.resolvedColor(palette), QColor(1, 2, 3));
    }

    // A value that cannot be read is reported once and its default used,
    // until it reads well again; a write says what changed.
    void unreadableValueReportedOnce()
    {
        Settings& settings = m_registry->settings();
        QStringList reported;
        settings.setReport([&reported](const AppError& failure) { reported << failure.message(); });
        QList<Settings::Value> changed;
        connect(&settings, &Settings::changed, this,
                [&changed](Settings::Value value) { changed << value; });
        RegTools::writeString(m_registry->store(), ProgramKey, "DateStyle", "2");
        for (int i = 0; i < 3; ++i)
            QCOMPARE(settings.dateStyle(), 1);
        QCOMPARE(reported, QStringList{"Invalid data type for 'DateStyle'"});
        QVERIFY(changed.isEmpty());
        QVERIFY(settings.setDateStyle(2));
        QCOMPARE(changed, QList<Settings::Value>{Settings::Value::DateStyle});
        QCOMPARE(settings.dateStyle(), 2);
        RegTools::writeString(m_registry->store(), ProgramKey, "DateStyle", "2");
        QCOMPARE(settings.dateStyle(), 1);
        QCOMPARE(reported.size(), 2);
    }

    // The stored texts of both start choices, decoded as start-up and the
    // Preferences dialog see them: any other text is Remember for "AutoOn"
    // but hidden for "AShowRemote"; a choice written is stored as 1, 0, R.
    void startupChoices_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<int>("autoChoice");
        QTest::addColumn<bool>("autoOn");
        QTest::addColumn<int>("remoteChoice");
        QTest::addColumn<bool>("showRemote");
        const int remember = int(StartChoice::Remember), on = int(StartChoice::AlwaysOn),
                  off = int(StartChoice::AlwaysOff);
        QTest::newRow("1") << "1" << false << on << true << on << true;
        QTest::newRow("0") << "0" << true << off << false << off << false;
        QTest::newRow("R true") << "R" << true << remember << true << remember << true;
        QTest::newRow("R false") << "R" << false << remember << false << remember << false;
        QTest::newRow("other true") << "yes" << true << remember << true << off << false;
        QTest::newRow("lower r") << "r" << true << remember << true << off << false;
    }

    void startupChoices()
    {
        QFETCH(QString, choice);
        QFETCH(bool, remembered);
        QFETCH(int, autoChoice);
        QFETCH(bool, autoOn);
        QFETCH(int, remoteChoice);
        QFETCH(bool, showRemote);
        Settings& settings = m_registry->settings();
        RegTools::writeString(m_registry->store(), ProgramKey, "AutoOn", choice);
        RegTools::writeString(m_registry->store(), ProgramKey, "AShowRemote", choice);
        settings.setAutoWasOn(remembered);
        settings.setRemoteWasShown(remembered);
        QCOMPARE(int(settings.autoAtStart()), autoChoice);
        QCOMPARE(settings.autoModeAtStart(), autoOn);
        QCOMPARE(int(settings.remoteAtStart()), remoteChoice);
        QCOMPARE(settings.remoteShownAtStart(), showRemote);
        settings.setAutoAtStart(settings.autoAtStart());
        settings.setRemoteAtStart(settings.remoteAtStart());
        const QString texts = QStringLiteral("R10");
        QCOMPARE(RegTools::readString(m_registry->store(), ProgramKey, "AutoOn", QString()),
                 texts.at(autoChoice));
        QCOMPARE(RegTools::readString(m_registry->store(), ProgramKey, "AShowRemote", QString()),
                 texts.at(remoteChoice));
    }

    void activeFile()
    {
        for (const auto& [stored, slot] : {std::pair{7, 1}, {0, 1}, {2, 2}, {3, 3}}) {
            RegTools::writeInt(m_registry->store(), ProgramKey, "ActiveFile", stored);
            QCOMPARE(m_registry->settings().activeSlot(), slot);
        }
        QCOMPARE(m_registry->settings().slotFileName(3), QString("Default3.txt"));
    }

    // A locked registry stalled start-up 10 s and exit 150 s, then lost the
    // settings without a word: after one time-out the batch skips the store
    // (here even once the lock is gone), and the user is told once.
    void lockedStoreIsSkippedAfterOneTimeOut_data()
    {
        QTest::addColumn<bool>("readersToo");
        QTest::newRow("writer's lock") << false;
        QTest::newRow("lock that keeps readers out") << true;
    }

    void lockedStoreIsSkippedAfterOneTimeOut()
    {
        QFETCH(bool, readersToo);
        m_registry->settings().setSlotFileName(1, QStringLiteral("mine.txt"));
        QCOMPARE(RegTools::takeNotSavedMessage(m_registry->store()), QString());
        m_registry->reopen(); // the lock comes first, as before a start
        TestSupport::ForeignLock lock(m_registry->filePath(), readersToo);
        QVERIFY(lock.ok());
        {
            const Settings::Batch startup(m_registry->settings());
            // A writer's lock does not keep out readers.
            QCOMPARE(m_registry->settings().slotFileName(1),
                     readersToo ? QStringLiteral("Default1.txt") : QStringLiteral("mine.txt"));
            m_registry->settings().setProgramPath(QStringLiteral("/usr/bin/clipstow"));
            QVERIFY(m_registry->store().isUnavailable());
            lock.release();
            m_registry->settings().setSlotFileName(2, QStringLiteral("two.txt"));
            QCOMPARE(m_registry->settings().slotFileName(1),
                     readersToo ? QStringLiteral("Default1.txt") : QStringLiteral("mine.txt"));
        }
        const QString message = RegTools::takeNotSavedMessage(m_registry->store());
        QVERIFY2(message.startsWith(QStringLiteral("The settings could not be saved: the registry "
                                                   "file ")) &&
                     message.endsWith(QStringLiteral(" is in use by another program.")),
                 qPrintable(message));
        QCOMPARE(RegTools::takeNotSavedMessage(m_registry->store()), QString()); // once
        QVERIFY(!TestSupport::isStored(m_registry->store(), Layout::Path));
        QVERIFY(!TestSupport::isStored(m_registry->store(), Layout::Filename2));

        // The next batch tries again. After reads that gave defaults the
        // store refuses writes that would replace the stored values.
        {
            const Settings::Batch shutdown(m_registry->settings());
            m_registry->settings().setSlotFileName(1, QStringLiteral("Default1.txt"));
        }
        QCOMPARE(m_registry->settings().slotFileName(1),
                 readersToo ? QStringLiteral("mine.txt") : QStringLiteral("Default1.txt"));
        QCOMPARE(RegTools::takeNotSavedMessage(m_registry->store()),
                 QString()); // still the same stretch, or saved
    }

    // A registry the user may read but not write was ignored: the program
    // ran on defaults. It is read, said once to be unsaveable, and kept.
    void readOnlyStoreIsReadAndKept_data()
    {
        QTest::addColumn<bool>("folderWritable");
        QTest::newRow("read-only folder and file") << false;
        QTest::newRow("read-only file") << true;
    }

    void readOnlyStoreIsReadAndKept()
    {
        QFETCH(bool, folderWritable);
        m_registry->settings().setSlotFileName(1, QStringLiteral("mine.txt"));
        m_registry->reopen(); // closing folds the journal into the file
        const QString file = m_registry->filePath();
        const QString folder = QFileInfo(file).absolutePath();
        QVERIFY(!QFileInfo::exists(file + QStringLiteral("-wal")));
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0444) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), folderWritable ? 0777 : 0555) == 0);
        const QByteArray before = TestSupport::fileBytes(file);
        {
            OrdinaryUser user;
            QCOMPARE(m_registry->settings().slotFileName(1), QStringLiteral("mine.txt"));
            m_registry->settings().setSlotFileName(1, QStringLiteral("other.txt")); // no error box
            m_registry->settings().setDateStyle(2);
            QCOMPARE(RegTools::takeNotSavedMessage(m_registry->store()),
                     QStringLiteral("The settings could not be saved: the registry file %1 may "
                                    "be read but not written.")
                         .arg(file));
            QCOMPARE(RegTools::takeNotSavedMessage(m_registry->store()), QString());
            QCOMPARE(m_registry->settings().slotFileName(1), QStringLiteral("mine.txt"));
            QCOMPARE(m_registry->settings().dateStyle(), 1);
            m_registry->reopen();
        }
        ::chmod(QFile::encodeName(folder).constData(), 0700);
        QCOMPARE(TestSupport::fileBytes(file), before);
        QCOMPARE(QDir(folder).entryList({"*.unusable-*"}), QStringList());
    }

private:
    std::unique_ptr<TestSupport::ScopedRegistry> m_registry;
};

CLIPSTOW_TEST_GUILESS_MAIN(TestRegTools)
#include "tst_regtools.moc"
