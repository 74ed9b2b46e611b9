// Where the main and remote windows reopen: the stored texts read back as
// geometry and state, the texts written, and the automatic reads and writes
// of the remote window.
#include "base/AppError.h"
#include "settings/PlacementStore.h"
#include "settings/RegistryStore.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"
#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <map>

namespace {

using Values = std::map<QString, QString>;

QString sectionPath()
{
    return Placement::sectionPath(Placement::Window::Main);
}

QString suffix()
{
    return Placement::screenSuffix(QGuiApplication::primaryScreen()->geometry().size());
}

void store(RegistryStore& store, const Values& values)
{
    RegKey key = *store.openKey(RegRoot::CurrentUser, sectionPath(), true);
    for (const auto& [name, text] : values) {
        QString realName = name;
        realName.replace(QStringLiteral("@"), suffix());
        key.setValue(realName, RegType::Sz, RegValue::encodeString(text));
    }
}

QString stored(RegistryStore& store, const QString& name)
{
    const std::optional<RegKey> key = store.openKey(RegRoot::CurrentUser, sectionPath(), false);
    if (!key)
        return QStringLiteral("<no key>");
    const std::optional<RegValue> value = key->value(name);
    return value ? RegValue::decodeString(value->data) : QStringLiteral("<missing>");
}

// A main window (resizable) or a remote window (fixed size) at a known place.
std::unique_ptr<QWidget> window(bool fixed)
{
    auto w = std::make_unique<QWidget>();
    if (fixed)
        w->setFixedSize(116, 22);
    else
        w->resize(401, 380);
    w->move(100, 100);
    return w;
}

} // namespace

class TestWindowPlacement final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reading_data();
    void reading();
    void writtenTextsRoundTrip();
    void wrongTypeIsReported();
    void remoteWindowReadsAndWritesByItself();
    void farOffScreenComesBack();
};

void TestWindowPlacement::reading_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<bool>("maximized");

    const QRect unchanged(100, 100, 401, 380);
    QTest::newRow("nothing stored") << Values{} << false << unchanged << false;
    QTest::newRow("blanks and commas mixed")
        << Values{{QStringLiteral("NormPos@"), QStringLiteral("10 20,300 400")}} << false
        << QRect(10, 20, 290, 380) << false;
    QTest::newRow("other resolution: plain value")
        << Values{{QStringLiteral("NormPos(1x1)"), QStringLiteral("1,1,50,50")},
                  {QStringLiteral("NormPos"), QStringLiteral("30,40,330,440")}}
        << false << QRect(30, 40, 300, 400) << false;
    QTest::newRow("empty suffixed value: plain value")
        << Values{{QStringLiteral("NormPos@"), QString()},
                  {QStringLiteral("NormPos"), QStringLiteral("30,40,330,440")}}
        << false << QRect(30, 40, 300, 400) << false;
    QTest::newRow("missing numbers keep the window's")
        << Values{{QStringLiteral("NormPos@"), QStringLiteral("10,20")}} << false
        << QRect(10, 20, 491, 460) << false;
    QTest::newRow("other pixels per inch: state only")
        << Values{{QStringLiteral("NormPos@"), QStringLiteral("10,20,300,400")},
                  {QStringLiteral("PixelsPerInch"), QStringLiteral("1000")},
                  {QStringLiteral("ShowCmd"), QStringLiteral("3")}}
        << false << unchanged << true;
    QTest::newRow("right edge not right of left edge")
        << Values{{QStringLiteral("NormPos@"), QStringLiteral("300,20,300,400")}} << false
        << unchanged << false;
    QTest::newRow("fixed window keeps its size")
        << Values{{QStringLiteral("NormPos@"), QStringLiteral("50,60,50,60")}} << true
        << QRect(50, 60, 116, 22) << false;
    // Limited to the screen, and brought wholly onto it.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::newRow("huge stored size")
        << Values{{QStringLiteral("NormPos@"), QStringLiteral("0,0,30000,30000")}} << false
        << screen << false;
    QTest::newRow("largest numbers")
        << Values{{QStringLiteral("NormPos@"),
                   QStringLiteral("-2147483648,-2147483648,2147483647,2147483647")}}
        << false << screen << false;
    QTest::newRow("non-numeric show command")
        << Values{{QStringLiteral("ShowCmd"), QStringLiteral("x")}} << false << unchanged << false;
}

void TestWindowPlacement::reading()
{
    QFETCH(Values, values);
    QFETCH(bool, fixed);
    QFETCH(QRect, frame);
    QFETCH(bool, maximized);
    TestSupport::ScopedRegistry registry;
    store(registry.store(), values);
    auto w = window(fixed);
    WindowPlacement placement(*w, registry.settings(), Placement::Window::Main,
                              WindowPlacement::Mode::Explicit, true);
    placement.read();
    QCOMPARE(bool(w->windowState() & Qt::WindowMaximized), maximized);
    // A maximized window keeps its normal rectangle for later.
    QCOMPARE(maximized ? w->normalGeometry() : w->frameGeometry(), frame);
    QVERIFY(placement.restored());
}

void TestWindowPlacement::writtenTextsRoundTrip()
{
    TestSupport::ScopedRegistry registry;
    auto w = window(false);
    w->setGeometry(20, 30, 400, 300);
    WindowPlacement placement(*w, registry.settings(), Placement::Window::Main,
                              WindowPlacement::Mode::Explicit, true);
    placement.write();
    QCOMPARE(stored(registry.store(), QStringLiteral("Flags")), QStringLiteral("0"));
    QCOMPARE(stored(registry.store(), QStringLiteral("ShowCmd")), QStringLiteral("1"));
    QCOMPARE(stored(registry.store(), QStringLiteral("PixelsPerInch")),
             QString::number(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch())));
    QCOMPARE(stored(registry.store(), QStringLiteral("MinMaxPos") + suffix()),
             QStringLiteral("-1,-1,-1,-1"));
    QCOMPARE(stored(registry.store(), QStringLiteral("MinMaxPos")), QStringLiteral("-1,-1,-1,-1"));
    QCOMPARE(stored(registry.store(), QStringLiteral("NormPos") + suffix()),
             QStringLiteral("20,30,420,330"));
    QCOMPARE(stored(registry.store(), QStringLiteral("NormPos")), QStringLiteral("20,30,420,330"));
    QCOMPARE(stored(registry.store(), QStringLiteral("Visible")), QStringLiteral("0"));

    auto again = window(false);
    WindowPlacement next(*again, registry.settings(), Placement::Window::Main,
                         WindowPlacement::Mode::Explicit, true);
    next.read();
    QCOMPARE(again->frameGeometry(), QRect(20, 30, 400, 300));
}

void TestWindowPlacement::wrongTypeIsReported()
{
    TestSupport::ScopedRegistry registry;
    RegKey key = *registry.store().openKey(RegRoot::CurrentUser, sectionPath(), true);
    key.setValue(QStringLiteral("ShowCmd"), RegType::Dword, RegValue::encodeDword(3));
    QStringList reported;
    registry.settings().setReport(
        [&reported](const AppError& failure) { reported << failure.message(); });
    auto w = window(false);
    WindowPlacement placement(*w, registry.settings(), Placement::Window::Main,
                              WindowPlacement::Mode::Explicit, true);
    placement.read();
    placement.read();
    QCOMPARE(reported, QStringList{QStringLiteral("Invalid data type for 'ShowCmd'")});
    QCOMPARE(w->frameGeometry(), QRect(100, 100, 401, 380));
}

void TestWindowPlacement::remoteWindowReadsAndWritesByItself()
{
    TestSupport::ScopedRegistry registry;
    {
        auto never = window(true);
        WindowPlacement placement(*never, registry.settings(), Placement::Window::Main,
                                  WindowPlacement::Mode::Automatic, false);
        placement.windowDestroyed();
    }
    QCOMPARE(stored(registry.store(), QStringLiteral("Visible")), QStringLiteral("<no key>"));

    store(registry.store(), {{QStringLiteral("NormPos@"), QStringLiteral("70,80,0,0")}});
    auto remote = window(true);
    WindowPlacement placement(*remote, registry.settings(), Placement::Window::Main,
                              WindowPlacement::Mode::Automatic, false);
    remote->show();
    QVERIFY(placement.restored());
    QCOMPARE(remote->frameGeometry().topLeft(), QPoint(70, 80));
    remote->move(90, 95);
    placement.windowClosed();
    remote->hide();
    QCOMPARE(stored(registry.store(), QStringLiteral("Visible")), QStringLiteral("0"));
    const QSize frame = remote->frameGeometry().size();
    QCOMPARE(stored(registry.store(), QStringLiteral("NormPos")),
             QStringLiteral("90,95,%1,%2").arg(90 + frame.width()).arg(95 + frame.height()));
    // Shown again it comes back where it was written; destroyed with no
    // write since, it writes once more, as visible.
    remote->move(0, 0);
    remote->show();
    QCOMPARE(remote->frameGeometry().topLeft(), QPoint(90, 95));
    placement.windowDestroyed();
    QCOMPARE(stored(registry.store(), QStringLiteral("Visible")), QStringLiteral("1"));
}

void TestWindowPlacement::farOffScreenComesBack()
{
    TestSupport::ScopedRegistry registry;
    store(registry.store(),
          {{QStringLiteral("NormPos@"), QStringLiteral("-5000,9000,-4600,9300")}});
    auto w = window(false);
    WindowPlacement placement(*w, registry.settings(), Placement::Window::Main,
                              WindowPlacement::Mode::Explicit, true);
    placement.read();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(area.contains(w->frameGeometry()),
             qPrintable(
                 QStringLiteral("%1,%2").arg(w->frameGeometry().x()).arg(w->frameGeometry().y())));
    QCOMPARE(w->frameGeometry().size(), QSize(400, 300));
}

CLIPSTOW_TEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
