// The help window: its texts and how they switch, what it keeps between
// showings, its size limits, the viewer's context menu and font, and that
// the documentation names every shortcut the program has.
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "support/DesktopFixture.h"
#include "support/RecordingLauncher.h"
#include "ui/HelpWindow.h"
#include "ui/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using Topic = HelpWindow::Topic;

class TestHelpWindow final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSupport::DesktopFixture> m_desk;

    static void activate(QWidget& window)
    {
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

private Q_SLOTS:
    void init() { m_desk = std::make_unique<TestSupport::DesktopFixture>(); }
    void cleanup() { m_desk.reset(); }

    // First the features; each button shows its text from the start; after
    // "&More" and a close, showing the window again keeps the more text.
    void textsSwitchAndStay()
    {
        HelpWindow help;
        QCOMPARE(help.windowTitle(), QStringLiteral("Clipstow Help"));
        QCOMPARE(help.viewer()->toPlainText(), HelpWindow::topicText(Topic::Features));
        help.present();
        QStringList seen;
        for (Topic topic : {Topic::HowToUse, Topic::License, Topic::More}) {
            help.viewer()->verticalScrollBar()->setValue(
                help.viewer()->verticalScrollBar()->maximum());
            QTest::mouseClick(help.topicButton(topic), Qt::LeftButton);
            const QString text = help.viewer()->toPlainText();
            QCOMPARE(text, HelpWindow::topicText(topic));
            QCOMPARE(help.viewer()->verticalScrollBar()->value(), 0);
            QVERIFY(!seen.contains(text));
            seen << text;
        }
        help.close();
        QVERIFY(!help.isVisible());
        help.present();
        QCOMPARE(help.topic(), Topic::More);
        QCOMPARE(help.viewer()->toPlainText(), HelpWindow::topicText(Topic::More));
    }

    // The project's licence, its paragraphs joined for the viewer's wrapping.
    void licenseText()
    {
        const QString text = HelpWindow::topicText(Topic::License);
        QVERIFY(text.startsWith(
            QStringLiteral("MIT License\n\nCopyright (c) 2026 The Clipstow developers\n\n")));
        QVERIFY(
            text.contains(QStringLiteral("of this software and associated documentation files")));
        QVERIFY(text.endsWith(QStringLiteral("DEALINGS IN THE SOFTWARE.")));
    }

    // Every shortcut of the main window and its editors is in the table of
    // "How to use", so the help cannot fall behind the menus unnoticed.
    void everyShortcutDocumented()
    {
        TMainForm main;
        const QString howTo = HelpWindow::topicText(Topic::HowToUse);
        int shortcuts = 0;
        QList<QAction*> commands = main.PopupMenu1()->actions();
        for (const QAction* menu : main.menuBar()->actions())
            commands += menu->menu()->actions();
        for (const QAction* action : commands) {
            if (action->shortcut().isEmpty())
                continue;
            ++shortcuts;
            const QString key = action->shortcut().toString(QKeySequence::PortableText);
            QVERIFY2(howTo.contains(QLatin1Char('\n') + key + QStringLiteral(" - ")),
                     qPrintable(key + QStringLiteral(" (") + action->text() + u')'));
        }
        QVERIFY(shortcuts >= 20);
    }

    void sizeLimits()
    {
        HelpWindow help;
        QVERIFY(help.width() >= 450);
        QCOMPARE(help.height(), 350);
        help.show();
        help.resize(100, 100);
        QVERIFY(help.width() >= 450);
        QCOMPARE(help.height(), 150);
    }

    void contextMenuCopiesAndWebsiteOpens()
    {
        TestSupport::RecordingLauncher launcher;
        HelpWindow help;
        QVERIFY(!help.copyAction()->isEnabled());
        help.selectAllAction()->trigger();
        QVERIFY(help.copyAction()->isEnabled());
        help.copyAction()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), HelpWindow::topicText(Topic::Features));

        QTest::mouseClick(help.websiteButton(), Qt::LeftButton);
        QCOMPARE(launcher.calls.size(), 1);
        QCOMPARE(launcher.calls[0].url, QUrl(QStringLiteral("https://example.org/clipstow")));
        QCOMPARE(help.websiteButton()->toolTip(), QStringLiteral("https://example.org/clipstow"));
    }

    // The font stored at the last shutdown is read each time the window
    // becomes active; without a Font key the viewer keeps its own font, plain.
    void fontReadAtActivation()
    {
        HelpWindow help;
        QFont own = help.viewer()->font();
        own.setBold(false);
        activate(help);
        QCOMPARE(help.viewer()->font().family(), own.family());
        QVERIFY(!help.viewer()->font().bold());

        FontRecord record;
        record.font = QFont(QStringLiteral("DejaVu Serif"), 15);
        record.font.setItalic(true);
        Layout::writeFont(record);
        QCOMPARE(help.viewer()->font().pointSize(), own.pointSize());
        QWidget other;
        activate(other);
        activate(help);
        QCOMPARE(help.viewer()->font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(help.viewer()->font().pointSize(), 15);
        QVERIFY(help.viewer()->font().italic());
    }

    // A wrong-typed font value is reported once, not at every activation
    // (the error box itself takes the activation away and gives it back).
    void badFontReportedOnce()
    {
        WriteRegStr(QString::fromLatin1(Layout::FontKey), QStringLiteral("Size"),
                    QStringLiteral("large"));
        HelpWindow help;
        QWidget other;
        for (int i = 0; i < 3; ++i) {
            activate(help);
            activate(other);
        }
        QCOMPARE(m_desk->errors().size(), 1);
    }
};

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
