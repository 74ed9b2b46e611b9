// The main window's commands that hand work to other programs: "Edit in
// Text Editor", "&Support" and "Clipboard &Viewer", with the desktop replaced
// by a launcher that records.
#include "platform/SlotEditor.h"
#include "settings/RegistryLayout.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "support/RecordingLauncher.h"
#include "ui/ClipboardViewer.h"
#include "ui/MainForm.h"
#include "ui/RemoteForm.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QToolButton>

using TestSupport::fileBytes;

class TestExternalPrograms final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSupport::DesktopFixture> m_desk;
    std::unique_ptr<TestSupport::RecordingLauncher> m_launcher;
    std::unique_ptr<TMainForm> m_main;
    std::unique_ptr<TRemoteForm> m_remote;

    // Both windows with auto mode as given and slot 1 bound to fileName,
    // holding text that is not saved yet.
    void start(bool autoOn, const QString& fileName)
    {
        Layout::AutoOn.write(autoOn ? QStringLiteral("1") : QStringLiteral("0"));
        Layout::Filename1.write(fileName);
        TestSupport::startWindows(m_main, m_remote);
        m_main->Editor(1)->SetText(QStringLiteral("typed, not saved\r\n"));
        m_launcher->snapshot = [fileName] { return fileBytes(fileName); };
    }

private Q_SLOTS:
    void init()
    {
        m_desk = std::make_unique<TestSupport::DesktopFixture>();
        m_launcher = std::make_unique<TestSupport::RecordingLauncher>();
    }

    void cleanup()
    {
        TestSupport::closeWindows(m_main, m_remote);
        m_launcher.reset();
        m_desk.reset();
    }

    void editInTextEditor_data()
    {
        QTest::addColumn<bool>("autoOff");
        QTest::addColumn<bool>("autoBefore");
        QTest::addColumn<bool>("autoAfter");
        QTest::newRow("AutoOff, auto on: switched off") << true << true << false;
        QTest::newRow("AutoOff, auto off: untouched") << true << false << false;
        QTest::newRow("no AutoOff, auto on: stays on") << false << true << true;
    }

    // The slot is written first, then its file alone is handed on: the
    // snapshot taken at the launch holds the text the editor showed.
    void editInTextEditor()
    {
        QFETCH(bool, autoOff);
        QFETCH(bool, autoBefore);
        QFETCH(bool, autoAfter);
        Layout::AutoOff.write(autoOff);
        Layout::DefinEd.write(true);
        Layout::Editor.write(QStringLiteral("my-editor --wait"));
        const QString file = m_desk->path(QStringLiteral("slot with blanks.txt"));
        start(autoBefore, file);

        m_main->EditButtonClick(nullptr);
        QCOMPARE(m_main->IsAutoOn(), autoAfter);
        QCOMPARE(m_remote->AutoToolBtn()->isChecked(), autoAfter);
        QCOMPARE(m_launcher->calls.size(), 1);
        QCOMPARE(m_launcher->calls[0].program, QStringLiteral("my-editor"));
        QCOMPARE(m_launcher->calls[0].arguments, QStringList({QStringLiteral("--wait"), file}));
        QCOMPARE(m_launcher->calls[0].snapshot, QByteArray("typed, not saved\r\n"));
    }

    // "DefinEd" false: the desktop opens the file, a bare name taken in the
    // current folder.
    void defaultProgramOpensTheFile()
    {
        start(false, QStringLiteral("Default1.txt"));
        m_main->EditButtonClick(nullptr);
        QCOMPARE(m_launcher->calls.size(), 1);
        QCOMPARE(m_launcher->calls[0].url,
                 QUrl::fromLocalFile(m_desk->path(QStringLiteral("Default1.txt"))));
        QCOMPARE(m_launcher->calls[0].snapshot, QByteArray("typed, not saved\r\n"));
    }

    // A slot file that cannot be written ends the command: the error is
    // shown, nothing is launched, and auto mode switched off stays off.
    void failedWriteLaunchesNothing()
    {
        Layout::AutoOff.write(true);
        start(true, m_desk->path(QStringLiteral("gone/slot.txt")));
        const QString error = TestSupport::errorOf([this] { m_main->EditButtonClick(nullptr); });
        QVERIFY2(error.contains(QLatin1String("gone/slot.txt")), qPrintable(error));
        QVERIFY(m_launcher->calls.isEmpty());
        QVERIFY(!m_main->IsAutoOn());
    }

    // A start that fails is not a silent success: the status bar says so.
    void failedStartIsShown()
    {
        Layout::DefinEd.write(true);
        Layout::Editor.write(QStringLiteral("Notepad.exe"));
        start(false, QStringLiteral("Default1.txt"));
        m_launcher->succeed = false;
        m_main->EditButtonClick(nullptr);
        QCOMPARE(m_main->StatusText(), QStringLiteral("Cannot start Notepad.exe"));
        QCOMPARE(fileBytes(m_desk->path(QStringLiteral("Default1.txt"))),
                 QByteArray("typed, not saved\r\n"));
    }

    void supportMail()
    {
        start(false, QStringLiteral("Default1.txt"));
        m_main->Support1Click(nullptr);
        QCOMPARE(m_launcher->calls.size(), 1);
        const QString link = m_launcher->calls[0].url.toString(QUrl::FullyEncoded);
        QVERIFY2(link.startsWith(QStringLiteral(
                     "mailto:support@example.org?subject=Clipstow%203%20%28build%20")),
                 qPrintable(link));
        QVERIFY2(link.endsWith(QStringLiteral("%29")), qPrintable(link));
    }

    // The tray menu offers the viewer; it opens once and is kept.
    void clipboardViewerOpens()
    {
        start(false, QStringLiteral("Default1.txt"));
        QVERIFY(m_main->Item(QStringLiteral("ClipbrdMenu"))->isVisible());
        m_main->ClipbrdMenuClick(nullptr);
        QList<ClipboardViewer*> viewers = m_main->findChildren<ClipboardViewer*>();
        QCOMPARE(viewers.size(), 1);
        QVERIFY(viewers[0]->isVisible());
        viewers[0]->close();
        m_main->ClipbrdMenuClick(nullptr);
        QCOMPARE(m_main->findChildren<ClipboardViewer*>(), viewers);
        QVERIFY(viewers[0]->isVisible());
        QVERIFY(m_launcher->calls.isEmpty());
    }
};

QTEST_MAIN(TestExternalPrograms)
#include "tst_externalprograms.moc"
