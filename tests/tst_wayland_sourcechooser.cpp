// The choice of clipboard source on real compositors: a headless sway
// offers data-control, a headless weston does not; the fallback stands for
// the platform's source.
#include "core/ClipboardSourceChooser.h"
#include "support/PrivateSway.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QString DataControl = QStringLiteral("Wayland data-control");

} // namespace

class TestWaylandSourceChooser : public QObject
{
    Q_OBJECT

    TestSupport::PrivateSway m_sway;
    std::unique_ptr<ClipboardSource> m_installed;
    int m_installs = 0;
    int m_fallbacks = 0;
    QList<ClipboardMonitor::SourceStart> m_starts;

    std::unique_ptr<ClipboardSourceChooser> chooser(int retryMs)
    {
        m_installed.reset();
        m_installs = m_fallbacks = 0;
        m_starts.clear();
        return std::make_unique<ClipboardSourceChooser>(
            [this](std::unique_ptr<ClipboardSource> source, ClipboardMonitor::SourceStart start) {
                ++m_installs;
                m_installed = std::move(source);
                m_starts << start;
            },
            [this] {
                ++m_fallbacks;
                return std::unique_ptr<ClipboardSource>();
            },
            retryMs);
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString problem = m_sway.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // The compositor's clipboard where it offers data-control; elsewhere the
    // fallback, and a word for the user where that sees less: Qt's
    // clipboard on Wayland itself, not XWayland, which passes every copy on.
    void choice_data()
    {
        QTest::addColumn<QString>("compositor");
        QTest::addColumn<bool>("fallbackNeedsFocus");
        QTest::addColumn<bool>("dataControl");
        QTest::addColumn<bool>("notice");
        QTest::newRow("sway") << "sway" << true << true << false;
        QTest::newRow("weston, without data-control") << "weston" << true << false << true;
        QTest::newRow("weston, windows through XWayland") << "weston" << false << false << false;
        QTest::newRow("not a Wayland session") << "" << true << false << false;
    }
    void choice()
    {
        QFETCH(QString, compositor);
        QFETCH(bool, fallbackNeedsFocus);
        QFETCH(bool, dataControl);
        QFETCH(bool, notice);
        QTemporaryDir runtime;
        QProcess weston;
        if (compositor == QLatin1String("sway")) {
            m_sway.enter();
        } else if (compositor == QLatin1String("weston")) {
            const QString socket = TestSupport::startHeadlessWeston(weston, runtime.path());
            QVERIFY2(!socket.isEmpty(), "needs weston");
            qputenv("WAYLAND_DISPLAY", QFile::encodeName(socket));
        } else {
            qunsetenv("WAYLAND_DISPLAY");
        }
        const auto choosing = chooser(ClipboardSourceChooser::RetryMs);
        const QString told = choosing->start(fallbackNeedsFocus);
        weston.kill();
        weston.waitForFinished();

        QCOMPARE(m_installs, 1);
        QCOMPARE(choosing->watchesCompositor(), dataControl);
        QCOMPARE(m_installed && m_installed->name() == DataControl, dataControl);
        QCOMPARE(m_fallbacks, dataControl ? 0 : 1);
        QCOMPARE(told.contains(QLatin1String("only the copies made while a Clipstow window is "
                                             "active")),
                 notice);
    }

    // The compositor goes: the fallback takes over; it comes back: its
    // clipboard is watched again.
    void lostCompositorIsTriedAgain()
    {
        m_sway.enter();
        const auto choosing = chooser(200);
        QVERIFY(choosing->start(true).isEmpty());
        QVERIFY(choosing->watchesCompositor());

        m_sway.stop();
        QTRY_VERIFY(!choosing->watchesCompositor());
        QCOMPARE(m_fallbacks, 1);
        QCOMPARE(m_installs, 2);

        QVERIFY(m_sway.start().isEmpty());
        m_sway.enter();
        QTRY_VERIFY(choosing->watchesCompositor());
        QCOMPARE(m_installs, 3);
        QCOMPARE(m_installed->name(), DataControl);
        // A compositor that started since holds the text at start, not a
        // copy made while the connection was down.
        using Start = ClipboardMonitor::SourceStart;
        QCOMPARE(m_starts, (QList<Start>{Start::Fresh, Start::Fresh, Start::Fresh}));
    }
};

CLIPSTOW_TEST_GUILESS_MAIN(TestWaylandSourceChooser)
#include "tst_wayland_sourcechooser.moc"
