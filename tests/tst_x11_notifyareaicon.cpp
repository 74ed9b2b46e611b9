// The notification-area icon on a real X server with a tray host (trayer):
// clicks are made with xdotool at the place the host shows the icon.
#include "base/AppError.h"
#include "core/ErrorReporter.h"
#include "ui/NotifyAreaIcon.h"

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QStyleHints>
#include <QtTest>
#include <memory>

namespace {

QIcon solidIcon(Qt::GlobalColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

// Counts what is asked of the status-icon service; can refuse adds.
class SpyIcon final : public NotifyAreaIcon
{
public:
    using NotifyAreaIcon::NotifyAreaIcon;
    int adds = 0;
    int modifies = 0;
    int refuseAdds = 0;

protected:
    bool AddToArea() override
    {
        ++adds;
        if (refuseAdds > 0) {
            --refuseAdds;
            return false;
        }
        return NotifyAreaIcon::AddToArea();
    }
    void ModifyInArea() override
    {
        ++modifies;
        NotifyAreaIcon::ModifyInArea();
    }
};

QString buttonName(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return "left";
    case Qt::RightButton:
        return "right";
    case Qt::MiddleButton:
        return "middle";
    default:
        return "none";
    }
}

// Writes every event of the icon, and what the menu does, into one list.
struct EventLog
{
    QStringList entries;
    QPoint lastPos;

    void watch(NotifyAreaIcon& icon)
    {
        auto entry = [this](const char* name) {
            return [this, name](NotifyAreaIcon*, Qt::MouseButton button,
                                NotifyAreaIcon::ShiftState shift, int x, int y) {
                QString text = QString("%1 %2").arg(name, buttonName(button));
                if (shift & NotifyAreaIcon::ssDouble)
                    text += " double";
                entries << text;
                lastPos = QPoint(x, y);
            };
        };
        QObject::connect(&icon, &NotifyAreaIcon::OnMouseDown, entry("down"));
        QObject::connect(&icon, &NotifyAreaIcon::OnClick, entry("click"));
        QObject::connect(&icon, &NotifyAreaIcon::OnMouseUp, entry("up"));
        QObject::connect(&icon, &NotifyAreaIcon::OnDblClick,
                         [this](NotifyAreaIcon*) { entries << "dblclick"; });
    }
};

// Waits until the tray host has taken the icon in: until then the icon's
// window has a size but sits at the origin (the tray here is at the top
// right).
void waitEmbedded(const NotifyAreaIcon& icon)
{
    QTRY_VERIFY(!icon.Geometry().isEmpty() && icon.Geometry().topLeft() != QPoint(0, 0));
}

// Clicks `count` times with `button` (1 left, 2 middle, 3 right) at the
// middle of the icon.
void clickIcon(const NotifyAreaIcon& icon, int button, int count = 1)
{
    // Clicks of two tests must not make a double-click.
    static QElapsedTimer sinceLast;
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    if (sinceLast.isValid() && sinceLast.elapsed() < interval + 100)
        QTest::qWait(int(interval + 100 - sinceLast.elapsed()));
    const QPoint centre = icon.Geometry().center();
    QCOMPARE(QProcess::execute("xdotool",
                               {"mousemove", QString::number(centre.x()),
                                QString::number(centre.y()), "click", "--repeat",
                                QString::number(count), "--delay", "80", QString::number(button)}),
             0);
    sinceLast.start();
}

// The tray menu as the main window builds it: a bold default first item.
struct Menu
{
    std::unique_ptr<QMenu> menu = std::make_unique<QMenu>();
    QAction* capture = menu->addAction("Cli&pstow");
    QAction* other = menu->addAction("E&xit");
    int captures = 0;
    int others = 0;
    Menu()
    {
        menu->setDefaultAction(capture);
        QObject::connect(capture, &QAction::triggered, [this] { ++captures; });
        QObject::connect(other, &QAction::triggered, [this] { ++others; });
    }
};

} // namespace

class TestNotifyAreaIcon final : public QObject
{
    Q_OBJECT

    std::unique_ptr<SpyIcon> m_icon;
    EventLog m_log;

    // An icon shown in the tray, its events logged.
    void showIcon()
    {
        m_icon = std::make_unique<SpyIcon>();
        m_log = EventLog();
        m_log.watch(*m_icon);
        m_icon->setIcon(solidIcon(Qt::red));
        QVERIFY(m_icon->IsAdded());
        waitEmbedded(*m_icon);
    }

private Q_SLOTS:
    void initTestCase() { QTRY_VERIFY(QSystemTrayIcon::isSystemTrayAvailable()); }

    void cleanup()
    {
        m_icon.reset();
        ErrorReporter::setHook({});
        // Let the tray host take the icon away before the next test.
        QTest::qWait(200);
    }

    void iconWithoutImageIsNotShown()
    {
        SpyIcon icon;
        QVERIFY(icon.Active());
        QVERIFY(!icon.IsAdded());
        icon.setHint("no image yet");
        QCOMPARE(icon.adds, 0);
        QVERIFY(!icon.IsAdded());

        icon.setIcon(solidIcon(Qt::red));
        QCOMPARE(icon.adds, 1);
        QVERIFY(icon.IsAdded());
        waitEmbedded(icon);
        QCOMPARE(icon.ToolTip(), QString("no image yet"));

        // An empty image takes the icon away.
        icon.setIcon(QIcon());
        QVERIFY(!icon.IsAdded());
        QTRY_VERIFY(icon.Geometry().isEmpty());
    }

    void activeRemovesAndAddsTheIcon()
    {
        SpyIcon icon(nullptr, solidIcon(Qt::blue));
        QVERIFY(icon.IsAdded());
        waitEmbedded(icon);
        icon.setActive(false);
        QVERIFY(!icon.IsAdded());
        QTRY_VERIFY(icon.Geometry().isEmpty());
        // Not active: a new image does not bring the icon back.
        icon.setIcon(solidIcon(Qt::green));
        QVERIFY(!icon.IsAdded());
        icon.setActive(true);
        QVERIFY(icon.IsAdded());
        waitEmbedded(icon);
    }

    void refusedAddIsRetriedAtNextChange_data()
    {
        QTest::addColumn<bool>("byHint");
        QTest::newRow("hint") << true;
        QTest::newRow("icon") << false;
    }

    void refusedAddIsRetriedAtNextChange()
    {
        QFETCH(bool, byHint);
        SpyIcon icon;
        icon.refuseAdds = 1;
        icon.setIcon(solidIcon(Qt::red));
        QCOMPARE(icon.adds, 1);
        QVERIFY(!icon.IsAdded());
        if (byHint)
            icon.setHint("retry");
        else
            icon.setIcon(solidIcon(Qt::yellow));
        QCOMPARE(icon.adds, 2);
        QVERIFY(icon.IsAdded());
        waitEmbedded(icon);
    }

    void tooltip_data()
    {
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("tooltip");
        const QString hundred = QString("0123456789").repeated(10);
        QTest::newRow("100 characters") << hundred << hundred.left(63);
        QTest::newRow("exactly 63") << hundred.left(63) << hundred.left(63);
        QTest::newRow("bar") << "Auto mode on|Click to capture"
                             << "Auto mode on";
        QTest::newRow("two bars") << "a|b|c"
                                  << "a";
        QTest::newRow("leading bar") << "|rest"
                                     << "";
        QTest::newRow("bar after 63") << hundred.left(70) + "|x" << hundred.left(63);
        // A character outside the BMP straddling the limit is left out whole.
        QTest::newRow("surrogate pair at the limit")
            << hundred.left(62) + QString::fromUtf8("\xF0\x9F\x93\x8B") << hundred.left(62);
    }

    void tooltip()
    {
        QFETCH(QString, hint);
        QFETCH(QString, tooltip);
        SpyIcon icon(nullptr, solidIcon(Qt::red));
        icon.setHint(hint);
        QCOMPARE(icon.Hint(), hint);
        QCOMPARE(icon.ToolTip(), tooltip);
        QCOMPARE(NotifyAreaIcon::ShortHint(hint), tooltip);
    }

    void sameHintSendsNothing()
    {
        SpyIcon icon(nullptr, solidIcon(Qt::red));
        QVERIFY(icon.IsAdded());
        icon.setHint("Clipstow");
        QCOMPARE(icon.modifies, 1);
        icon.setHint("Clipstow");
        QCOMPARE(icon.modifies, 1);
        // Same short text, different hint: it is sent.
        icon.setHint("Clipstow|more");
        QCOMPARE(icon.modifies, 2);
        // An image is always sent, even the same one.
        icon.setIcon(icon.Icon());
        QCOMPARE(icon.modifies, 3);
    }

    void popupMenuClearedWhenMenuDestroyed()
    {
        NotifyAreaIcon icon;
        auto menu = std::make_unique<QMenu>();
        icon.setPopupMenu(menu.get());
        QCOMPARE(icon.PopupMenu(), menu.get());
        menu.reset();
        QCOMPARE(icon.PopupMenu(), nullptr);
    }

    void leftAndMiddleClickEvents_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("left") << 1 << QStringList{"down left", "click left", "up left"};
        QTest::newRow("middle") << 2 << QStringList{"down middle", "up middle"};
    }

    void leftAndMiddleClickEvents()
    {
        QFETCH(int, button);
        QFETCH(QStringList, events);
        showIcon();
        clickIcon(*m_icon, button);
        QTRY_COMPARE(m_log.entries, events);
        QVERIFY(m_icon->Geometry().contains(m_log.lastPos));
    }

    void doubleClickRunsDefaultItemOnce()
    {
        showIcon();
        Menu menu;
        m_icon->setPopupMenu(menu.menu.get());
        // Start-up has not yet let the menu pop up: the double-click works.
        NotifyAreaIcon::setAutoPopup(menu.menu.get(), false);
        QObject::connect(menu.capture, &QAction::triggered,
                         [this] { m_log.entries << "default item"; });
        clickIcon(*m_icon, 1, 2);
        const QStringList expected{"down left",    "click left",       "up left",
                                   "default item", "down left double", "up left"};
        QTRY_COMPARE(m_log.entries, expected);
        QTest::qWait(300);
        QCOMPARE(m_log.entries, expected);
        QCOMPARE(menu.captures, 1);
        QCOMPARE(menu.others, 0);
    }

    void doubleClickWithoutUsableDefaultItem_data()
    {
        QTest::addColumn<QString>("menuState");
        QTest::newRow("no menu") << "none";
        QTest::newRow("no default item") << "no default";
        QTest::newRow("default item disabled") << "disabled";
    }

    void doubleClickWithoutUsableDefaultItem()
    {
        QFETCH(QString, menuState);
        showIcon();
        Menu menu;
        if (menuState != "none")
            m_icon->setPopupMenu(menu.menu.get());
        if (menuState == "no default")
            menu.menu->setDefaultAction(nullptr);
        if (menuState == "disabled")
            menu.capture->setEnabled(false);
        clickIcon(*m_icon, 1, 2);
        QTRY_VERIFY(m_log.entries.contains("up left double") ||
                    m_log.entries.count("up left") == 2);
        QCOMPARE(m_log.entries.count("dblclick"), 1);
        QCOMPARE(menu.captures, 0);
    }

    void rightClickWithAutoPopupOffRaisesClick()
    {
        showIcon();
        Menu menu;
        m_icon->setPopupMenu(menu.menu.get());
        NotifyAreaIcon::setAutoPopup(menu.menu.get(), false);
        int shown = 0;
        QObject::connect(menu.menu.get(), &QMenu::aboutToShow, [&shown] { ++shown; });
        clickIcon(*m_icon, 3);
        QTRY_COMPARE(m_log.entries, (QStringList{"down right", "click right", "up right"}));
        QCOMPARE(shown, 0);
    }

    void rightClickOpensMenuAndRunsChosenItem()
    {
        showIcon();
        Menu menu;
        m_icon->setPopupMenu(menu.menu.get());
        NotifyAreaIcon::setAutoPopup(menu.menu.get(), true);
        QObject::connect(menu.menu.get(), &QMenu::aboutToShow, [this, &menu] {
            m_log.entries << "menu opened";
            // Choose the second item as the user would, with the keyboard.
            QTimer::singleShot(300, menu.menu.get(), [] {
                QProcess::execute("xdotool", {"key", "--delay", "80", "Down", "Down", "Return"});
            });
        });
        QObject::connect(menu.menu.get(), &QMenu::aboutToHide,
                         [this] { m_log.entries << "menu closed"; });
        QObject::connect(menu.other, &QAction::triggered, [this] { m_log.entries << "exit"; });
        clickIcon(*m_icon, 3);
        QTRY_COMPARE(m_log.entries,
                     (QStringList{"down right", "menu opened", "menu closed", "exit", "up right"}));
        QCOMPARE(menu.menu->property("PopupComponent").value<QObject*>(), m_icon.get());
        QCOMPARE(menu.others, 1);
        QCOMPARE(menu.captures, 0);
    }

    void disabledIconDropsMouseReports()
    {
        showIcon();
        m_icon->setEnabled(false);
        clickIcon(*m_icon, 1);
        QTest::qWait(500);
        QCOMPARE(m_log.entries, QStringList());
        m_icon->setEnabled(true);
        clickIcon(*m_icon, 1);
        QTRY_COMPARE(m_log.entries.size(), 3);
    }

    void handlerFailureIsShownAndIconGoesOn()
    {
        QStringList shown;
        ErrorReporter::setHook([&shown](const QString& text) { shown << text; });
        showIcon();
        QObject::connect(m_icon.get(), &NotifyAreaIcon::OnMouseDown,
                         [] { throw AppError("Cannot open file Default1.txt"); });
        clickIcon(*m_icon, 1);
        QTRY_COMPARE(m_log.entries, (QStringList{"down left", "click left", "up left"}));
        QCOMPARE(shown, QStringList{"Cannot open file Default1.txt."});
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestNotifyAreaIcon test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_x11_notifyareaicon.moc"
