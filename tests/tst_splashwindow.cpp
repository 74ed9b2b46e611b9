// The splash window at start and as the About box: how each closes, where
// the build label and close button go, and the links it opens.
#include "core/ProgramInfo.h"
#include "core/SplashLayout.h"
#include "support/TestMain.h"
#include "ui/SplashWindow.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QStyle>
#include <QTest>
#include <QToolButton>

using Mode = SplashWindow::Mode;

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

private Q_SLOTS:
    // Each mode opened twice in a row: at start the window closes itself
    // after about two seconds and has no close button; as About it has the
    // button and stays until it is clicked.
    void modes_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::newRow("startup") << Mode::Startup;
        QTest::newRow("about") << Mode::About;
    }

    void modes()
    {
        QFETCH(Mode, mode);
        for (int round = 0; round < 2; ++round) {
            SplashWindow window(mode);
            QCOMPARE(window.picture()->pixmap().size(), QSize(387, 174));
            QElapsedTimer clock;
            clock.start();
            window.open();
            QCOMPARE(window.closeButton()->isVisible(), mode == Mode::About);
            if (mode == Mode::Startup) {
                QVERIFY(QTest::qWaitFor([&] { return !window.isVisible(); }, 15000));
                QVERIFY2(clock.elapsed() >= 1500, qPrintable(QString::number(clock.elapsed())));
                continue;
            }
            QTest::qWait(3000);
            QVERIFY(window.isVisible());
            QTest::mouseClick(window.closeButton(), Qt::LeftButton);
            QVERIFY(!window.isVisible());
        }
    }

    // Esc and a double-click on the picture close either mode; a single
    // click does nothing.
    void closing()
    {
        for (const Mode mode : {Mode::Startup, Mode::About}) {
            SplashWindow byKey(mode);
            byKey.open();
            QTest::keyClick(&byKey, Qt::Key_Escape);
            QVERIFY(!byKey.isVisible());
            SplashWindow byMouse(mode);
            byMouse.open();
            QTest::mouseClick(byMouse.picture(), Qt::LeftButton, {}, QPoint(30, 150));
            QVERIFY(byMouse.isVisible());
            QTest::mouseDClick(byMouse.picture(), Qt::LeftButton, {}, QPoint(30, 150));
            QVERIFY(!byMouse.isVisible());
        }
    }

    void layout()
    {
        // Centred in the band from 120, 145 wide, rounding toward zero also
        // for a label wider than the band.
        const QList<QPair<int, int>> lefts{{0, 192}, {61, 162}, {62, 161}, {200, 93}};
        for (const auto& [width, left] : lefts)
            QCOMPARE(SplashLayout::buildLabelLeft(width), left);
        QCOMPARE(SplashLayout::closeButtonGeometry(QSize(18, 18), 387), QRect(361, 10, 16, 14));

        SplashWindow window(Mode::About);
        const QLabel* build = window.buildLabel();
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
        LinkCatcher links;
        for (const char* scheme : {"mailto", "https", "http"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &links, "openUrl");
        SplashWindow window(Mode::About);
        window.open();
        QTest::mouseClick(window.creditLabel(), Qt::LeftButton);
        QTest::mouseClick(window.webSiteButton(), Qt::LeftButton);
        for (const char* scheme : {"mailto", "https", "http"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        QCOMPARE(links.opened.value(0).toString(QUrl::FullyEncoded),
                 QStringLiteral("mailto:" CLIPSTOW_SUPPORT_MAIL "?subject=Clipstow"));
        QCOMPARE(links.opened.value(1), QUrl(QStringLiteral(CLIPSTOW_WEB_SITE)));
        QCOMPARE(links.opened.size(), 2);
        QVERIFY(window.isVisible());
    }
};

CLIPSTOW_TEST_MAIN(TestSplashWindow)
#include "tst_splashwindow.moc"
