// The single-instance rule's lock folder and display names.
#include "app/SingleInstance.h"
#include "platform/RuntimeFolder.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class TestSingleInstance final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QByteArray m_tmpdir;

    QString ownFolder() const
    {
        return m_tmp->filePath(QStringLiteral("clipstow-%1").arg(::geteuid()));
    }
    // Where the lock goes when another user holds the name above.
    QString cacheFolder() const
    {
        return m_tmp->filePath(QStringLiteral("cache/clipstow/runtime-") +
                               QSysInfo::machineHostName());
    }

private Q_SLOTS:
    void initTestCase() { m_tmpdir = qgetenv("TMPDIR"); }
    void init()
    {
        qputenv("TMPDIR", m_tmpdir);
        // No runtime folder; the temporary folder is one of the test's.
        m_tmp = std::make_unique<QTemporaryDir>();
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(m_tmp->path()));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_tmp->filePath(QStringLiteral("cache"))));
    }
    void cleanup() { m_tmp.reset(); }

    // Without XDG_RUNTIME_DIR a lock file another user placed in the shared
    // temporary folder made Clipstow exit 0 without a word. The lock lives
    // in a private folder of the user's own; where another user took its
    // name first (which left Clipstow unguarded) the user's cache folder
    // holds it instead. Where neither can be had, or the lock cannot be
    // made, Clipstow says so and starts anyway.
    void lockWithoutRuntimeFolder_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<bool>("cacheUsable");
        QTest::addColumn<QString>("folder"); // "temporary", "cache" or "" (unguarded)
        QTest::addColumn<QString>("problem");
        QTest::newRow("nothing there") << "" << true << "temporary"
                                       << "";
        QTest::newRow("lock file at the old shared name") << "shared lock" << true << "temporary"
                                                          << "";
        QTest::newRow("own folder open to others") << "open folder" << true << "temporary"
                                                   << "";
        QTest::newRow("own folder open to others, another user's file in it")
            << "open folder, foreign file" << true << "cache"
            << "";
        QTest::newRow("link in place of the folder") << "link" << true << "cache"
                                                     << "";
        QTest::newRow("another user's folder") << "foreign folder" << true << "cache"
                                               << "";
        QTest::newRow("another user's folder, no cache folder") << "foreign folder" << false << ""
                                                                << "another user";
        QTest::newRow("link, no cache folder") << "link" << false << ""
                                               << "is not a folder";
        QTest::newRow("lock cannot be made") << "folder at the lock" << true << ""
                                             << "lock file";
    }

    void lockWithoutRuntimeFolder()
    {
        QFETCH(QString, planted);
        QFETCH(bool, cacheUsable);
        QFETCH(QString, folder);
        QFETCH(QString, problem);
        const bool guarded = !folder.isEmpty();
        if (!cacheUsable) {
            QFile file(m_tmp->filePath(QStringLiteral("cache")));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString name = QStringLiteral("clipstow-test");
        const QByteArray own = QFile::encodeName(ownFolder());
        if (planted == QLatin1String("shared lock")) {
            QFile lock(m_tmp->filePath(name + QStringLiteral(".lock")));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(QByteArray::number(::getppid()) + "\nclipstow\n\n");
        } else if (planted.startsWith(QLatin1String("open folder"))) {
            QCOMPARE(::mkdir(own.constData(), 0777), 0);
            QCOMPARE(::chmod(own.constData(), 0777), 0);
            if (planted.endsWith(QLatin1String("foreign file"))) {
                if (::geteuid() != 0)
                    QSKIP("only root can give a file to another user");
                const QByteArray lockPath = own + "/" + name.toUtf8() + ".lock";
                QFile lock(QString::fromUtf8(lockPath));
                QVERIFY(lock.open(QIODevice::WriteOnly));
                QCOMPARE(::chown(lockPath.constData(), 65534, 65534), 0);
            }
        } else if (planted == QLatin1String("link")) {
            QCOMPARE(::symlink(QFile::encodeName(m_tmp->path()).constData(), own.constData()), 0);
        } else if (planted == QLatin1String("foreign folder")) {
            if (::geteuid() != 0)
                QSKIP("only root can give a folder to another user");
            QCOMPARE(::mkdir(own.constData(), 0700), 0);
            QCOMPARE(::chown(own.constData(), 65534, 65534), 0);
        } else if (planted == QLatin1String("folder at the lock")) {
            QCOMPARE(::mkdir(own.constData(), 0700), 0);
            QVERIFY(QDir(ownFolder()).mkpath(name + QStringLiteral(".lock/x")));
        }

        SingleInstance first(name);
        QVERIFY(first.claim()); // runs in every case
        QCOMPARE(first.status(),
                 guarded ? SingleInstance::Status::Alone : SingleInstance::Status::Unguarded);
        QVERIFY2(first.problem().contains(problem), qPrintable(first.problem()));
        QCOMPARE(first.problem().isEmpty(), guarded);
        if (!guarded)
            return;
        const QString expected = folder == QLatin1String("cache") ? cacheFolder() : ownFolder();
        QVERIFY2(first.socketPath().startsWith(expected + QLatin1Char('/')),
                 qPrintable(first.socketPath()));
        struct stat info;
        QCOMPARE(::lstat(QFile::encodeName(expected).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0700u);
        QCOMPARE(info.st_uid, ::geteuid());
        // The lock still keeps out a second collector.
        SingleInstance second(name);
        QVERIFY(!second.claim());
        QCOMPARE(second.status(), SingleInstance::Status::AlreadyRunning);
    }

    void runtimeFolderOpenToOthersIsNotUsed()
    {
        QTemporaryDir runtime;
        QVERIFY(QFile::setPermissions(runtime.path(), QFileDevice::Permissions(0x7777)));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        QCOMPARE(privateRuntimeFolder(), ownFolder());
        QVERIFY(QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner |
                                                          QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner));
        QCOMPARE(privateRuntimeFolder(), runtime.path());
    }

    // ":121" and ":121.0" let two collectors run on one display; a named
    // remote host stays another display.
    void displayKey()
    {
        const QString host = QSysInfo::machineHostName();
        const QList<std::pair<QString, QString>> cases{
            {":121", ":121"},
            {":121.0", ":121"},
            {":121.1", ":121"},
            {"unix:121", ":121"},
            {"localhost:121.0", ":121"},
            {host + ":121", ":121"},
            {"unix/:121", ":121"},
            {":12", ":12"},
            {"wayland-0", "wayland-0"},
            {"Remote.example:121.0", "remote.example:121"},
        };
        for (const auto& [display, key] : cases)
            QCOMPARE(SingleInstance::displayKey(display), key);
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
