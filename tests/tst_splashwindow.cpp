// The splash window at start and as the About box: how each closes, where
// the build label and close button go, and the links it opens.
#include "core/ProgramInfo.h"
#include "core/SplashLayout.h"
#include "support/TestSupport.h"
#include "ui/SplashWindow.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QStyle>
#include <QTest>
#include <QToolButton>

// Receives the links the window hands to the desktop.
class LinkCatcher final : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void openUrl(const QUrl& url) { opened << url; }
};

class TestSplashWindow final : public QObject
{
    Q_OBJECT

    LinkCatcher m_links;

private Q_SLOTS:
    void initTestCase()
    {
        for (const char* scheme : {"mailto", "https", "http"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_links, "openUrl");
    }
    void cleanupTestCase()
    {
        for (const char* scheme : {"mailto", "https", "http"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    void init() { m_links.opened.clear(); }

    // Each mode opened twice in a row: at start it closes itself after
    // about two seconds without a close button; as About it shows the
    // button and stays until it is clicked.
    void modes_data()
    {
        QTest::addColumn<bool>("startup");
        QTest::newRow("startup") << true;
        QTest::newRow("about") << false;
    }

    void modes()
    {
        QFETCH(bool, startup);
        for (int round = 0; round < 2; ++round) {
            SplashWindow window(startup ? SplashWindow::Mode::Startup : SplashWindow::Mode::About);
            QCOMPARE(window.picture()->pixmap().size(), QSize(387, 174));
            QCOMPARE(window.size(), QSize(387, 174));
            QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
            QElapsedTimer clock;
            clock.start();
            window.open();
            QCOMPARE(window.closeButton()->isVisible(), !startup);
            if (startup) {
                QVERIFY(QTest::qWaitFor([&] { return !window.isVisible(); }, 15000));
                QVERIFY2(clock.elapsed() >= 1500, qPrintable(QString::number(clock.elapsed())));
            } else {
                QTest::qWait(3000);
                QVERIFY(window.isVisible());
                QTest::mouseClick(window.closeButton(), Qt::LeftButton);
                QVERIFY(!window.isVisible());
            }
        }
    }

    void closing_data()
    {
        QTest::addColumn<bool>("startup");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Esc at start") << true << "escape" << true;
        QTest::newRow("Esc in About") << false << "escape" << true;
        QTest::newRow("double-click at start") << true << "double" << true;
        QTest::newRow("double-click in About") << false << "double" << true;
        QTest::newRow("single click") << false << "click" << false;
    }

    void closing()
    {
        QFETCH(bool, startup);
        QFETCH(QString, action);
        QFETCH(bool, closes);
        SplashWindow window(startup ? SplashWindow::Mode::Startup : SplashWindow::Mode::About);
        window.open();
        if (action == QLatin1String("escape"))
            QTest::keyClick(&window, Qt::Key_Escape);
        else if (action == QLatin1String("double"))
            QTest::mouseDClick(window.picture(), Qt::LeftButton, {}, QPoint(30, 150));
        else
            QTest::mouseClick(window.picture(), Qt::LeftButton, {}, QPoint(30, 150));
        QCOMPARE(window.isVisible(), !closes);
    }

    void layoutFormulas()
    {
        // Centred in the band 120 + 145, rounding toward zero also when the
        // label is wider than the band.
        const QList<QPair<int, int>> lefts{{0, 192}, {61, 162}, {62, 161}, {145, 120}, {200, 93}};
        for (const auto& [width, left] : lefts)
            QCOMPARE(SplashLayout::buildLabelLeft(width), left);
        QCOMPARE(SplashLayout::closeButtonGeometry(QSize(18, 18), 387), QRect(361, 10, 16, 14));

        SplashWindow window(SplashWindow::Mode::About);
        const QLabel* build = window.buildLabel();
        QVERIFY(ProgramInfo::buildDate().isValid());
        QCOMPARE(build->text(),
                 QStringLiteral("Build ") +
                     shortDateText(ProgramInfo::buildDate(), RegionalSettings::system()));
        QCOMPARE(build->pos(), QPoint(SplashLayout::buildLabelLeft(build->width()), 116));
        const int title = window.style()->pixelMetric(QStyle::PM_TitleBarButtonSize);
        QCOMPARE(window.closeButton()->geometry(),
                 SplashLayout::closeButtonGeometry(QSize(title, title), 387));
    }

    void links()
    {
        QCOMPARE(ProgramInfo::supportMailUrl(QStringLiteral("help@example.org"))
                     .toString(QUrl::FullyEncoded),
                 QStringLiteral("mailto:help@example.org?subject=Clipstow"));

        SplashWindow window(SplashWindow::Mode::About);
        window.open();
        QLabel* credit = window.creditLabel();
        QCOMPARE(credit->toolTip(), QStringLiteral(CLIPSTOW_SUPPORT_MAIL));
        // The line lights up under the mouse.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(credit, &enter);
        QVERIFY(credit->font().underline());
        QCOMPARE(credit->palette().color(QPalette::WindowText),
                 window.palette().color(QPalette::Highlight));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(credit, &leave);
        QVERIFY(!credit->font().underline());

        QTest::mouseClick(credit, Qt::LeftButton);
        QTest::mouseClick(window.webSiteButton(), Qt::LeftButton);
        QCOMPARE(
            m_links.opened,
            QList<QUrl>({QUrl(QStringLiteral("mailto:" CLIPSTOW_SUPPORT_MAIL "?subject=Clipstow")),
                         QUrl(QStringLiteral(CLIPSTOW_WEB_SITE))}));
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(TestSplashWindow)
#include "tst_splashwindow.moc"
