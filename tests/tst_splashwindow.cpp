// The splash window at start and as the About box: how each closes, where
// the build label and close button go, and the links it opens.
#include "core/ProgramInfo.h"
#include "core/SplashLayout.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"
#include "ui/HelpWindow.h"
#include "ui/SplashWindow.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
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
            window.open();
            QCOMPARE(window.closeButton()->isVisible(), mode == Mode::About);
            // The start-up splash closes itself after its time; its timer
            // is run short here instead of waiting for it.
            auto* timer = window.findChild<QTimer*>(QStringLiteral("closeTimer"));
            QVERIFY(timer);
            QCOMPARE(timer->isActive(), mode == Mode::Startup);
            if (mode == Mode::Startup) {
                QCOMPARE(timer->interval(), SplashWindow::StartupDurationMs);
                timer->start(0);
                QTRY_VERIFY(!window.isVisible());
                continue;
            }
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

    // The texts centred in the credit line's band, the close button in the
    // picture's corner; with a font half as large again nothing is cut and
    // the window only grows.
    void layout_data()
    {
        QTest::addColumn<double>("fontScale");
        QTest::newRow("designed font") << 1.0;
        QTest::newRow("font 1.5 times larger") << 1.5;
    }
    void layout()
    {
        QFETCH(double, fontScale);
        SplashWindow window(Mode::About);
        QFont font = window.font();
        font.setPointSizeF(font.pointSizeF() * fontScale);
        window.setFont(font);
        window.show();
        window.layout()->activate();
        const QLabel* build = window.buildLabel();
        QCOMPARE(build->text(),
                 QStringLiteral("Build ") +
                     shortDateText(ProgramInfo::buildDate(), RegionalSettings::system()));
        QVERIFY(window.width() >= 387 && window.height() >= 174);
        for (const QLabel* text : {build, static_cast<const QLabel*>(window.creditLabel())}) {
            QVERIFY(text->width() >= text->sizeHint().width());
            QVERIFY(window.rect().contains(text->geometry()));
            if (window.width() == 387)
                QVERIFY(std::abs(text->geometry().center().x() - 191) <= 1);
            // Centred there, it stays clear of the clipboard drawn at the left.
            if (fontScale == 1.0)
                QVERIFY(text->fontMetrics().horizontalAdvance(text->text()) <=
                        SplashLayout::CreditRoom);
        }
        if (fontScale == 1.0)
            QCOMPARE(build->y() + (build->height() - build->sizeHint().height()) / 2, 116);
        const int title = window.style()->pixelMetric(QStyle::PM_TitleBarButtonSize);
        const QRect close = window.closeButton()->geometry();
        QCOMPARE(close.size(), SplashLayout::closeButtonSize(QSize(title, title)));
        QCOMPARE(QPoint(window.width() - 1 - close.right(), close.top()), QPoint(10, 10));
    }

    // The credit line writes to the support address and the picture's
    // button opens the web site; a program built without them offers
    // neither, here and in the help window.
    void links_data()
    {
        QTest::addColumn<QString>("mail");
        QTest::addColumn<QString>("site");
        QTest::newRow("both set") << "help@clipstow.test"
                                  << "https://clipstow.test/";
        QTest::newRow("none set") << ""
                                  << "";
    }

    void links()
    {
        QFETCH(QString, mail);
        QFETCH(QString, site);
        ProgramInfo::setContacts(QStringLiteral("help@clipstow.test"),
                                 QStringLiteral("https://clipstow.test/"));
        const SplashWindow withBoth(Mode::About);
        ProgramInfo::setContacts(mail, site);
        LinkCatcher links;
        for (const char* scheme : {"mailto", "https", "http"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &links, "openUrl");
        SplashWindow window(Mode::About);
        window.open();
        QTest::mouseClick(window.creditLabel(), Qt::LeftButton);
        // A hidden button cannot be clicked.
        if (window.webSiteButton()->isVisibleTo(&window))
            QTest::mouseClick(window.webSiteButton(), Qt::LeftButton);
        for (const char* scheme : {"mailto", "https", "http"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        TestSupport::ScopedRegistry registry;
        HelpWindow help(registry.settings(), registry.errors());
        ProgramInfo::setContacts(QStringLiteral(CLIPSTOW_SUPPORT_MAIL),
                                 QStringLiteral(CLIPSTOW_WEB_SITE));
        QVERIFY(window.isVisible());
        QCOMPARE(window.webSiteButton()->isVisibleTo(&window), !site.isEmpty());
        QCOMPARE(help.websiteButton()->isVisibleTo(&help), !site.isEmpty());
        QCOMPARE(window.creditLabel()->toolTip(), mail);
        // The texts keep their places on the picture.
        QCOMPARE(window.creditLabel()->geometry(), withBoth.creditLabel()->geometry());
        if (mail.isEmpty()) {
            QCOMPARE(links.opened, QList<QUrl>());
            return;
        }
        QCOMPARE(links.opened.value(0).toString(QUrl::FullyEncoded),
                 QStringLiteral("mailto:%1?subject=Clipstow").arg(mail));
        QCOMPARE(links.opened.value(1), QUrl(site));
        QCOMPARE(links.opened.size(), 2);
    }
};

CLIPSTOW_TEST_MAIN(TestSplashWindow)
#include "tst_splashwindow.moc"
