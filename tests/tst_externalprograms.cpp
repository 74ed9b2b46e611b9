// The main window's commands that hand work to other programs: "Edit in
// Text Editor", "&Support" and "Clipboard &Viewer", with the desktop replaced
// by a launcher that records.
#include "app/Startup.h"
#include "base/Locale.h"
#include "core/Collector.h"
#include "core/ProgramInfo.h"
#include "core/SupportMail.h"
#include "settings/RegistryLayout.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "support/RecordingLauncher.h"
#include "support/TestMain.h"
#include "ui/ClipboardViewer.h"
#include "ui/CommandHandlers.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"
#include "ui/editor/SlotEditor.h"

#include <QAction>
#include <QTest>
#include <QToolButton>
#include <QUrlQuery>

class TestExternalPrograms final : public QObject, TestSupport::WindowsFixture
{
    Q_OBJECT

    std::unique_ptr<TestSupport::RecordingLauncher> m_launcher;

    // Slot 1 bound to fileName, holding text not saved yet; each launch
    // records what the file held at that moment.
    void start(bool autoOn, const QString& fileName)
    {
        m_desk->settings().setSlotFileName(1, fileName);
        startWindows(autoOn);
        m_main->editor(1)->setText(QStringLiteral("unsaved\r\n"));
        m_launcher->snapshot = [fileName] { return TestSupport::fileBytes(fileName); };
    }

private Q_SLOTS:
    void init()
    {
        beginDesk();
        m_launcher = std::make_unique<TestSupport::RecordingLauncher>();
    }
    void cleanup()
    {
        closeWindows();
        m_launcher.reset();
        endDesk(true);
    }

    void editInTextEditor_data()
    {
        QTest::addColumn<bool>("autoOff");
        QTest::addColumn<bool>("autoBefore");
        QTest::newRow("AutoOff, auto on: switched off") << true << true;
        QTest::newRow("AutoOff, auto off: untouched") << true << false;
        QTest::newRow("no AutoOff, auto on: stays on") << false << true;
    }

    // The slot is written first, then its file alone is handed on.
    void editInTextEditor()
    {
        QFETCH(bool, autoOff);
        QFETCH(bool, autoBefore);
        m_desk->settings().setAutoOff(autoOff);
        m_desk->settings().setOwnEditor(true);
        m_desk->settings().setEditor(QStringLiteral("my-editor --wait"));
        const QString file = m_desk->path(QStringLiteral("slot with blanks.txt"));
        start(autoBefore, file);
        m_main->handlers().editInTextEditor();
        QCOMPARE(m_remote->autoButton()->isChecked(), autoBefore && !autoOff);
        QCOMPARE(m_launcher->calls.size(), 1);
        QCOMPARE(m_launcher->calls[0].command,
                 QStringList({QStringLiteral("my-editor"), QStringLiteral("--wait"), file}));
        QCOMPARE(m_launcher->calls[0].snapshot, QByteArray("unsaved\r\n"));
    }

    // A failed write ends the command: nothing launched, auto mode stays
    // off. A failed start is not a silent success.
    void failures()
    {
        m_desk->settings().setAutoOff(true);
        start(true, m_desk->path(QStringLiteral("gone/slot.txt")));
        QVERIFY(TestSupport::errorOf([this] {
                    m_main->handlers().editInTextEditor();
                }).contains(QLatin1String("gone/slot.txt")));
        QVERIFY(m_launcher->calls.isEmpty());
        QVERIFY(!m_main->collector().autoMode());

        m_collector->setFileName(m_collector->activeSlot(), QStringLiteral("Default1.txt"));
        m_launcher->succeed = false;
        m_main->handlers().editInTextEditor();
        QCOMPARE(m_launcher->calls[0].url,
                 QUrl::fromLocalFile(m_desk->path(QStringLiteral("Default1.txt"))));
        QCOMPARE(m_main->statusText(), QStringLiteral("Cannot start the default program for ") +
                                           m_desk->path(QStringLiteral("Default1.txt")));
    }

    // The build date goes into the subject as the short date format has it;
    // the mail program gets it decoded (blanks in a date encoded, as a link
    // needs).
    void supportLink()
    {
        RegionalSettings region;
        for (const auto& [pattern, separator, date] : {std::tuple{"dd/MM/yyyy", ".", "16.08.1999"},
                                                       std::tuple{"M/d/yyyy", "/", "8/16/1999"}}) {
            region.shortDatePattern = QString::fromLatin1(pattern);
            region.dateSeparator = QString::fromLatin1(separator);
            QCOMPARE(SupportMail::link(QStringLiteral("a@b.org"), QDate(1999, 8, 16), region),
                     QStringLiteral("mailto:a@b.org?subject=Clipstow%203%20%28build%20") +
                         QString::fromLatin1(date) + QStringLiteral("%29"));
        }
        // Offered only when the program has a support address.
        ProgramInfo::setContacts(QString(), QString());
        start(false, QStringLiteral("Default1.txt"));
        QVERIFY(!m_main->commands().support->isVisible());
        closeWindows();
        ProgramInfo::setContacts(QStringLiteral("help@clipstow.test"), QString());
        start(false, QStringLiteral("Default1.txt"));
        QVERIFY(m_main->commands().support->isVisible());
        m_main->handlers().sendSupportMail();
        ProgramInfo::setContacts(QStringLiteral(CLIPSTOW_SUPPORT_MAIL),
                                 QStringLiteral(CLIPSTOW_WEB_SITE));
        const QUrl url = m_launcher->calls.value(0).url;
        QCOMPARE(url.path(), QStringLiteral("help@clipstow.test"));
        QVERIFY(SupportMail::buildDate().isValid());
        QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                 QStringLiteral("Clipstow 3 (build ") +
                     shortDateText(SupportMail::buildDate(), RegionalSettings::system()) + u')');
    }

    // The tray menu offers the viewer, which opens.
    void clipboardViewer()
    {
        start(false, QStringLiteral("Default1.txt"));
        QVERIFY(m_main->commands().clipboardViewer->isVisible());
        m_main->handlers().showClipboardViewer();
        QVERIFY(m_main->findChild<ClipboardViewer*>()->isVisible());
    }
};

CLIPSTOW_TEST_MAIN(TestExternalPrograms)
#include "tst_externalprograms.moc"
