// Starting with the desktop session through the XDG autostart entry: the
// file is the truth, Hidden=true counts as absent, and the Exec= line runs
// the program whatever characters its path holds.
#include "platform/linux/XdgAutostart.h"
#include "support/Files.h"
#include "support/TestMain.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using TestSupport::fileBytes;
using TestSupport::writeBytes;

class TestAutostart final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;
    XdgAutostart m_autostart;
    QString entry() const
    {
        return m_config.filePath(QStringLiteral("autostart/clipstow.desktop"));
    }

    // The value of a key of a desktop file.
    static QByteArray keyOf(const QString& path, const QByteArray& key)
    {
        for (const QByteArray& line : fileBytes(path).split('\n'))
            if (line.startsWith(key + '='))
                return line.mid(key.size() + 1);
        return "<none>";
    }

private Q_SLOTS:
    void init() { qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit()); }

    // Written, read back, rewritten at start with a new path (keeping what
    // else the entry holds), hidden, removed.
    void roundTrip()
    {
        QVERIFY(!m_autostart.exists());
        m_autostart.updateProgramPath(QStringLiteral("/new/clipstow"));
        QVERIFY(!QFile::exists(entry()));
        m_autostart.write(QStringLiteral("/opt/clip stow/100%/clipstow"));
        QVERIFY(m_autostart.exists());
        for (const char* key : {"Type", "Name", "Comment", "Icon"})
            QCOMPARE(keyOf(entry(), key),
                     keyOf(QStringLiteral(CLIPSTOW_SOURCE_DIR "/resources/clipstow.desktop"), key));
        QCOMPARE(keyOf(entry(), "Exec"), QByteArray("env \"/opt/clip stow/100%%/clipstow\""));
        writeBytes(entry(), "X-Delay=5\n", QIODevice::Append);
        m_autostart.updateProgramPath(QStringLiteral("/new/clipstow"));
        QCOMPARE(keyOf(entry(), "Exec") + keyOf(entry(), "X-Delay"), "\"/new/clipstow\"5");

        writeBytes(entry(), "[Desktop Entry]\nExec=/old/clipstow\nHidden = true\n");
        QVERIFY(!m_autostart.exists());
        m_autostart.updateProgramPath(QStringLiteral("/new/clipstow"));
        QCOMPARE(keyOf(entry(), "Exec"), QByteArray("/old/clipstow"));
        QVERIFY(m_autostart.remove());
        QVERIFY(!QFile::exists(entry()) && !m_autostart.remove());
    }

    // A desktop's own launcher runs the entry whatever the program's path
    // holds: the reserved characters of desktop entries, and a percent sign.
    void desktopRunsQuotedPath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("blanks, quotes, dollar, backslash")
            << QStringLiteral("my \"odd\" 'dir' $HOME `x` \\ dir");
        QTest::newRow("percent sign") << QStringLiteral("100% %f %%u");
        QTest::newRow("other reserved characters") << QStringLiteral("a<b>c~d|e&f;g*h?i#j(k)l\tm");
    }
    void desktopRunsQuotedPath()
    {
        QFETCH(QString, folder);
        if (QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
            QSKIP("needs gio");
        const QString program = m_config.filePath(folder) + QStringLiteral("/clip stow");
        QVERIFY(QDir().mkpath(m_config.filePath(folder)));
        const QString marker = m_config.filePath(QStringLiteral("ran"));
        QFile::remove(marker);
        writeBytes(program, "#!/bin/sh\nprintf '%s' \"$0\" > '" + marker.toUtf8() + "'\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_autostart.write(program);
        QProcess gio;
        gio.start(QStringLiteral("gio"), {QStringLiteral("launch"), entry()});
        QVERIFY(gio.waitForFinished(10000));
        QCOMPARE(gio.exitCode(), 0);
        QTRY_COMPARE(fileBytes(marker), program.toUtf8());
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
