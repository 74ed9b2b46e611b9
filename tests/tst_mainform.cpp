// The main window: layout, the command table and where its shortcuts act,
// the slot file commands, and what start-up reads and shutdown writes.
#include "app/ErrorReporter.h"
#include "core/SaveSound.h"
#include "platform/ClipboardMonitor.h"
#include "platform/SlotEditor.h"
#include "platform/SlotFindDialog.h"
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "ui/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include <QToolButton>
#include <unistd.h>

using TestSupport::fileBytes;
using TestSupport::writeBytes;

class TestMainForm final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::DesktopFixture> m_desk;
    QStringList m_questions;
    bool m_answer = true;
    std::optional<QString> m_chosenFile;
    int m_fontAsked = 0;
    int m_printAsked = 0;

    std::unique_ptr<TMainForm> makeForm()
    {
        auto form = std::make_unique<TMainForm>();
        TMainForm::Dialogs dialogs;
        dialogs.confirm = [this](QWidget*, const QString& text) {
            m_questions << text;
            return m_answer;
        };
        dialogs.saveFile = [this](QFileDialog&) { return m_chosenFile; };
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
        form->setDialogs(dialogs);
        return form;
    }

    void showActive(TMainForm& form)
    {
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }

    QString path(const QString& name) const { return m_desk->path(name); }

private Q_SLOTS:
    void init()
    {
        m_desk = std::make_unique<TestSupport::DesktopFixture>();
        m_questions.clear();
        m_answer = true;
        m_chosenFile.reset();
        m_fontAsked = m_printAsked = 0;
    }

    void cleanup() { m_desk.reset(); }

    void layoutAtCreation()
    {
        auto form = makeForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("Clipstow 3"));
        const auto* tabs = form->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("First"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Third"));
        QCOMPARE(form->FilenamePanel(2)->text(), QStringLiteral("Default2.txt"));
        QCOMPARE(form->FilenamePanel(1)->toolTip(), QStringLiteral("Click to change"));
        QVERIFY(!form->Item(QStringLiteral("UndoMenu"))->isEnabled());
        // The first hint refresh at start names the active slot's file.
        QCOMPARE(form->Button(QStringLiteral("ClearButton"))->toolTip(),
                 QStringLiteral("Clear Default1.txt"));

        // Buttons 25 wide, 8-pixel separators, 224 pixels before the panel.
        const QStringList buttons = {"PasteButton", "ShowRemoteBtn",     "EditButton",
                                     "AutoButton",  "SaveButton",        "PrefsButton",
                                     "ClearButton", "ClearClipbrdButton"};
        const int xs[] = {0, 33, 58, 83, 108, 133, 166, 191};
        for (int i = 0; i < buttons.size(); ++i) {
            const QToolButton* b = form->Button(buttons[i]);
            QCOMPARE(b->geometry(), QRect(xs[i], 0, 25, 25));
            QVERIFY(!b->toolTip().isEmpty());
        }
        QVERIFY(form->Button(QStringLiteral("AutoButton"))->isCheckable());
    }

    void hidePanelFollowsWidth()
    {
        auto form = makeForm();
        showActive(*form);
        const auto* bar = form->findChild<QWidget*>(QStringLiteral("ToolBar"));
        const auto* panel = form->findChild<QLabel*>(QStringLiteral("HidePanel"));
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
        showActive(*form);
        auto* panel = form->findChild<QLabel*>(QStringLiteral("HidePanel"));
        QTest::mousePress(panel, Qt::RightButton);
        QCOMPARE(panel->frameShadow(), QFrame::Sunken);
        QTest::mouseRelease(panel, Qt::RightButton);
        QCOMPARE(panel->frameShadow(), QFrame::Raised);
        QVERIFY(form->isVisible()); // only a left click hides
        QLabel* name = form->FilenamePanel(1);
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
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        const auto row = [](const char* item, const char* caption, QKeySequence key) {
            QTest::newRow(item) << QString::fromLatin1(item) << QString::fromUtf8(caption) << key;
        };
        row("MenuItem1", "Clipst&ow", Qt::Key_F2);
        row("EditMenu", "E&dit in Text Editor", Qt::CTRL | Qt::Key_T);
        row("SaveChMenu", "Sa&ve", Qt::CTRL | Qt::Key_S);
        row("SaveAsMenu", "Save &As...", Qt::CTRL | Qt::Key_E);
        row("Print1", "&Print...", Qt::CTRL | Qt::Key_P);
        row("MenuItem4", "E&xit", Qt::ALT | Qt::Key_F4);
        row("HideMenu", "Hi&de this window", Qt::Key_F4);
        row("ShowRemote1", "Show \"Remote Control\"", Qt::Key_F6);
        row("ToolbarMenu", "&Toolbar", QKeySequence());
        row("StatusBarMenu", "&Status Bar", QKeySequence());
        row("FontMenu", "&Font...", Qt::CTRL | Qt::ALT | Qt::Key_F);
        row("Preferences1", "Pr&eferences...", Qt::Key_F9);
        row("AutoMenu", "Auto Clips&tow", Qt::Key_F5);
        row("CleartheClipboard2", "&Clear the Clipboard", Qt::CTRL | Qt::Key_D);
        row("SetFileMenu", "&Set Filename...", Qt::CTRL | Qt::Key_N);
        row("Find1", "&Find...", Qt::CTRL | Qt::Key_F);
        row("FindNext1", "Find &Next", Qt::Key_F3);
        row("Help1", "&Help", Qt::Key_F1);
        row("AboutMenu", "&About...", QKeySequence());
        row("Support1", "&Support", QKeySequence());
        row("ExitMenu", "E&xit", QKeySequence());
        row("Help2", "&Help", QKeySequence());
        row("N2", "&About", QKeySequence());
        row("ClipbrdMenu", "Clipboard &Viewer", QKeySequence());
        row("N1", "&Clear the Clipboard", QKeySequence());
        row("AutoMenu2", "A&uto Clipstow", QKeySequence());
        row("EditInEd", "Edit in &Text Editor", QKeySequence());
        row("PasteSaveMenu", "Cli&pstow", QKeySequence());
        row("ShowRemote", "&Show \"remote control\"", QKeySequence());
        row("ShowMain", "&Show the main window", QKeySequence());
        row("UndoMenu", "&Undo", Qt::CTRL | Qt::Key_Z);
        row("Cut1", "Cu&t", Qt::CTRL | Qt::Key_X);
        row("Copy1", "C&opy", Qt::CTRL | Qt::Key_C);
        row("Paste1", "&Paste", Qt::CTRL | Qt::Key_V);
        row("SelectAll1", "&Select All", Qt::CTRL | Qt::Key_L);
        row("Clear1", "&Clear", Qt::CTRL | Qt::Key_Q);
        row("CleartheClipboard1", "Clear the Clipboar&d", QKeySequence());
    }

    void menuItems()
    {
        QFETCH(QString, item);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        auto form = makeForm();
        const QAction* action = form->Item(item);
        QVERIFY2(action, qPrintable(item));
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut(), shortcut);
        const bool noImage =
            item == QLatin1String("ToolbarMenu") || item == QLatin1String("StatusBarMenu");
        QCOMPARE(action->icon().isNull(), noImage);
    }

    void trayMenuOrderAndDefault()
    {
        auto form = makeForm();
        QStringList names;
        for (const QAction* a : form->TrayMenu()->actions())
            names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(names,
                 QStringList({"ExitMenu", "Help2", "N2", "-", "ClipbrdMenu", "N1", "AutoMenu2",
                              "EditInEd", "PasteSaveMenu", "-", "ShowRemote", "ShowMain"}));
        QCOMPARE(form->TrayMenu()->defaultAction(), form->Item(QStringLiteral("PasteSaveMenu")));
        QVERIFY(form->TrayMenuAllowed());
    }

    // Keys pressed on the active main window reach the command's handler.
    void windowShortcuts()
    {
        auto form = makeForm();
        showActive(*form);
        form->Editor(1)->SetText(QStringLiteral("one"));
        if (form->IsAutoOn())
            form->AutoMenuClick(nullptr);

        QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
        QTest::keyClick(form.get(), Qt::Key_F2);
        QVERIFY(fileBytes(path("Default1.txt")).contains("hello\r\n"));
        QCOMPARE(m_desk->played(), 1);

        form->Editor(1)->SetText(QStringLiteral("saved"));
        QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(fileBytes(path("Default1.txt")), QByteArray("saved"));

        m_chosenFile = path("copy");
        QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(fileBytes(path("copy.txt")), QByteArray("saved"));

        m_chosenFile = path("fresh");
        QTest::keyClick(form.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(form->GetFilename(), path("fresh.txt"));
        QCOMPARE(form->Editor(1)->Text(), QString());
        QVERIFY(!QFile::exists(path("fresh.txt")));

        QGuiApplication::clipboard()->setText(QStringLiteral("x"));
        m_answer = false;
        QTest::keyClick(form.get(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(m_questions.value(0), QStringLiteral("Clear the Clipboard ?"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("x"));
        m_answer = true;
        QTest::keyClick(form.get(), Qt::Key_D, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());

        QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(m_fontAsked, 1);
        for (int slot = 1; slot <= 3; ++slot)
            QCOMPARE(form->Editor(slot)->font().pointSize(), 15);

        QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(m_printAsked, 1);
        QVERIFY(QFileInfo(path("print.pdf")).size() > 0);

        const bool wasOn = form->IsAutoOn();
        QTest::keyClick(form.get(), Qt::Key_F5);
        QCOMPARE(form->IsAutoOn(), !wasOn);
        QCOMPARE(form->Item(QStringLiteral("AutoMenu"))->isChecked(), !wasOn);
        QCOMPARE(form->Item(QStringLiteral("AutoMenu2"))->isChecked(), !wasOn);

        QTest::keyClick(form.get(), Qt::Key_F3); // no search yet: beeps, focuses
        QVERIFY(form->Editor(1)->hasFocus());
        QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(form->Editor(1)->FindDialog() && form->Editor(1)->FindDialog()->isVisible());
        form->Editor(1)->FindDialog()->close();
        showActive(*form);

        QTest::keyClick(form.get(), Qt::Key_F4);
        QTRY_VERIFY(form->isMinimized()); // Hide, with no notification area here
        form->showNormal();
        showActive(*form);
        QSignalSpy closed(form.get(), &TMainForm::FormClosed);
        QTest::keyClick(form.get(), Qt::Key_F4, Qt::AltModifier);
        QTRY_COMPARE(closed.count(), 1); // once the key has been handled
    }

    // The context menu's keys act in the editors; a disabled item eats its key.
    void editorShortcuts()
    {
        auto form = makeForm();
        showActive(*form);
        SlotEditor* editor = form->Editor(1);
        editor->setFocus();
        QTRY_VERIFY(editor->hasFocus());
        QTest::keyClicks(editor, QStringLiteral("abc"));
        QVERIFY(form->Item(QStringLiteral("UndoMenu"))->isEnabled());

        form->Item(QStringLiteral("UndoMenu"))->setEnabled(false);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->Text(), QStringLiteral("abc"));
        form->Item(QStringLiteral("UndoMenu"))->setEnabled(true);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(editor->Text().size() < 3);

        editor->SetText(QStringLiteral("line one\r\nline two"));
        QTest::keyClick(editor, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(editor->SelectedText(), QStringLiteral("line one\r\nline two"));
        QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().remove(QLatin1Char('\r')),
                 QStringLiteral("line one\nline two"));

        m_answer = true;
        QTest::keyClick(editor, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(m_questions.value(0), QStringLiteral("Clear \r\nDefault1.txt ?"));
        QCOMPARE(editor->Text(), QString());
        QVERIFY(QFile::exists(path("Default1.txt")));
        QCOMPARE(QFileInfo(path("Default1.txt")).size(), 0);

        // Outside the editors the context menu's keys do nothing.
        editor->SetText(QStringLiteral("kept"));
        form->findChild<QTabWidget*>()->setFocus();
        QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(editor->Text(), QStringLiteral("kept"));
    }

    void toolbarButtonsAndViewToggles()
    {
        auto form = makeForm();
        showActive(*form);
        auto* bar = form->findChild<QWidget*>(QStringLiteral("ToolBar"));
        form->Item(QStringLiteral("ToolbarMenu"))->trigger();
        QVERIFY(!bar->isVisible() && !bar->isEnabled());
        QVERIFY(!form->findChild<QFrame*>(QStringLiteral("Bevel1"))->isVisible());
        form->Item(QStringLiteral("ToolbarMenu"))->trigger();
        QVERIFY(bar->isVisible() && bar->isEnabled());
        form->Item(QStringLiteral("StatusBarMenu"))->trigger();
        QVERIFY(!form->statusBar()->isVisible());

        form->Editor(1)->SetText(QStringLiteral("via button"));
        QTest::mouseClick(form->Button(QStringLiteral("SaveButton")), Qt::LeftButton);
        QCOMPARE(fileBytes(path("Default1.txt")), QByteArray("via button"));
        const bool wasOn = form->IsAutoOn();
        QTest::mouseClick(form->Button(QStringLiteral("AutoButton")), Qt::LeftButton);
        QCOMPARE(form->IsAutoOn(), !wasOn);
        QCOMPARE(form->Item(QStringLiteral("AutoMenu"))->isChecked(), !wasOn);
        m_answer = false;
        QTest::mouseClick(form->Button(QStringLiteral("ClearButton")), Qt::LeftButton);
        QCOMPARE(form->Editor(1)->Text(), QStringLiteral("via button"));
        QCOMPARE(m_questions.size(), 1);
    }

    void undoItemFollowsActiveEditor()
    {
        auto form = makeForm();
        showActive(*form);
        form->Editor(1)->setFocus();
        QTest::keyClicks(form->Editor(1), QStringLiteral("x"));
        QVERIFY(form->Item(QStringLiteral("UndoMenu"))->isEnabled());
        // A tab change leaves it as the last change left it.
        form->findChild<QTabWidget*>()->setCurrentIndex(1);
        QVERIFY(form->Item(QStringLiteral("UndoMenu"))->isEnabled());
        form->Editor(3)->SetText(QStringLiteral("loaded")); // change elsewhere: slot 2 unmodified
        QVERIFY(!form->Item(QStringLiteral("UndoMenu"))->isEnabled());
    }

    void startupFromSettings()
    {
        Layout::Toolbar.write(false);
        Layout::StatusBar.write(false);
        Layout::ActiveFile.write(3);
        FontRecord record;
        record.font = QFont(QStringLiteral("DejaVu Sans Mono"));
        record.font.setPointSize(13);
        Layout::writeFont(record);
        writeBytes(path("Default1.txt"), "first\r\n");
        writeBytes(path("Default2.txt"), "second");
        auto form = makeForm();
        showActive(*form);
        QCOMPARE(form->ActiveSlot(), 3);
        QCOMPARE(form->Editor(3)->Text(), QString());
        QVERIFY(m_desk->errors().isEmpty());
        // Every slot is read at start, not only the active one.
        QCOMPARE(form->Editor(1)->Text(), QStringLiteral("first\r\n"));
        QCOMPARE(form->Editor(2)->Text(), QStringLiteral("second"));
        QVERIFY(!form->findChild<QWidget*>(QStringLiteral("ToolBar"))->isVisible());
        QVERIFY(!form->findChild<QFrame*>(QStringLiteral("Bevel1"))->isVisible());
        QVERIFY(!form->Item(QStringLiteral("ToolbarMenu"))->isChecked());
        // A status bar that start-up hid comes back with its text in the
        // normal colour, not greyed.
        QVERIFY(!form->statusBar()->isVisible());
        form->Item(QStringLiteral("StatusBarMenu"))->trigger();
        QVERIFY(form->statusBar()->isVisible());
        QVERIFY(form->findChild<QLabel*>(QStringLiteral("StatusText"))->isEnabled());
        for (int slot = 1; slot <= 3; ++slot)
            QCOMPARE(form->Editor(slot)->font().pointSize(), 13);
        QVERIFY(form->IsAutoOn()); // "AutoOn" "R", "Auto" missing
        QVERIFY(form->Item(QStringLiteral("AutoMenu"))->isChecked());
        QCOMPARE(Layout::Path.read(), QCoreApplication::applicationFilePath());
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
            Layout::writeFont(record);
        }
        const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        auto form = makeForm();
        for (int slot = 1; slot <= 3; ++slot) {
            const QFont font = form->Editor(slot)->font();
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
        Layout::AutoOn.write(autoOn);
        Layout::Auto.write(remembered);
        auto form = makeForm();
        QCOMPARE(form->IsAutoOn(), expected);
        QCOMPARE(form->Item(QStringLiteral("AutoMenu2"))->isChecked(), expected);
    }

    void shutdownWritesSettings()
    {
        Layout::RunEntry.write(QStringLiteral("/old/clipstow"));
        auto form = makeForm();
        QCOMPARE(Layout::RunEntry.read(), QCoreApplication::applicationFilePath());
        showActive(*form);
        form->Item(QStringLiteral("StatusBarMenu"))->trigger();
        form->findChild<QTabWidget*>()->setCurrentIndex(1);
        m_chosenFile = path("notes");
        form->SetFileButtonClick(nullptr);
        form->AutoMenuClick(nullptr); // on by default, now off
        form->close();
        QCOMPARE(Layout::Filename1.read(), QStringLiteral("Default1.txt"));
        QCOMPARE(Layout::Filename2.read(), path("notes.txt"));
        QCOMPARE(Layout::ActiveFile.read(), 2);
        QCOMPARE(Layout::Toolbar.read(), true);
        QVERIFY(Layout::Toolbar.exists());
        QCOMPARE(Layout::StatusBar.read(), false);
        QCOMPARE(Layout::Auto.read(), false);
        QVERIFY(Layout::ShowRemote.exists());
    }

    // A slot file another program changed is read again before the next
    // write, so its text stays and the capture goes after it.
    void changedFileIsReadBeforeWrite()
    {
        writeBytes(path("Default1.txt"), "old\r\n");
        auto form = makeForm();
        if (form->IsAutoOn())
            form->AutoMenuClick(nullptr);
        QCOMPARE(form->Editor(1)->Text(), QStringLiteral("old\r\n"));
        QTest::qWait(20);
        writeBytes(path("Default1.txt"), "old\r\nadded elsewhere\r\n");
        QGuiApplication::clipboard()->setText(QStringLiteral("captured"));
        form->PasteButtonClick(nullptr);
        const QByteArray bytes = fileBytes(path("Default1.txt"));
        QVERIFY(bytes.startsWith("old\r\nadded elsewhere\r\n"));
        QVERIFY(bytes.endsWith("captured\r\n\r\n\r\n"));

        // A file that appears for a slot that had none is kept as well.
        form->findChild<QTabWidget*>()->setCurrentIndex(1);
        writeBytes(path("Default2.txt"), "appeared");
        form->SaveChMenuClick(nullptr);
        QCOMPARE(fileBytes(path("Default2.txt")), QByteArray("appeared"));
    }

    void setFilenameWithExistingFile()
    {
        writeBytes(path("notes.log"), "log text\n");
        auto form = makeForm();
        form->Editor(1)->SetText(QStringLiteral("previous"));
        m_chosenFile = path("notes.log");
        form->SetFileButtonClick(nullptr);
        QCOMPARE(form->GetFilename(), path("notes.log"));
        QCOMPARE(form->Editor(1)->Text(), QStringLiteral("log text\r\n"));

        if (::geteuid() == 0)
            QSKIP("root reads every file");
        writeBytes(path("locked.txt"), "secret");
        QFile::setPermissions(path("locked.txt"), QFileDevice::Permissions());
        m_chosenFile = path("locked.txt");
        bool raised = false;
        try {
            form->SetFileButtonClick(nullptr);
        } catch (const std::exception&) {
            raised = true;
        }
        QVERIFY(raised);
        QCOMPARE(form->GetFilename(), path("notes.log"));
    }

    void clipboardMonitorWaitsForAutoMode()
    {
        auto form = makeForm();
        QObject* monitor = form->ClipboardMonitor();
        QVERIFY(monitor != nullptr);
        if (form->IsAutoOn())
            form->AutoMenuClick(nullptr);
        QGuiApplication::clipboard()->setText(QStringLiteral("ignored"));
        form->ClipboardChange(monitor);
        QVERIFY(!QFile::exists(path("Default1.txt")));
        form->Button(QStringLiteral("AutoButton"))->setChecked(true);
        form->ClipboardChange(monitor);
        QVERIFY(fileBytes(path("Default1.txt")).contains("ignored"));
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
