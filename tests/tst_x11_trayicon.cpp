// The tray icon on a real X server with a tray host (trayer): clicks are
// made with xdotool at the place the host shows the icon.
#include "base/AppError.h"
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"
#include "ui/TrayIcon.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QProcess>
#include <QStyleHints>
#include <QtTest>
#include <memory>

namespace {

// Waits until the tray host has taken the icon in: until then the icon's
// window has a size but sits at the origin (the tray here is at the top
// right).
bool embedded(const TrayIcon& icon)
{
    return !icon.geometry().isEmpty() && icon.geometry().topLeft() != QPoint(0, 0);
}

// Clicks `count` times with `button` (1 left, 2 middle, 3 right) at the
// middle of the icon.
void clickIcon(const TrayIcon& icon, int button, int count = 1)
{
    // Clicks of two tests must not make a double-click.
    static QElapsedTimer sinceLast;
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    if (sinceLast.isValid() && sinceLast.elapsed() < interval + 100)
        QTest::qWait(int(interval + 100 - sinceLast.elapsed()));
    const QPoint centre = icon.geometry().center();
    QCOMPARE(QProcess::execute("xdotool",
                               {"mousemove", QString::number(centre.x()),
                                QString::number(centre.y()), "click", "--repeat",
                                QString::number(count), "--delay", "80", QString::number(button)}),
             0);
    sinceLast.start();
}

} // namespace

class TestTrayIcon final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSupport::ScopedRegistry> m_registry;
    std::unique_ptr<Collector> m_collector;
    std::unique_ptr<TrayIcon> m_icon;
    // The tray menu as the main window builds it: a bold default first item.
    std::unique_ptr<QMenu> m_menu;
    QAction* m_capture = nullptr;
    QAction* m_exit = nullptr;
    QStringList m_log;
    QProcess m_trayer;

private Q_SLOTS:
    void initTestCase()
    {
        // The desktop's tray host may have gone with an earlier test.
        if (!QSystemTrayIcon::isSystemTrayAvailable()) {
            m_trayer.start(QStringLiteral("trayer"),
                           {QStringLiteral("--edge"), QStringLiteral("top"),
                            QStringLiteral("--align"), QStringLiteral("right")});
            QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
        }
    }

    void cleanupTestCase()
    {
        m_trayer.terminate();
        m_trayer.waitForFinished(3000);
    }

    void init()
    {
        m_log.clear();
        // A capture finds no text: the collector here has no slots to fill.
        QGuiApplication::clipboard()->clear();
        m_registry = std::make_unique<TestSupport::ScopedRegistry>();
        m_collector = std::make_unique<Collector>(m_registry->settings(), m_registry->errors(),
                                                  m_registry->saveSound());
        m_icon = std::make_unique<TrayIcon>(*m_collector);
        m_menu = std::make_unique<QMenu>();
        m_capture = m_menu->addAction("Cli&pstow");
        m_exit = m_menu->addAction("E&xit");
        m_menu->setDefaultAction(m_capture);
        connect(m_icon.get(), &TrayIcon::pressed, this, [this] { m_log << "pressed"; });
        connect(m_capture, &QAction::triggered, this, [this] { m_log << "default item"; });
        connect(m_exit, &QAction::triggered, this, [this] { m_log << "exit"; });
        connect(m_collector.get(), &Collector::captureEnded, this, [this] { m_log << "capture"; });
        QVERIFY(m_icon->isShown());
        QTRY_VERIFY(embedded(*m_icon));
    }

    void cleanup()
    {
        m_icon.reset();
        m_menu.reset();
        m_collector.reset();
        m_registry.reset();
    }

    // What each click does, with and without the menu start-up hands over.
    void clicks_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("events");
        const QStringList once{"pressed"};
        QTest::newRow("left") << 1 << 1 << "set" << once;
        QTest::newRow("middle") << 2 << 1 << "set" << once;
        QTest::newRow("right before start-up is through") << 3 << 1 << "none" << once;
        QTest::newRow("double-click runs the default item")
            << 1 << 2 << "set" << QStringList{"pressed", "default item", "pressed"};
        QTest::newRow("double-click before start-up is through captures")
            << 1 << 2 << "none" << QStringList{"pressed", "capture", "pressed"};
        QTest::newRow("double-click, default item disabled")
            << 1 << 2 << "disabled" << QStringList{"pressed", "capture", "pressed"};
    }

    void clicks()
    {
        QFETCH(int, button);
        QFETCH(int, count);
        QFETCH(QString, menu);
        QFETCH(QStringList, events);
        if (menu != "none")
            m_icon->setMenu(m_menu.get());
        m_capture->setEnabled(menu != "disabled");
        int shown = 0;
        connect(m_menu.get(), &QMenu::aboutToShow, this, [&shown] { ++shown; });
        clickIcon(*m_icon, button, count);
        QTRY_COMPARE(m_log, events);
        // Nothing more comes (a second default item, a late menu).
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        QCOMPARE(m_log, events);
        QCOMPARE(shown, 0);
    }

    void rightClickOpensMenuAndRunsChosenItem()
    {
        m_icon->setMenu(m_menu.get());
        connect(m_menu.get(), &QMenu::aboutToShow, this, [this] {
            m_log << "menu opened";
            // Choose the second item as the user would, with the keyboard.
            QTimer::singleShot(300, m_menu.get(), [] {
                QProcess::execute("xdotool", {"key", "--delay", "80", "Down", "Down", "Return"});
            });
        });
        clickIcon(*m_icon, 3);
        QTRY_COMPARE(m_log, (QStringList{"pressed", "menu opened", "exit"}));
    }

    // Destroyed by a command of its own menu (Exit), the icon leaves quietly.
    void iconDestroyedByItsMenu()
    {
        m_icon->setMenu(m_menu.get());
        connect(m_exit, &QAction::triggered, this, [this] { m_icon.reset(); });
        connect(m_menu.get(), &QMenu::aboutToShow, this, [this] {
            QTimer::singleShot(300, m_menu.get(), [] {
                QProcess::execute("xdotool", {"key", "--delay", "80", "Down", "Down", "Return"});
            });
        });
        clickIcon(*m_icon, 3);
        QTRY_VERIFY(!m_icon);
        QCOMPARE(m_log, (QStringList{"pressed", "exit"}));
    }

    void handlerFailureIsShownAndIconGoesOn()
    {
        QStringList shown;
        m_registry->errors().setPresenter([&shown](const QString& text) { shown << text; });
        connect(m_icon.get(), &TrayIcon::pressed, this,
                [] { throw AppError("Cannot open file Default1.txt"); });
        clickIcon(*m_icon, 1);
        QTRY_COMPARE(shown, QStringList{"Cannot open file Default1.txt."});
        clickIcon(*m_icon, 1);
        QTRY_COMPARE(m_log, (QStringList{"pressed", "pressed"}));
    }

    void hiddenIconLeavesTheTray()
    {
        m_icon->hide();
        QVERIFY(!m_icon->isShown());
        QTRY_VERIFY(m_icon->geometry().isEmpty());
        m_icon->show();
        QTRY_VERIFY(embedded(*m_icon));
    }
};

int main(int argc, char** argv)
{
    TestSupport::GuardedApplication<QApplication> app(argc, argv);
    TestTrayIcon test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_x11_trayicon.moc"
