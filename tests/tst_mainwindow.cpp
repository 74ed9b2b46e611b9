// The main window: layout, the command table and where its shortcuts act,
// the slot file commands, and what start-up reads and shutdown writes.
#include "app/Startup.h"
#include "core/ClipboardMonitor.h"
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "platform/Autostart.h"
#include "platform/linux/XdgAutostart.h"
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "support/TestMain.h"
#include "ui/CommandHandlers.h"
#include "ui/MainWindow.h"
#include "ui/SlotPage.h"
#include "ui/TrayIcon.h"
#include "ui/editor/SlotEditor.h"
#include "ui/editor/SlotFindDialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include <QToolButton>
#include <unistd.h>

// A command of the window, for tables of commands.
using CommandMember = QAction* Commands::*;
Q_DECLARE_METATYPE(CommandMember)

using TestSupport::fileBytes;
using TestSupport::writeBytes;

class TestMainWindow final : public QObject, TestSupport::WindowsFixture
{
    Q_OBJECT

private:
    QStringList m_questions;
    bool m_answer = true;
    std::optional<QString> m_chosenFile;
    int m_fontAsked = 0;
    int m_printAsked = 0;

    // The answers the changed-file question gives, and the files it named.
    std::optional<SlotFileSync::Settle> m_settle;
    QStringList m_changedAsked;
    // The answer to "save the slot's changes before the end", and the slots
    // it named.
    std::optional<bool> m_saveChanges = false;
    QStringList m_saveAsked;

    // One window per test, made by start-up on a collector of its own.
    MainWindow* makeForm()
    {
        startWindows();
        MainWindow* form = m_main;
        CommandHandlers::Dialogs dialogs;
        dialogs.confirm = [this](QWidget*, const QString& text) {
            m_questions << text;
            return m_answer;
        };
        dialogs.saveFile = [this](QFileDialog&) { return m_chosenFile; };
        dialogs.changedFile = [this](QWidget*, const QString& fileName) {
            m_changedAsked << fileName;
            return m_settle;
        };
        dialogs.saveChanges = [this](QWidget*, const QString& slotName, const QString&) {
            m_saveAsked << slotName;
            return m_saveChanges;
        };
        dialogs.font = [this](QWidget*, const QFont&) -> std::optional<QFont> {
            ++m_fontAsked;
            QFont font(QStringLiteral("DejaVu Serif"));
            font.setPointSize(15);
            return font;
        };
        dialogs.print = [this](QWidget*, QPrinter& printer) {
            ++m_printAsked;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(m_desk->path(QStringLiteral("print.pdf")));
            return true;
        };
        form->handlers().setDialogs(dialogs);
        return form;
    }

private Q_SLOTS:
    void init()
    {
        beginDesk();
        m_questions.clear();
        m_answer = true;
        m_chosenFile.reset();
        m_fontAsked = m_printAsked = 0;
        m_settle = SlotFileSync::Settle::KeepBoth;
        m_changedAsked.clear();
        m_saveChanges = false;
        m_saveAsked.clear();
    }

    void cleanup() { endDesk(true); }

    void layoutAtCreation()
    {
        auto form = makeForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("Clipstow 3"));
        const auto* tabs = form->findChild<QTabWidget*>(QStringLiteral("slotTabs"));
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("First"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Third"));
        QCOMPARE(form->page(2)->fileNamePanel()->text(), QStringLiteral("Default2.txt"));
        QCOMPARE(form->page(1)->fileNamePanel()->toolTip(), QStringLiteral("Click to change"));
        QVERIFY(!form->commands().undo->isEnabled());
        // The first hint refresh at start names the active slot's file.
        QCOMPARE(form->toolButton(form->commands().clearSlot)->toolTip(),
                 QStringLiteral("Clear Default1.txt"));

        QVERIFY(form->toolButton(form->commands().autoSwitch)->isCheckable());
    }

    // Buttons 25 wide, 8-pixel gaps, 224 pixels before the panel, which
    // takes the rest of the width but 8 pixels.
    void toolBarFollowsWidth()
    {
        auto form = makeForm();
        activate(*form);
        const Commands& c = form->commands();
        const QAction* commands[] = {c.capture,    c.showRemote,    c.editInTextEditor,
                                     c.autoSwitch, c.save,          c.preferences,
                                     c.clearSlot,  c.clearClipboard};
        const int xs[] = {0, 33, 58, 83, 108, 133, 166, 191};
        for (int i = 0; i < 8; ++i) {
            const QToolButton* b = form->toolButton(commands[i]);
            QVERIFY(b);
            QCOMPARE(b->geometry(), QRect(xs[i], 0, 25, 25));
            QVERIFY(!b->toolTip().isEmpty());
            QVERIFY(!b->icon().isNull());
        }
        const auto* bar = form->findChild<QWidget*>(QStringLiteral("toolBar"));
        const auto* panel = form->findChild<QLabel*>(QStringLiteral("hidePanel"));
        for (int width : {408, 600, 1000}) {
            form->resize(width, 300);
            QTRY_COMPARE(bar->width(), form->width());
            QCOMPARE(panel->x(), 224);
            QCOMPARE(panel->geometry().right() + 1, bar->width() - 8);
        }
        form->resize(100, 50);
        QVERIFY(form->frameGeometry().width() >= 408 || form->width() >= 400);
        QVERIFY(form->height() >= 165 - (form->frameGeometry().height() - form->height()));
    }

    void pressedLooks()
    {
        auto form = makeForm();
        activate(*form);
        auto* panel = form->findChild<QLabel*>(QStringLiteral("hidePanel"));
        QTest::mousePress(panel, Qt::RightButton);
        QCOMPARE(panel->frameShadow(), QFrame::Sunken);
        QTest::mouseRelease(panel, Qt::RightButton);
        QCOMPARE(panel->frameShadow(), QFrame::Raised);
        QVERIFY(form->isVisible()); // only a left click hides
        QLabel* name = form->page(1)->fileNamePanel();
        QTest::mousePress(name, Qt::LeftButton);
        QCOMPARE(name->frameShadow(), QFrame::Sunken);
        m_chosenFile.reset();
        QTest::mouseRelease(name, Qt::LeftButton);
        QCOMPARE(name->frameShadow(), QFrame::Raised);
        // No notification area here: Hide minimises the window.
        QTest::mouseClick(panel, Qt::LeftButton);
        QTRY_VERIFY(form->isMinimized());
    }

    void menuItems_data()
    {
        QTest::addColumn<CommandMember>("command");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        const auto row = [](const char* name, CommandMember command, const char* caption,
                            QKeySequence key) {
            QTest::newRow(name) << command << QString::fromUtf8(caption) << key;
        };
        row("capture", &Commands::capture, "Clipst&ow", Qt::Key_F2);
        row("editInTextEditor", &Commands::editInTextEditor, "E&dit in Text Editor",
            Qt::CTRL | Qt::Key_T);
        row("save", &Commands::save, "Sa&ve", Qt::CTRL | Qt::Key_S);
        row("saveAs", &Commands::saveAs, "Save &As...", Qt::CTRL | Qt::Key_E);
        row("print", &Commands::print, "&Print...", Qt::CTRL | Qt::Key_P);
        row("exit", &Commands::exit, "E&xit", Qt::ALT | Qt::Key_F4);
        row("hideWindow", &Commands::hideWindow, "Hi&de this window", Qt::Key_F4);
        row("showRemote", &Commands::showRemote, "Show \"Remote Control\"", Qt::Key_F6);
        row("toolbar", &Commands::toolbar, "&Toolbar", QKeySequence());
        row("statusBar", &Commands::statusBar, "&Status Bar", QKeySequence());
        row("font", &Commands::font, "&Font...", Qt::CTRL | Qt::ALT | Qt::Key_F);
        row("preferences", &Commands::preferences, "Pr&eferences...", Qt::Key_F9);
        row("autoMode", &Commands::autoMode, "Auto Clips&tow", Qt::Key_F5);
        row("clearClipboard", &Commands::clearClipboard, "&Clear the Clipboard",
            Qt::CTRL | Qt::Key_D);
        row("setFilename", &Commands::setFilename, "&Set Filename...", Qt::CTRL | Qt::Key_N);
        row("find", &Commands::find, "&Find...", Qt::CTRL | Qt::Key_F);
        row("findNext", &Commands::findNext, "Find &Next", Qt::Key_F3);
        row("help", &Commands::help, "&Help", Qt::Key_F1);
        row("about", &Commands::about, "&About...", QKeySequence());
        row("support", &Commands::support, "&Support", QKeySequence());
        row("trayExit", &Commands::trayExit, "E&xit", QKeySequence());
        row("trayHelp", &Commands::trayHelp, "&Help", QKeySequence());
        row("trayAbout", &Commands::trayAbout, "&About", QKeySequence());
        row("clipboardViewer", &Commands::clipboardViewer, "Clipboard &Viewer", QKeySequence());
        row("trayClearClipboard", &Commands::trayClearClipboard, "&Clear the Clipboard",
            QKeySequence());
        row("trayAutoMode", &Commands::trayAutoMode, "A&uto Clipstow", QKeySequence());
        row("trayEditInTextEditor", &Commands::trayEditInTextEditor, "Edit in &Text Editor",
            QKeySequence());
        row("trayCapture", &Commands::trayCapture, "Cli&pstow", QKeySequence());
        row("trayShowRemote", &Commands::trayShowRemote, "&Show \"remote control\"",
            QKeySequence());
        row("showMainWindow", &Commands::showMainWindow, "&Show the main window", QKeySequence());
        row("undo", &Commands::undo, "&Undo", Qt::CTRL | Qt::Key_Z);
        row("cut", &Commands::cut, "Cu&t", Qt::CTRL | Qt::Key_X);
        row("copy", &Commands::copy, "C&opy", Qt::CTRL | Qt::Key_C);
        row("paste", &Commands::paste, "&Paste", Qt::CTRL | Qt::Key_V);
        row("selectAll", &Commands::selectAll, "&Select All", Qt::CTRL | Qt::Key_L);
        row("clearSlot", &Commands::clearSlot, "&Clear", Qt::CTRL | Qt::Key_Q);
        row("editorClearClipboard", &Commands::editorClearClipboard, "Clear the Clipboar&d",
            QKeySequence());
    }

    void menuItems()
    {
        QFETCH(CommandMember, command);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        auto form = makeForm();
        const QAction* action = form->commands().*command;
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut(), shortcut);
        const bool noImage = command == &Commands::toolbar || command == &Commands::statusBar;
        QCOMPARE(action->icon().isNull(), noImage);
    }

    void trayMenuOrderAndDefault()
    {
        auto form = makeForm();
        const Commands& c = form->commands();
        QList<QAction*> items;
        for (QAction* a : form->trayMenu()->actions())
            items << (a->isSeparator() ? nullptr : a);
        const QList<QAction*> expected = {c.trayExit,        c.trayHelp,
                                          c.trayAbout,       nullptr,
                                          c.clipboardViewer, c.trayClearClipboard,
                                          c.trayAutoMode,    c.trayEditInTextEditor,
                                          c.trayCapture,     nullptr,
                                          c.trayShowRemote,  c.showMainWindow};
        QCOMPARE(items, expected);
        QCOMPARE(form->trayMenu()->defaultAction(), form->commands().trayCapture);
        QCOMPARE(form->trayIcon()->menu(), form->trayMenu());
    }

    // Keys pressed on the active main window reach the command's handler.
    void windowShortcuts()
    {
        auto form = makeForm();
        activate(*form);
        form->editor(1)->setText(QStringLiteral("one"));
        if (form->collector().autoMode())
            form->commands().autoMode->trigger();

        QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
        QTest::keyClick(form, Qt::Key_F2);
        // Outside auto mode the text is asked for when the capture is.
        QTRY_VERIFY(fileBytes(path("Default1.txt")).contains("hello\r\n"));
        QCOMPARE(m_desk->played(), 1);

        form->editor(1)->setText(QStringLiteral("saved"));
        QTest::keyClick(form, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(fileBytes(path("Default1.txt")), QByteArray("saved"));

        m_chosenFile = path("copy");
        QTest::keyClick(form, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(fileBytes(path("copy.txt")), QByteArray("saved"));

        m_chosenFile = path("fresh");
        QTest::keyClick(form, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(form->collector().activeFileName(), path("fresh.txt"));
        QCOMPARE(form->editor(1)->text(), QString());
        QVERIFY(!QFile::exists(path("fresh.txt")));

        QGuiApplication::clipboard()->setText(QStringLiteral("x"));
        m_answer = false;
        QTest::keyClick(form, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(m_questions.value(0), QStringLiteral("Clear the Clipboard ?"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("x"));
        m_answer = true;
        QTest::keyClick(form, Qt::Key_D, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());

        QTest::keyClick(form, Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(m_fontAsked, 1);
        for (int slot = 1; slot <= 3; ++slot)
            QCOMPARE(form->editor(slot)->font().pointSize(), 15);

        QTest::keyClick(form, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(m_printAsked, 1);
        QVERIFY(QFileInfo(path("print.pdf")).size() > 0);

        const bool wasOn = form->collector().autoMode();
        QTest::keyClick(form, Qt::Key_F5);
        QCOMPARE(form->collector().autoMode(), !wasOn);
        QCOMPARE(form->commands().autoMode->isChecked(), !wasOn);
        QCOMPARE(form->commands().trayAutoMode->isChecked(), !wasOn);

        QTest::keyClick(form, Qt::Key_F3); // no search yet: beeps, focuses
        QVERIFY(form->editor(1)->hasFocus());
        QTest::keyClick(form, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(form->editor(1)->findDialog() && form->editor(1)->findDialog()->isVisible());
        form->editor(1)->findDialog()->close();
        activate(*form);

        QTest::keyClick(form, Qt::Key_F4);
        QTRY_VERIFY(form->isMinimized()); // Hide, with no notification area here
        form->showNormal();
        activate(*form);
        QSignalSpy closed(form, &MainWindow::closing);
        QTest::keyClick(form, Qt::Key_F4, Qt::AltModifier);
        QTRY_COMPARE(closed.count(), 1); // once the key has been handled
    }

    // The context menu's keys act in the editors; a disabled item eats its key.
    void editorShortcuts()
    {
        auto form = makeForm();
        activate(*form);
        SlotEditor* editor = form->editor(1);
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        QTest::keyClicks(editor, QStringLiteral("abc"));
        QVERIFY(form->commands().undo->isEnabled());

        form->commands().undo->setEnabled(false);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->text(), QStringLiteral("abc"));
        form->commands().undo->setEnabled(true);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(editor->text().size() < 3);

        editor->setText(QStringLiteral("line one\r\nline two"));
        QTest::keyClick(editor, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(editor->selectedText(), QStringLiteral("line one\r\nline two"));
        QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().remove(QLatin1Char('\r')),
                 QStringLiteral("line one\nline two"));

        m_answer = true;
        QTest::keyClick(editor, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(m_questions.value(0), QStringLiteral("Clear \r\nDefault1.txt ?"));
        QCOMPARE(editor->text(), QString());
        QVERIFY(QFile::exists(path("Default1.txt")));
        QCOMPARE(QFileInfo(path("Default1.txt")).size(), 0);

        // Outside the editors the context menu's keys do nothing.
        editor->setText(QStringLiteral("kept"));
        form->findChild<QTabWidget*>()->setFocus();
        QTest::keyClick(form, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(editor->text(), QStringLiteral("kept"));
    }

    void toolbarButtonsAndViewToggles()
    {
        auto form = makeForm();
        activate(*form);
        auto* bar = form->findChild<QWidget*>(QStringLiteral("toolBar"));
        form->commands().toolbar->trigger();
        QVERIFY(!bar->isVisible() && !bar->isEnabled());
        QVERIFY(!form->findChild<QFrame*>(QStringLiteral("toolBarRule"))->isVisible());
        form->commands().toolbar->trigger();
        QVERIFY(bar->isVisible() && bar->isEnabled());
        form->commands().statusBar->trigger();
        QVERIFY(!form->statusBar()->isVisible());

        form->editor(1)->setText(QStringLiteral("via button"));
        QTest::mouseClick(form->toolButton(form->commands().save), Qt::LeftButton);
        QCOMPARE(fileBytes(path("Default1.txt")), QByteArray("via button"));
        const bool wasOn = form->collector().autoMode();
        QTest::mouseClick(form->toolButton(form->commands().autoSwitch), Qt::LeftButton);
        QCOMPARE(form->collector().autoMode(), !wasOn);
        QCOMPARE(form->commands().autoMode->isChecked(), !wasOn);
        m_answer = false;
        QTest::mouseClick(form->toolButton(form->commands().clearSlot), Qt::LeftButton);
        QCOMPARE(form->editor(1)->text(), QStringLiteral("via button"));
        QCOMPARE(m_questions.size(), 1);
    }

    void undoItemFollowsActiveeditor()
    {
        auto form = makeForm();
        activate(*form);
        form->editor(1)->setFocus();
        QTest::keyClicks(form->editor(1), QStringLiteral("x"));
        QVERIFY(form->commands().undo->isEnabled());
        // A tab change leaves it as the last change left it.
        form->findChild<QTabWidget*>()->setCurrentIndex(1);
        QVERIFY(form->commands().undo->isEnabled());
        form->editor(3)->setText(QStringLiteral("loaded")); // change elsewhere: slot 2 unmodified
        QVERIFY(!form->commands().undo->isEnabled());
    }

    void startupFromSettings()
    {
        m_desk->settings().setToolbarShown(false);
        m_desk->settings().setStatusBarShown(false);
        m_desk->settings().setActiveSlot(3);
        FontRecord record;
        record.font = QFont(QStringLiteral("DejaVu Sans Mono"));
        record.font.setPointSize(13);
        m_desk->settings().setEditorFont(record);
        writeBytes(path("Default1.txt"), "first\r\n");
        writeBytes(path("Default2.txt"), "second");
        auto form = makeForm();
        activate(*form);
        QCOMPARE(form->collector().activeSlot().number(), 3);
        QCOMPARE(form->editor(3)->text(), QString());
        QVERIFY(m_desk->errors().isEmpty());
        // Every slot is read at start, not only the active one.
        QCOMPARE(form->editor(1)->text(), QStringLiteral("first\r\n"));
        QCOMPARE(form->editor(2)->text(), QStringLiteral("second"));
        QVERIFY(!form->findChild<QWidget*>(QStringLiteral("toolBar"))->isVisible());
        QVERIFY(!form->findChild<QFrame*>(QStringLiteral("toolBarRule"))->isVisible());
        QVERIFY(!form->commands().toolbar->isChecked());
        // A status bar that start-up hid comes back with its text in the
        // normal colour, not greyed.
        QVERIFY(!form->statusBar()->isVisible());
        form->commands().statusBar->trigger();
        QVERIFY(form->statusBar()->isVisible());
        QVERIFY(form->findChild<QLabel*>(QStringLiteral("statusText"))->isEnabled());
        for (int slot = 1; slot <= 3; ++slot)
            QCOMPARE(form->editor(slot)->font().pointSize(), 13);
        QVERIFY(form->collector().autoMode()); // "AutoOn" "R", "Auto" missing
        QVERIFY(form->commands().autoMode->isChecked());
        QCOMPARE(m_desk->settings().programPath(), QCoreApplication::applicationFilePath());
    }

    // With no font stored, or a stored family that is not installed, the
    // editors use the desktop's general font at its size.
    void editorFontFallback_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("bold");
        QTest::newRow("no Font key") << QString() << false;
        QTest::newRow("family not installed") << "MS Sans Serif" << true;
    }

    void editorFontFallback()
    {
        QFETCH(QString, family);
        QFETCH(bool, bold);
        if (!family.isEmpty()) {
            FontRecord record;
            record.font = QFont(family);
            record.font.setPointSize(8);
            record.font.setBold(bold);
            m_desk->settings().setEditorFont(record);
        }
        const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        auto form = makeForm();
        for (int slot = 1; slot <= 3; ++slot) {
            const QFont font = form->editor(slot)->font();
            QCOMPARE(font.family(), general.family());
            QCOMPARE(font.pointSizeF(), general.pointSizeF());
            QCOMPARE(font.bold(), bold);
        }
    }

    void autoPolicyAtStart_data()
    {
        QTest::addColumn<QString>("autoOn");
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<bool>("expected");
        QTest::newRow("0 with Auto true") << "0" << true << false;
        QTest::newRow("R with Auto false") << "R" << false << false;
        QTest::newRow("1 with Auto false") << "1" << false << true;
        QTest::newRow("empty with Auto true") << "" << true << true;
    }

    void autoPolicyAtStart()
    {
        QFETCH(QString, autoOn);
        QFETCH(bool, remembered);
        QFETCH(bool, expected);
        m_desk->storeText(QStringLiteral("AutoOn"), autoOn);
        m_desk->settings().setAutoWasOn(remembered);
        auto form = makeForm();
        QCOMPARE(form->collector().autoMode(), expected);
        QCOMPARE(form->commands().trayAutoMode->isChecked(), expected);
    }

    void shutdownWritesSettings()
    {
        // An autostart entry made by another copy of the program is pointed
        // at this one at start.
        const std::unique_ptr<Autostart> autostart = createSystemAutostart();
        autostart->write(QStringLiteral("/old/clipstow"));
        const auto removeEntry = qScopeGuard([&] { autostart->remove(); });
        auto form = makeForm();
        QFile entry(XdgAutostart::entryPath());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QVERIFY(entry.readAll().contains(
            "\nExec=" + XdgAutostart::execValue(QCoreApplication::applicationFilePath()).toUtf8()));
        activate(*form);
        form->commands().statusBar->trigger();
        form->findChild<QTabWidget*>()->setCurrentIndex(1);
        m_chosenFile = path("notes");
        form->handlers().chooseSlotFile();
        form->commands().autoMode->trigger(); // on by default, now off
        form->close();
        QCOMPARE(m_desk->settings().slotFileName(1), QStringLiteral("Default1.txt"));
        QCOMPARE(m_desk->settings().slotFileName(2), path("notes.txt"));
        QCOMPARE(m_desk->settings().activeSlot(), 2);
        QCOMPARE(m_desk->settings().toolbarShown(), true);
        QVERIFY(TestSupport::isStored(m_desk->store(), Layout::Toolbar));
        QCOMPARE(m_desk->settings().statusBarShown(), false);
        QCOMPARE(m_desk->settings().autoWasOn(), false);
        QVERIFY(TestSupport::isStored(m_desk->store(), Layout::ShowRemote));
    }

    // What the window adds when another program changed a slot file while
    // the slot holds typed text (the rest is in tst_collector): the user's
    // capture asks what to keep, a capture nobody asked for says in the
    // status bar where the typed text went, and Clear asks on its own.
    void changedFileQuestions()
    {
        const QString file = path("Default1.txt");
        writeBytes(file, "old\r\n");
        m_desk->settings().setConfirmClear(false);
        auto form = makeForm();
        if (form->collector().autoMode())
            form->commands().autoMode->trigger();
        SlotEditor* editor = form->editor(1);
        const auto typeAtStart = [&](const QString& text) {
            editor->moveCursor(QTextCursor::Start);
            QTest::keyClicks(editor, text);
        };
        const auto changeOutside = [&](const QByteArray& added) {
            QTest::qWait(20);
            writeBytes(file, fileBytes(file) + added);
            return fileBytes(file);
        };

        typeAtStart(QStringLiteral("X"));
        const QByteArray other = changeOutside("other 1\r\n");
        QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
        form->commands().capture->trigger();
        QTRY_COMPARE(m_changedAsked, QStringList{QStringLiteral("Default1.txt")});
        QVERIFY(fileBytes(file).startsWith(other));
        QCOMPARE(editor->text().toUtf8(), fileBytes(file));

        m_changedAsked.clear();
        typeAtStart(QStringLiteral("Z"));
        changeOutside("other 2\r\n");
        QGuiApplication::clipboard()->setText(QStringLiteral("auto clip"));
        form->collector().captureInto(form->collector().activeSlot(), Collector::Trigger::Tray);
        const auto aside = [this] {
            return QDir(m_desk->folder()).entryList({QStringLiteral("Default1.txt.unsaved-*")});
        };
        QTRY_COMPARE(aside().size(), 1);
        QCOMPARE(m_changedAsked, QStringList());
        QVERIFY(form->statusText().contains(aside().constFirst()));

        const QByteArray before = changeOutside("other 3\r\n");
        m_answer = false;
        m_questions.clear();
        form->handlers().clearActiveSlot();
        QCOMPARE(fileBytes(file), before);
        QVERIFY(m_questions.constLast().contains(QStringLiteral("changed by another program")));
    }

    // Regression: text typed into a slot vanished without a word when the
    // program ended. Exit asks about each slot with unsaved changes; the
    // end of the session, where nobody can be asked, writes them next to
    // the slot's file.
    void typedTextSurvivesTheEnd_data()
    {
        QTest::addColumn<int>("answer"); // 1 save, 0 drop, -1 cancel
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("ends");
        QTest::newRow("save") << 1 << QByteArray("old\r\nTYPED") << true;
        QTest::newRow("drop") << 0 << QByteArray("old\r\n") << true;
        QTest::newRow("cancel") << -1 << QByteArray("old\r\n") << false;
        QTest::newRow("session ends") << 1 << QByteArray("old\r\n") << true;
    }

    void typedTextSurvivesTheEnd()
    {
        QFETCH(int, answer);
        QFETCH(QByteArray, file);
        QFETCH(bool, ends);
        const bool session = QByteArray(QTest::currentDataTag()) == "session ends";
        const QString name = path("Default3.txt");
        writeBytes(name, "old\r\n");
        auto form = makeForm();
        if (form->collector().autoMode())
            form->commands().autoMode->trigger();
        m_saveChanges = answer < 0 ? std::nullopt : std::optional<bool>(answer == 1);
        form->collector().setActiveSlot(3);
        SlotEditor* editor = form->editor(3);
        editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor, QStringLiteral("TYPED"));
        QSignalSpy closed(form, &MainWindow::closing);

        if (session)
            m_program->endSession();
        else
            form->commands().exit->trigger();
        QCOMPARE(m_saveAsked, session ? QStringList() : QStringList{QStringLiteral("Third")});
        QCOMPARE(closed.size(), ends ? 1 : 0);
        QCOMPARE(fileBytes(name), file);
        const QStringList aside =
            QDir(m_desk->folder()).entryList({QStringLiteral("Default3.txt.unsaved-*")});
        QCOMPARE(aside.size(), session ? 1 : 0);
        if (session)
            QCOMPARE(fileBytes(path(aside.constFirst())), QByteArray("old\r\nTYPED"));
    }

    // A slot file larger than the editor holds: the slot shows the file's
    // end, says so above the editor and takes no edits; another file makes
    // the slot editable again (captures and Save As: tst_collector).
    void fileLargerThanEditorShowsItsEnd()
    {
        const QString file = path("Default1.txt");
        QByteArray big;
        big.reserve(SlotFileSync::viewLimit() + 600'000);
        for (int n = 0; big.size() < SlotFileSync::viewLimit() + 500'000; ++n)
            big += "line " + QByteArray::number(n) + " of a long-running collector's file\r\n";
        writeBytes(file, big);
        auto form = makeForm();
        if (form->collector().autoMode())
            form->commands().autoMode->trigger();
        SlotEditor* editor = form->editor(1);
        auto* note = form->findChild<QLabel*>(QStringLiteral("fileEndNote1"));
        QVERIFY(note && !note->isHidden());
        QVERIFY(editor->isReadOnly());
        QVERIFY(editor->length() < big.size());
        QVERIFY(big.endsWith(editor->text().toLatin1()));

        QTest::keyClicks(editor, QStringLiteral("typed"));
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        form->commands().paste->trigger();
        QVERIFY(!editor->text().contains(QStringLiteral("typed")));
        QVERIFY(!editor->text().contains(QStringLiteral("pasted")));
        QCOMPARE(form->statusText(), note->text());

        writeBytes(path("small.txt"), "small\r\n");
        m_chosenFile = path("small.txt");
        form->handlers().chooseSlotFile();
        QVERIFY(note->isHidden());
        QVERIFY(!editor->isReadOnly());
        QCOMPARE(editor->text(), QStringLiteral("small\r\n"));
    }

    void setFilenameWithExistingFile()
    {
        writeBytes(path("notes.log"), "log text\n");
        auto form = makeForm();
        form->editor(1)->setText(QStringLiteral("previous"));
        m_chosenFile = path("notes.log");
        form->handlers().chooseSlotFile();
        QCOMPARE(form->collector().activeFileName(), path("notes.log"));
        QCOMPARE(form->editor(1)->text(), QStringLiteral("log text\r\n"));
    }

    void clipboardMonitorWaitsForAutoMode()
    {
        auto form = makeForm();
        QObject* monitor = form->collector().clipboardMonitor();
        QVERIFY(monitor != nullptr);
        if (form->collector().autoMode())
            form->commands().autoMode->trigger();
        QGuiApplication::clipboard()->setText(QStringLiteral("ignored"));
        form->collector().captureInto(form->collector().activeSlot(),
                                      Collector::Trigger::Automatic);
        QVERIFY(!QFile::exists(path("Default1.txt")));
        form->collector().setAutoMode(true, Collector::Source::Menu);
        form->collector().captureInto(form->collector().activeSlot(),
                                      Collector::Trigger::Automatic);
        QTRY_VERIFY(fileBytes(path("Default1.txt")).contains("ignored"));
    }
};

CLIPSTOW_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
