#include "settings/RegistryStore.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestRegistryStore final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RegistryStore> m_store;

    QString storePath() const { return m_dir->filePath(QStringLiteral("sub/dir/reg.sqlite3")); }
    // The paths of the files the store moved aside as unusable.
    QStringList movedAside() const
    {
        const QDir folder = QFileInfo(storePath()).absoluteDir();
        QStringList paths;
        for (const QString& name : folder.entryList({QStringLiteral("reg.sqlite3.unusable-*")}))
            paths.append(folder.filePath(name));
        return paths;
    }
    RegKey create(const QString& path)
    {
        auto key = m_store->openKey(RegRoot::LocalMachine, path, true);
        if (!key)
            qFatal("cannot create %s", qPrintable(path));
        return *key;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_store = std::make_unique<RegistryStore>(storePath());
    }
    void cleanup()
    {
        m_store.reset();
        m_dir.reset();
    }

    void encodings()
    {
        QCOMPARE(RegValue::encodeString(QStringLiteral("Ab")), QByteArray("A\0b\0\0\0", 6));
        QCOMPARE(RegValue::decodeString(QByteArray("A\0b\0\0\0x\0", 8)), QStringLiteral("Ab"));
        QCOMPARE(RegValue::decodeString(QByteArray("A\0b", 3)), QStringLiteral("A"));
        const QStringList items{QStringLiteral("one"), QStringLiteral("two")};
        const QByteArray multi = RegValue::encodeMultiString(items);
        QCOMPARE(multi.size(), (4 + 4 + 1) * 2);
        QCOMPARE(RegValue::decodeMultiString(multi), items);
        QCOMPARE(RegValue::decodeMultiString(RegValue::encodeMultiString({})), QStringList());
        QCOMPARE(RegValue::encodeDword(0x01020304), QByteArray("\x04\x03\x02\x01", 4));
        QCOMPARE(RegValue::decodeDword(RegValue::encodeDword(0xfffffffeu)), 0xfffffffeu);
        QCOMPARE(RegValue::decodeQword(RegValue::encodeQword(0x1122334455667788ull)),
                 0x1122334455667788ull);
    }

    void rootAndTypeNames()
    {
        QCOMPARE(RegistryStore::parseRoot(QStringLiteral("hklm")), RegRoot::LocalMachine);
        QCOMPARE(RegistryStore::parseRoot(QStringLiteral("HKEY_Current_User")),
                 RegRoot::CurrentUser);
        QVERIFY(!RegistryStore::parseRoot(QStringLiteral("HKCR")));
        QCOMPARE(RegistryStore::parseType(QStringLiteral("reg_qword")), RegType::Qword);
        QCOMPARE(RegistryStore::typeName(RegType::MultiSz), QStringLiteral("REG_MULTI_SZ"));
        QVERIFY(!RegistryStore::parseType(QStringLiteral("REG_LINK")));
    }

    void readingNeverCreatesTheFile()
    {
        QVERIFY(!m_store->openKey(RegRoot::LocalMachine, QStringLiteral("A\\B"), false));
        QVERIFY(!m_store->keyExists(RegRoot::LocalMachine, QStringLiteral("A")));
        RegKey root = *m_store->openKey(RegRoot::LocalMachine, QString(), false);
        QVERIFY(!root.value(QStringLiteral("x")));
        QVERIFY(root.subKeyNames().isEmpty());
        QVERIFY(!root.deleteValue(QStringLiteral("x")));
        QVERIFY(!m_store->deleteKey(RegRoot::LocalMachine, QStringLiteral("A")));
        QVERIFY(!QFileInfo::exists(storePath()));
        QVERIFY(!QFileInfo::exists(QFileInfo(storePath()).absolutePath()));
    }

    void firstWriteCreatesPrivateFile()
    {
        RegKey key = create(QStringLiteral("SOFTWARE\\Orvane\\Clipstow"));
        QVERIFY(
            key.setValue(QStringLiteral("DateStyle"), RegType::Dword, RegValue::encodeDword(2)));
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(storePath()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        // Journal files carry the same permissions.
        int journals = 0;
        for (const char* suffix : {"-wal", "-shm", "-journal"}) {
            const QByteArray journal = QFile::encodeName(storePath()) + suffix;
            if (::stat(journal.constData(), &info) == 0) {
                QCOMPARE(info.st_mode & 0777, 0600u);
                ++journals;
            }
        }
        QVERIFY(journals > 0);
        QCOMPARE(
            ::stat(QFile::encodeName(QFileInfo(storePath()).absolutePath()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0700u);
        // A second store on the same file sees the value.
        RegistryStore other(storePath());
        auto value = other.openKey(RegRoot::LocalMachine,
                                   QStringLiteral("software\\orvane\\CLIPSTOW"), false);
        QVERIFY(value);
        QCOMPARE(RegValue::decodeDword(value->value(QStringLiteral("datestyle"))->data), 2u);
    }

    void parentsAreCreatedAndCaseIsKept()
    {
        RegKey key = create(QStringLiteral("Software\\Orvane\\Clipstow"));
        QCOMPARE(key.path(), QStringLiteral("Software\\Orvane\\Clipstow"));
        QVERIFY(m_store->keyExists(RegRoot::LocalMachine, QStringLiteral("SOFTWARE\\ORVANE")));
        QVERIFY(!m_store->keyExists(RegRoot::CurrentUser, QStringLiteral("Software")));
        // Opening in another case gives the created case, also for new children.
        RegKey child = create(QStringLiteral("SOFTWARE\\orvane\\CLIPSTOW\\Font"));
        QCOMPARE(child.path(), QStringLiteral("Software\\Orvane\\Clipstow\\Font"));
        QCOMPARE(m_store->openKey(RegRoot::LocalMachine, QStringLiteral("software"), false)->path(),
                 QStringLiteral("Software"));
        QCOMPARE(m_store->openKey(RegRoot::LocalMachine, QStringLiteral("software"), false)
                     ->subKeyNames(),
                 QStringList{QStringLiteral("Orvane")});
        // Surrounding backslashes are tolerated, empty names inside are not.
        QVERIFY(m_store->keyExists(RegRoot::LocalMachine, QStringLiteral("Software\\Orvane\\")));
        QVERIFY(!m_store->openKey(RegRoot::LocalMachine, QStringLiteral("A\\\\B"), true));
    }

    void valueNamesIgnoreCaseAndKeepIt()
    {
        RegKey key = create(QStringLiteral("K"));
        QVERIFY(key.setValue(QStringLiteral("FileName"), RegType::Sz,
                             RegValue::encodeString(QStringLiteral("a.txt"))));
        QVERIFY(key.setValue(QStringLiteral("FILENAME"), RegType::Sz,
                             RegValue::encodeString(QStringLiteral("b.txt"))));
        const QList<RegValue> values = key.values();
        QCOMPARE(values.size(), 1);
        QCOMPARE(values[0].name, QStringLiteral("FileName"));
        QCOMPARE(RegValue::decodeString(values[0].data), QStringLiteral("b.txt"));
        QVERIFY(key.hasValue(QStringLiteral("filename")));
        // Non-ASCII letters fold too.
        QVERIFY(key.setValue(QStringLiteral("Größe"), RegType::Dword, RegValue::encodeDword(1)));
        QVERIFY(key.hasValue(QStringLiteral("GRÖßE")));
    }

    void defaultValueIsTheEmptyName()
    {
        RegKey key = create(QStringLiteral("K"));
        QVERIFY(!key.hasValue(QString()));
        QVERIFY(key.setValue(QString(), RegType::Sz, RegValue::encodeString(QStringLiteral("d"))));
        QCOMPARE(RegValue::decodeString(key.value(QString())->data), QStringLiteral("d"));
        QCOMPARE(key.values().size(), 1);
        QVERIFY(!key.hasValue(QStringLiteral("x")));
        QVERIFY(key.deleteValue(QString()));
        QVERIFY(!key.hasValue(QString()));
    }

    void settingReplacesWhateverType()
    {
        RegKey key = create(QStringLiteral("K"));
        QVERIFY(key.setValue(QStringLiteral("v"), RegType::Sz, RegValue::encodeString("x")));
        QVERIFY(key.setValue(QStringLiteral("V"), RegType::Qword, RegValue::encodeQword(7)));
        const auto value = key.value(QStringLiteral("v"));
        QCOMPARE(value->type, RegType::Qword);
        QCOMPARE(value->data.size(), 8);
        QVERIFY(key.setValue(QStringLiteral("v"), RegType::Binary, QByteArray()));
        QCOMPARE(key.value(QStringLiteral("v"))->type, RegType::Binary);
        QVERIFY(key.value(QStringLiteral("v"))->data.isEmpty());
    }

    void deleteValueSaysWhetherItExisted()
    {
        RegKey key = create(QStringLiteral("K"));
        QVERIFY(!key.deleteValue(QStringLiteral("v")));
        key.setValue(QStringLiteral("v"), RegType::Dword, RegValue::encodeDword(1));
        QVERIFY(key.deleteValue(QStringLiteral("V")));
        QVERIFY(!key.deleteValue(QStringLiteral("v")));
    }

    void deleteKeyIsRecursiveAndExact()
    {
        create(QStringLiteral("A\\B\\C")).setValue("x", RegType::Dword, RegValue::encodeDword(1));
        create(QStringLiteral("A\\B2")).setValue("y", RegType::Dword, RegValue::encodeDword(1));
        create(QStringLiteral("AB\\D"));
        create(QStringLiteral("A\\B")).setValue("z", RegType::Dword, RegValue::encodeDword(1));
        QVERIFY(m_store->deleteKey(RegRoot::LocalMachine, QStringLiteral("a\\b")));
        QVERIFY(!m_store->keyExists(RegRoot::LocalMachine, QStringLiteral("A\\B")));
        QVERIFY(!m_store->keyExists(RegRoot::LocalMachine, QStringLiteral("A\\B\\C")));
        // Siblings sharing the name's beginning stay.
        QVERIFY(m_store->keyExists(RegRoot::LocalMachine, QStringLiteral("A\\B2")));
        QVERIFY(m_store->keyExists(RegRoot::LocalMachine, QStringLiteral("AB\\D")));
        QCOMPARE(create(QStringLiteral("A\\B2")).values().size(), 1);
        // Recreating the key does not bring old values back.
        QVERIFY(create(QStringLiteral("A\\B\\C")).values().isEmpty());
        QVERIFY(!m_store->deleteKey(RegRoot::LocalMachine, QStringLiteral("Nope")));
        QVERIFY(!m_store->deleteKey(RegRoot::LocalMachine, QString()));
    }

    void openKeyAfterItsDeletionFailsWrites()
    {
        RegKey key = create(QStringLiteral("A\\B"));
        RegistryStore other(storePath());
        QVERIFY(other.deleteKey(RegRoot::LocalMachine, QStringLiteral("A")));
        QVERIFY(!key.setValue(QStringLiteral("x"), RegType::Sz, RegValue::encodeString("x")));
        QVERIFY(!key.hasValue(QStringLiteral("x")));
        QVERIFY(!m_store->keyExists(RegRoot::LocalMachine, QStringLiteral("A")));
    }

    void rootsAreSeparate()
    {
        create(QStringLiteral("Software"));
        auto user = m_store->openKey(RegRoot::CurrentUser, QStringLiteral("Software"), true);
        user->setValue(QStringLiteral("u"), RegType::Sz, RegValue::encodeString("u"));
        QVERIFY(create(QStringLiteral("Software")).values().isEmpty());
        QVERIFY(m_store->deleteKey(RegRoot::LocalMachine, QStringLiteral("Software")));
        QVERIFY(m_store->keyExists(RegRoot::CurrentUser, QStringLiteral("Software")));
    }

    void listsAreSortedWithoutCase()
    {
        RegKey key = create(QStringLiteral("K"));
        // A name that begins with U+FEFF is a name of its own, listed whole.
        const QString marked = QChar(0xFEFF) + QStringLiteral("gamma");
        for (const QString& name :
             {QStringLiteral("beta"), QStringLiteral("Alpha"), QStringLiteral("gamma"), marked}) {
            create(QStringLiteral("K\\") + name);
            key.setValue(name, RegType::Dword, RegValue::encodeDword(0));
        }
        const QStringList sorted{"Alpha", "beta", "gamma", marked};
        QCOMPARE(key.subKeyNames(), sorted);
        QStringList names;
        for (const RegValue& value : key.values())
            names.append(value.name);
        QCOMPARE(names, sorted);
    }

    void transactionIsAllOrNothing()
    {
        RegKey key = create(QStringLiteral("K"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_store->runInTransaction([&] {
            key.setValue(QStringLiteral("a"), RegType::Dword, RegValue::encodeDword(1));
            m_store->openKey(RegRoot::LocalMachine, QStringLiteral("K\\Sub"), true);
            throw std::runtime_error("stop");
        }));
        QVERIFY(!key.hasValue(QStringLiteral("a")));
        QVERIFY(!m_store->keyExists(RegRoot::LocalMachine, QStringLiteral("K\\Sub")));
        // The store keeps working after the rollback.
        m_store->runInTransaction([&] {
            key.setValue(QStringLiteral("a"), RegType::Dword, RegValue::encodeDword(1));
            QVERIFY(key.hasValue(QStringLiteral("a"))); // visible inside
        });
        QVERIFY(RegistryStore(storePath()).keyExists(RegRoot::LocalMachine, QStringLiteral("K")));
        QVERIFY(key.hasValue(QStringLiteral("a")));
    }

    void unusableFileIsMovedAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("garbage") << QByteArray(5000, 'x');
        QByteArray header("SQLite format 3\0", 16);
        QTest::newRow("damaged header") << header + QByteArray(4080, '\xff');
    }

    void unusableFileIsMovedAside()
    {
        QFETCH(QByteArray, content);
        QDir().mkpath(QFileInfo(storePath()).absolutePath());
        {
            QFile file(storePath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        // Reading finds an empty registry and leaves no new file behind.
        QVERIFY(!m_store->keyExists(RegRoot::LocalMachine, QStringLiteral("K")));
        QVERIFY(!QFileInfo::exists(storePath()));
        const QStringList moved = movedAside();
        QCOMPARE(moved.size(), 1);
        QFile aside(moved[0]);
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), content);
        // A fresh store works.
        QVERIFY(create(QStringLiteral("K")).setValue("v", RegType::Sz, RegValue::encodeString("")));
        QVERIFY(RegistryStore(storePath()).keyExists(RegRoot::LocalMachine, QStringLiteral("K")));
    }

    void damagedPagesOrForeignDatabaseAreMovedAside_data()
    {
        QTest::addColumn<bool>("foreign");
        QTest::newRow("damaged pages") << false;
        QTest::newRow("another program's database") << true;
    }

    void damagedPagesOrForeignDatabaseAreMovedAside()
    {
        QFETCH(bool, foreign);
        {
            RegistryStore first(storePath());
            RegKey key = *first.openKey(RegRoot::LocalMachine, QStringLiteral("K"), true);
            first.runInTransaction([&] {
                for (int i = 0; i < 300; ++i)
                    key.setValue(QStringLiteral("value %1").arg(i), RegType::Binary,
                                 QByteArray(100, 'v'));
            });
        } // closing the last connection folds the journal into the file
        QFile file(storePath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (foreign) {
            // A valid SQLite database that is not a registry: another id.
            QVERIFY(file.seek(68));
            file.write(QByteArray("\0\0\0\1", 4));
        } else {
            const qint64 pageSize = 4096;
            QVERIFY(file.size() > 4 * pageSize);
            QVERIFY(file.seek(pageSize));
            file.write(QByteArray(file.size() - pageSize, '\x5a'));
        }
        file.close();
        QVERIFY(!QFileInfo::exists(storePath() + QStringLiteral("-wal")));
        QFile original(storePath());
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray bytes = original.readAll();

        QVERIFY(!m_store->openKey(RegRoot::LocalMachine, QStringLiteral("K"), false));
        const QStringList moved = movedAside();
        QCOMPARE(moved.size(), 1);
        QFile aside(moved[0]);
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), bytes);
    }

    void defaultFileFollowsTheEnvironment()
    {
        TestSupport::ScopedRegistry scoped;
        QCOMPARE(RegistryStore::defaultFilePath(), scoped.filePath());
        qputenv("CLIPSTOW_REGISTRY", "");
        qputenv("XDG_CONFIG_HOME", "/somewhere/cfg");
        QCOMPARE(RegistryStore::defaultFilePath(),
                 QStringLiteral("/somewhere/cfg/clipstow/registry.sqlite3"));
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(RegistryStore::defaultFilePath(),
                 QDir::homePath() + QStringLiteral("/.config/clipstow/registry.sqlite3"));
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestRegistryStore)
#include "tst_registrystore.moc"
