// The help window: how its texts switch and what it keeps between showings,
// its size limits, the viewer's font, and that the documentation names
// every shortcut the program has.
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "support/DesktopFixture.h"
#include "support/TestMain.h"
#include "ui/Commands.h"
#include "ui/HelpWindow.h"

#include <QApplication>
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

    // First the features; each button shows its own text from the start;
    // after "&More" and a close, the window comes back with the more text.
    void textsSwitchAndStay()
    {
        HelpWindow help(m_desk->settings(), m_desk->reporter());
        QCOMPARE(help.viewer()->toPlainText(), HelpWindow::topicText(Topic::Features));
        help.present();
        QScrollBar* scroll = help.viewer()->verticalScrollBar();
        for (Topic topic : {Topic::HowToUse, Topic::License, Topic::More}) {
            scroll->setValue(scroll->maximum());
            QTest::mouseClick(help.topicButton(topic), Qt::LeftButton);
            QCOMPARE(help.viewer()->toPlainText(), HelpWindow::topicText(topic));
            QCOMPARE(scroll->value(), 0);
        }
        QVERIFY(HelpWindow::topicText(Topic::License)
                    .startsWith(QStringLiteral("MIT License\n\nCopyright (c) 2026 The Clipstow")));
        help.close();
        help.present();
        QCOMPARE(help.viewer()->toPlainText(), HelpWindow::topicText(Topic::More));

        help.resize(100, 100);
        QVERIFY(help.width() >= 450);
        QCOMPARE(help.height(), 150);
    }

    // The "How to use" table lists every shortcut of the menus, so the help
    // cannot fall behind them unnoticed.
    void everyShortcutDocumented()
    {
        QObject owner;
        const std::vector<QAction*> commands = Commands::create(&owner).all();
        const QString howTo = HelpWindow::topicText(Topic::HowToUse);
        for (const QAction* action : commands) {
            const QString key = action->shortcut().toString(QKeySequence::PortableText);
            QVERIFY2(key.isEmpty() || howTo.contains(u'\n' + key + QStringLiteral(" - ")),
                     qPrintable(key));
        }
    }

    // The font stored at the last shutdown is read at each activation;
    // without one the viewer keeps its own font, plain. A wrong-typed value
    // is reported once, not at every activation.
    void fontReadAtActivation()
    {
        HelpWindow help(m_desk->settings(), m_desk->reporter());
        QWidget other;
        const QString ownFamily = help.viewer()->font().family();
        activate(help);
        QCOMPARE(help.viewer()->font().family(), ownFamily);
        QVERIFY(!help.viewer()->font().bold());

        FontRecord record;
        record.font = QFont(QStringLiteral("DejaVu Serif"), 15);
        record.font.setItalic(true);
        m_desk->settings().setEditorFont(record);
        activate(other);
        activate(help);
        QCOMPARE(help.viewer()->font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(help.viewer()->font().pointSize(), 15);
        QVERIFY(help.viewer()->font().italic());

        RegTools::writeString(m_desk->store(), QString::fromLatin1(Layout::FontKey),
                              QStringLiteral("Size"), QStringLiteral("large"));
        for (int i = 0; i < 3; ++i) {
            activate(other);
            activate(help);
        }
        QCOMPARE(m_desk->errors().size(), 1);
    }
};

CLIPSTOW_TEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
