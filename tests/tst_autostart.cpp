// Starting with the desktop session through the XDG autostart entry: the
// file is the truth, Hidden=true counts as absent, and the Exec= line runs
// the program whatever characters its path holds.
#include "platform/linux/XdgAutostart.h"
#include "support/Files.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using TestSupport::fileBytes;
using TestSupport::writeBytes;

namespace {

// The values of the [Desktop Entry] keys of a desktop file.
QMap<QString, QString> entryKeys(const QString& path)
{
    QMap<QString, QString> keys;
    for (const QByteArray& line : fileBytes(path).split('\n'))
        if (const qsizetype equals = line.indexOf('='); equals > 0)
            keys.insert(QString::fromUtf8(line.left(equals)),
                        QString::fromUtf8(line.mid(equals + 1)));
    return keys;
}

} // namespace

class TestAutostart final : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_config;
    XdgAutostart m_autostart;
    QString entry() const
    {
        return m_config->filePath(QStringLiteral("autostart/clipstow.desktop"));
    }

private Q_SLOTS:
    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    }

    void writtenReadBackRemoved()
    {
        QCOMPARE(XdgAutostart::entryPath(), entry());
        QVERIFY(!m_autostart.exists());
        QVERIFY(!m_autostart.remove());

        m_autostart.write(QStringLiteral("/opt/clip stow/100%/clipstow"));
        QVERIFY(m_autostart.exists());
        const auto written = entryKeys(entry());
        const auto installed =
            entryKeys(QStringLiteral(CLIPSTOW_SOURCE_DIR "/resources/clipstow.desktop"));
        for (const char* key : {"Type", "Name", "Comment", "Icon"})
            QCOMPARE(written.value(QString::fromLatin1(key)),
                     installed.value(QString::fromLatin1(key)));
        QCOMPARE(written.value(QStringLiteral("Exec")),
                 QStringLiteral("\"/opt/clip stow/100%%/clipstow\""));

        QVERIFY(m_autostart.remove());
        QVERIFY(!QFile::exists(entry()));
        QVERIFY(!m_autostart.exists());
    }

    // Hidden=true is how a desktop turns an entry off without deleting it.
    void hiddenCountsAsAbsent()
    {
        QDir().mkpath(QFileInfo(entry()).path());
        writeBytes(entry(), "[Desktop Entry]\nExec=/old/clipstow\nHidden = true\n");
        QVERIFY(!m_autostart.exists());
        m_autostart.updateProgramPath(QStringLiteral("/new/clipstow"));
        QVERIFY(fileBytes(entry()).contains("Exec=/old/clipstow"));

        writeBytes(entry(),
                   "[Desktop Entry]\nExec=/old/clipstow\nHidden=false\n[Other]\nHidden=true\n");
        QVERIFY(m_autostart.exists());
    }

    // At every start an existing entry is pointed at the program's new path;
    // the rest of it stays as the user left it, and no entry is made.
    void rewrittenAtStart()
    {
        m_autostart.updateProgramPath(QStringLiteral("/new/clipstow"));
        QVERIFY(!QFile::exists(entry()));

        m_autostart.write(QStringLiteral("/old/clipstow"));
        writeBytes(entry(), "X-Delay=5\n", QIODevice::Append);
        m_autostart.updateProgramPath(QStringLiteral("/new/clipstow"));
        const auto keys = entryKeys(entry());
        QCOMPARE(keys.value(QStringLiteral("Exec")), QStringLiteral("\"/new/clipstow\""));
        QCOMPARE(keys.value(QStringLiteral("X-Delay")), QStringLiteral("5"));
        QCOMPARE(keys.value(QStringLiteral("Name")), QStringLiteral("Clipstow"));
    }

    // A desktop's own launcher runs the entry: the quoting holds for blanks,
    // quotes, backslashes, dollars and backquotes. (GLib looks for the program
    // before it undoes the doubled percent sign, so that one is checked above.)
    void desktopRunsQuotedPath()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
            QSKIP("needs gio");
        const QString folder = m_config->filePath(QStringLiteral("my \"odd\" $HOME `x` \\ dir"));
        QVERIFY(QDir().mkpath(folder));
        const QString program = folder + QStringLiteral("/clip stow");
        const QString marker = m_config->filePath(QStringLiteral("ran"));
        writeBytes(program, "#!/bin/sh\necho \"$0\" > '" + marker.toUtf8() + "'\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        m_autostart.write(program);
        QProcess gio;
        gio.start(QStringLiteral("gio"), {QStringLiteral("launch"), entry()});
        QVERIFY(gio.waitForFinished(10000));
        QTRY_COMPARE(fileBytes(marker).trimmed(), program.toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
