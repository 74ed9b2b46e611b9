// Every window in another language: under a pseudo-translation that wraps
// each marked text in marks, a text shown without them is one nobody
// marked; in German and French no menu or dialog gives an accelerator
// letter twice. The windows are opened through the program's commands.
#include "app/Startup.h"
#include "support/DesktopFixture.h"
#include "support/TestMain.h"
#include "ui/AgreementDialog.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <functional>

namespace {

const QString PseudoFile = QStringLiteral(PSEUDO_QM);

// Names and data, which stay as they are in every language.
bool isData(const QString& text)
{
    static const QRegularExpression data(
        QStringLiteral("^(Clipstow( 3)?|.*\\.txt|/.*|© .*|[^A-Za-z]*)$"));
    return data.match(text).hasMatch();
}

// The texts a user reads or hears on widget and its children, each with
// where it was found.
QStringList shownTexts(QWidget* widget)
{
    QStringList texts;
    const auto add = [&texts](const QObject* where, const QString& kind, const QString& text) {
        if (!text.isEmpty())
            texts << where->metaObject()->className() + QLatin1Char(' ') + kind +
                         QLatin1String(": ") + text;
    };
    const std::function<void(QMenu*)> addMenu = [&](QMenu* menu) {
        add(menu, QStringLiteral("title"), menu->title());
        for (QAction* action : menu->actions()) {
            add(action, QStringLiteral("item"), action->text());
            if (action->menu())
                addMenu(action->menu());
        }
    };
    QList<QWidget*> all = widget->findChildren<QWidget*>();
    all.prepend(widget);
    add(widget, QStringLiteral("title"), widget->windowTitle());
    for (QWidget* w : all) {
        // The tab bar's scroll buttons are Qt's own, named by Qt's translation.
        if (qobject_cast<QTabBar*>(w->parentWidget()))
            continue;
        add(w, QStringLiteral("tool tip"), w->toolTip());
        add(w, QStringLiteral("status hint"), w->statusTip());
        add(w, QStringLiteral("accessible name"), w->accessibleName());
        for (QAction* action : w->actions())
            add(action, QStringLiteral("tool tip"), action->toolTip());
        if (auto* label = qobject_cast<QLabel*>(w))
            add(w, QStringLiteral("text"), label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            auto* box = qobject_cast<QDialogButtonBox*>(button->parentWidget());
            // Qt's own standard buttons come from Qt's translation.
            if (!box || box->standardButton(button) == QDialogButtonBox::NoButton)
                add(w, QStringLiteral("text"), button->text());
        }
        if (auto* group = qobject_cast<QGroupBox*>(w))
            add(w, QStringLiteral("title"), group->title());
        if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(w, QStringLiteral("tab"), tabs->tabText(i));
        if (auto* bar = qobject_cast<QMenuBar*>(w))
            for (QAction* action : bar->actions())
                addMenu(action->menu());
    }
    return texts;
}

// Accelerator letters given twice among the texts of one menu or of what
// one dialog shows at a time.
QStringList repeatedAccelerators(const QStringList& texts)
{
    static const QRegularExpression mnemonic(QStringLiteral("&([^&\\s])"));
    QMap<QChar, QString> seen;
    QStringList repeated;
    for (const QString& text : texts) {
        const QRegularExpressionMatch match = mnemonic.match(text);
        if (!match.hasMatch())
            continue;
        const QChar letter = match.captured(1).at(0).toLower();
        if (seen.contains(letter))
            repeated << seen[letter] + QLatin1String(" / ") + text;
        seen[letter] = text;
    }
    return repeated;
}

QStringList menuTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    return texts;
}

// The captions of what a window shows at one time: each page of a tab
// widget with the tabs and everything outside the pages.
QList<QStringList> dialogGroups(QWidget* window)
{
    const auto captions = [](QWidget* root, QWidget* skip) {
        QStringList texts;
        QList<QWidget*> all = root->findChildren<QWidget*>();
        for (QWidget* w : all) {
            if (skip && (w == skip || skip->isAncestorOf(w)))
                continue;
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                texts << button->text();
            else if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
                texts << label->text();
            else if (auto* group = qobject_cast<QGroupBox*>(w))
                texts << group->title();
        }
        return texts;
    };
    auto* tabs = window->findChild<QTabWidget*>();
    if (!tabs)
        return {captions(window, nullptr)};
    QStringList outside = captions(window, tabs);
    for (int i = 0; i < tabs->count(); ++i)
        outside << tabs->tabText(i);
    QList<QStringList> groups;
    for (int i = 0; i < tabs->count(); ++i)
        groups << outside + captions(tabs->widget(i), nullptr);
    return groups;
}

} // namespace

class TestTranslations final : public QObject, private TestSupport::WindowsFixture
{
    Q_OBJECT

    QTranslator m_translator;

    // Runs open and hands the window it brings up (a modal one while it
    // runs) to look; the window is closed after.
    void withWindow(const std::function<void()>& open, const std::function<void(QWidget*)>& look)
    {
        const QWidgetList before = QApplication::topLevelWidgets();
        bool seen = false;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (seen || !w->isVisible() || before.contains(w) || qobject_cast<QMenu*>(w))
                    continue;
                seen = true;
                poll.stop();
                look(w);
                w->close();
            }
        });
        poll.start();
        open();
        QTRY_VERIFY(seen);
    }

private Q_SLOTS:
    void windows_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("language");
        const QStringList windows{"main", "remote",           "preferences",   "find",     "about",
                                  "help", "clipboard viewer", "confirm clear", "agreement"};
        for (const char* language : {"pseudo", "de", "fr"})
            for (const QString& window : windows)
                QTest::addRow("%s %s", qPrintable(window), language)
                    << window << QString::fromLatin1(language);
    }

    void windows()
    {
        QFETCH(QString, window);
        QFETCH(QString, language);
        const bool pseudo = language == QLatin1String("pseudo");
        QVERIFY(m_translator.load(pseudo ? PseudoFile
                                         : QStringLiteral(":/i18n/clipstow_%1.qm").arg(language)));
        QCoreApplication::installTranslator(&m_translator);
        beginDesk();
        m_desk->settings().setConfirmClear(true);
        startWindows(false);
        const Commands& c = m_main->commands();

        QStringList texts;
        QList<QStringList> groups;
        const auto look = [&](QWidget* w) {
            texts = shownTexts(w);
            groups = dialogGroups(w);
        };
        const std::map<QString, QAction*> commandFor{{"preferences", c.preferences},
                                                     {"find", c.find},
                                                     {"about", c.about},
                                                     {"help", c.help},
                                                     {"clipboard viewer", c.clipboardViewer},
                                                     {"confirm clear", c.clearClipboard}};
        if (window == QLatin1String("main")) {
            m_main->show();
            texts = shownTexts(m_main) + shownTexts(m_main->trayMenu());
            for (QAction* menu : m_main->menuBar()->actions())
                groups << menuTexts(menu->menu());
            groups << menuTexts(m_main->trayMenu());
            for (QMenu* menu : m_main->findChildren<QMenu*>(QStringLiteral("editorMenu")))
                groups << menuTexts(menu), texts << shownTexts(menu);
        } else if (window == QLatin1String("remote")) {
            texts = shownTexts(m_remote);
        } else if (window == QLatin1String("agreement")) {
            AgreementDialog agreement(m_desk->settings(),
                                      AgreementDialog::textForThisStart(m_desk->settings()));
            look(&agreement);
        } else {
            withWindow([&] { commandFor.at(window)->trigger(); }, look);
        }

        QVERIFY(!texts.isEmpty());
        QStringList faults;
        if (pseudo) {
            for (const QString& text : texts) {
                const QString shown = text.section(QLatin1String(": "), 1);
                if (!shown.contains(QChar(0x27e6)) && !isData(shown))
                    faults << text;
            }
        } else {
            for (const QStringList& group : groups)
                faults << repeatedAccelerators(group);
        }
        closeWindows();
        endDesk(true);
        QCoreApplication::removeTranslator(&m_translator);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

CLIPSTOW_TEST_MAIN(TestTranslations)
#include "tst_translations.moc"
