// The Preferences dialog driven through its controls: what it shows, the
// writes its OK makes in their order (recorded by triggers in the settings'
// own SQLite file), what Cancel, Esc and the close box leave alone, the
// sound icon, the file dialogs, and the main window's command.
#include "core/SaveSound.h"
#include "platform/SoundOutput.h"
#include "platform/linux/XdgAutostart.h"
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "ui/MainForm.h"
#include "ui/PreferencesDialog.h"
#include "ui/RemoteForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <sqlite3.h>

// Runs a step made of several checks and ends the test at its first failure.
#define STEP(...)                                                                                  \
    do {                                                                                           \
        __VA_ARGS__;                                                                               \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

namespace {

// Every value the store writes or deletes, by name in order, and the
// autostart entry's changes beside them ("autostart+", "autostart-").
class WriteLog final : public Autostart
{
public:
    WriteLog()
    {
        RegistryStore::global().openKey(RegRoot::LocalMachine,
                                        QString::fromLatin1(Layout::ProgramKey), true);
        sqlite3_open(RegistryStore::global().filePath().toUtf8().constData(), &m_db);
        exec("CREATE TABLE log(seq INTEGER PRIMARY KEY AUTOINCREMENT, what TEXT);"
             "CREATE TRIGGER log_i AFTER INSERT ON vals BEGIN INSERT INTO log(what) "
             "VALUES(NEW.name); END;"
             "CREATE TRIGGER log_u AFTER UPDATE ON vals BEGIN INSERT INTO log(what) "
             "VALUES(NEW.name); END;"
             "CREATE TRIGGER log_d AFTER DELETE ON vals BEGIN INSERT INTO log(what) VALUES('-' || "
             "OLD.name); END;");
    }
    ~WriteLog() override { sqlite3_close(m_db); }

    QStringList entries() const
    {
        QStringList found;
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(m_db, "SELECT what FROM log ORDER BY seq", -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW)
            found << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        return found;
    }

    bool exists() const override { return m_real.exists(); }
    void write(const QString& path) override
    {
        exec("INSERT INTO log(what) VALUES('autostart+')"), m_real.write(path);
    }
    bool remove() override
    {
        return exec("INSERT INTO log(what) VALUES('autostart-')"), m_real.remove();
    }
    void updateProgramPath(const QString& path) override { m_real.updateProgramPath(path); }

private:
    void exec(const char* sql) const
    {
        QCOMPARE(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3* m_db = nullptr;
    XdgAutostart m_real;
};

class RecordingSound final : public SoundOutput
{
public:
    bool playWaveData(const QByteArray&) override
    {
        return played << QStringLiteral("chime"), true;
    }
    bool playWaveFile(const QString& name) override { return played << name, true; }
    QStringList played;
};

const QString Program = QStringLiteral("/opt/clipstow/clipstow");

} // namespace

class TestPreferences final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSupport::DesktopFixture> m_desk;
    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<WriteLog> m_log;
    std::unique_ptr<PreferencesDialog> m_dialog;
    RecordingSound m_sound;

    template <typename T> T* control(const char* name) const
    {
        T* found = m_dialog->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    bool checked(const char* name) const { return control<QAbstractButton>(name)->isChecked(); }
    void click(const char* name)
    {
        QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton);
    }
    void open()
    {
        m_dialog = std::make_unique<PreferencesDialog>(*m_log, Program);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    }

private Q_SLOTS:
    void init()
    {
        m_desk = std::make_unique<TestSupport::DesktopFixture>();
        m_config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
        m_log = std::make_unique<WriteLog>();
        m_sound.played.clear();
        SaveSound::setOutput(&m_sound);
    }
    void cleanup()
    {
        m_dialog.reset();
        m_log.reset();
        m_desk.reset();
    }

    // Each page's controls in tab order with their captions, and no text
    // cut off: every control is as wide as its text needs and inside its page.
    void pagesInTabOrder()
    {
        const QList<QStringList> pages = {
            {"&General", "AutoLoadCB", "Load when &starting the desktop", "HideCB",
             "&Hide on startup", "ConfirmCB", "&Confirmation boxes", "SplashCB",
             "Show s&plash screen"},
            {"\"&Auto Clipstow\" Feature", "RememberRB", "R&emember last state", "AlwaysOnRB",
             "Always \"&On\" on startup", "AlwaysOffRB", "Always\"O&ff\" on startup", "AutoOffCB",
             "T&urn \"Auto Clipstow\" off when editing"},
            {"&Date Style", "Date1RB", "&Like this: ", "Date2RB", "Li&ke this: ", "Date0RB",
             "Do&n't save date and time"},
            {"&Sound", "DefSoundCB", "&Use default sound", "SoundEdit", "", "SoundSelBtn",
             "Select..."},
            {"&Text Editor", "DefEditorCB", "Use default &editor", "EditorEdit", "", "EdSelBtn",
             "Select..."},
            {"\"&Remote Control\"", "RCRemRB", "R&emember last state", "RCShowRB",
             "Always sho&w on startup", "RCHideRB", "Always &hide on startup"}};
        STEP(open());
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Preferences"));
        QVERIFY(control<QPushButton>("BitBtn1")->isDefault());
        QCOMPARE(control<QWidget>("ConfirmCB")->toolTip(),
                 QStringLiteral("If this item is checked Clipstow will ask your confirmation\n"
                                "before clearing files or the Clipboard."));
        QCOMPARE(control<QWidget>("SoundIcon")->toolTip(), QStringLiteral("Click to play"));
        auto* tabs = control<QTabWidget>("PageControl1");
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->count(), pages.size());
        for (int p = 0; p < pages.size(); ++p) {
            QCOMPARE(tabs->tabText(p), pages[p][0]);
            tabs->setCurrentIndex(p);
            QWidget* page = tabs->widget(p);
            QStringList order;
            for (QWidget* w = m_dialog->nextInFocusChain(); w != m_dialog.get();
                 w = w->nextInFocusChain())
                if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
                    order << w->objectName();
            QStringList expected;
            for (int i = 1; i < pages[p].size(); i += 2) {
                expected << pages[p][i];
                const auto* button =
                    qobject_cast<QAbstractButton*>(control<QWidget>(qPrintable(pages[p][i])));
                const QString& caption = pages[p][i + 1];
                if (button)
                    QVERIFY2(caption.endsWith(QLatin1Char(' ')) ? button->text().startsWith(caption)
                                                                : button->text() == caption,
                             qPrintable(button->text()));
            }
            QCOMPARE(order, expected);
            for (QWidget* w : page->findChildren<QWidget*>()) {
                QVERIFY2(page->rect().contains(w->geometry()), qPrintable(w->objectName()));
                if (qobject_cast<QAbstractButton*>(w) && !qobject_cast<QToolButton*>(w))
                    QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
            }
        }
        for (const char* name : {"PageControl1", "BitBtn1", "BitBtn2"})
            QVERIFY(m_dialog->rect().contains(control<QWidget>(name)->geometry()));
    }

    // Stored values outside the choices, and values of the wrong type, show
    // as the defaults; OK stores them as the dialog shows them.
    void oddValuesShowDefaults()
    {
        const QString program = QString::fromLatin1(Layout::ProgramKey);
        WriteRegInt(program, QStringLiteral("DateStyle"), 5);
        WriteRegStr(program, QStringLiteral("AutoOn"), QStringLiteral("x"));
        WriteRegStr(program, QStringLiteral("ConfirmClr"), QStringLiteral("no"));
        WriteRegInt(QString::fromLatin1(Layout::EditorKey), QStringLiteral("Editor"), 3);
        WriteRegStr(program, QStringLiteral("AShowRemote"), QStringLiteral("0"));
        Layout::DefinEd.write(true);
        STEP(open());
        for (const char* name :
             {"Date1RB", "RememberRB", "ConfirmCB", "RCHideRB", "HideCB", "SplashCB", "DefSoundCB"})
            QVERIFY2(checked(name), name);
        for (const char* name : {"AutoLoadCB", "AutoOffCB", "DefEditorCB"})
            QVERIFY2(!checked(name), name);
        QCOMPARE(control<QLineEdit>("EditorEdit")->text(), QString());
        // Each path and its button are on only while the default is not used.
        QVERIFY(control<QWidget>("EditorEdit")->isEnabled() &&
                control<QWidget>("EdSelBtn")->isEnabled());
        QVERIFY(!control<QWidget>("SoundEdit")->isEnabled() &&
                !control<QWidget>("SoundSelBtn")->isEnabled());
        click("DefSoundCB");
        click("DefEditorCB");
        QVERIFY(control<QWidget>("SoundEdit")->isEnabled() &&
                control<QWidget>("SoundSelBtn")->isEnabled());
        QVERIFY(!control<QWidget>("EditorEdit")->isEnabled() &&
                !control<QWidget>("EdSelBtn")->isEnabled());

        click("BitBtn1");
        QCOMPARE(Layout::DateStyle.read(), 1);
        QCOMPARE(Layout::AutoOn.read(), QStringLiteral("R"));
        QCOMPARE(Layout::ConfirmClr.read(), true);
        QCOMPARE(Layout::Editor.read(), QString());
        QCOMPARE(Layout::AShowRemote.read(), QStringLiteral("0"));
        QCOMPARE(Layout::DefinEd.read(), false);
        QCOMPARE(Layout::DefaultSound.read(), false);
        QCOMPARE(m_desk->errors(), QStringList());
    }

    void closingWithoutOkWritesNothing_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("close box") << 2;
    }
    void closingWithoutOkWritesNothing()
    {
        QFETCH(int, how);
        XdgAutostart().write(QStringLiteral("/old/clipstow"));
        Layout::DateStyle.write(2);
        const QStringList before = m_log->entries();
        STEP(open());
        click("AutoLoadCB");
        click("HideCB");
        click("Date0RB");
        if (how == 0)
            click("BitBtn2");
        else if (how == 1)
            QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
        else
            m_dialog->close();
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_log->entries(), before);
        QVERIFY(TestSupport::fileBytes(XdgAutostart::entryPath()).contains("/old/clipstow"));
    }

    void okWritesInOrder_data()
    {
        QTest::addColumn<bool>("entryBefore");
        QTest::addColumn<bool>("check");
        QTest::addColumn<QString>("entryStep");
        QTest::newRow("no entry, left off") << false << false << QString();
        QTest::newRow("no entry, checked") << false << true << QStringLiteral("autostart+");
        QTest::newRow("entry, left on") << true << true << QStringLiteral("autostart+");
        QTest::newRow("entry, unchecked") << true << false << QStringLiteral("autostart-");
    }
    void okWritesInOrder()
    {
        QFETCH(bool, entryBefore);
        QFETCH(bool, check);
        QFETCH(QString, entryStep);
        if (entryBefore)
            XdgAutostart().write(QStringLiteral("/old/clipstow"));
        STEP(open());
        QCOMPARE(checked("AutoLoadCB"), entryBefore);
        if (check != entryBefore)
            click("AutoLoadCB");
        click("BitBtn1");
        QStringList expected = {"ConfirmClr", "AutoHide",   "DefinEd", "DefaultSound",
                                "AutoOff",    "ShowSplash", "Editor",  "SoundFile"};
        if (!entryStep.isEmpty())
            expected << entryStep;
        expected << "DateStyle"
                 << "AutoOn"
                 << "AShowRemote";
        QCOMPARE(m_log->entries(), expected);
        QCOMPARE(XdgAutostart().exists(), check);
        if (check)
            QVERIFY(TestSupport::fileBytes(XdgAutostart::entryPath()).contains(Program.toUtf8()));
    }

    void soundIconPlaysWhatIsShown_data()
    {
        QTest::addColumn<bool>("storedDefault");
        QTest::addColumn<bool>("clickDefault");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("playsFile");
        QTest::newRow("default, file exists") << true << false << "mine.wav" << false;
        QTest::newRow("file exists") << false << false << "mine.wav" << true;
        QTest::newRow("file missing") << false << false << "gone.wav" << false;
        QTest::newRow("no file") << false << false << "" << false;
        QTest::newRow("default cleared, not saved") << true << true << "mine.wav" << true;
    }
    void soundIconPlaysWhatIsShown()
    {
        QFETCH(bool, storedDefault);
        QFETCH(bool, clickDefault);
        QFETCH(QString, file);
        QFETCH(bool, playsFile);
        TestSupport::writeBytes(m_desk->path(QStringLiteral("mine.wav")), "RIFF");
        Layout::DefaultSound.write(storedDefault);
        Layout::SoundFile.write(file.isEmpty() ? file : m_desk->path(file));
        STEP(open());
        if (clickDefault)
            click("DefSoundCB");
        click("SoundIcon");
        QCOMPARE(m_sound.played,
                 QStringList(playsFile ? m_desk->path(file) : QStringLiteral("chime")));
    }

    // Where the file dialogs start, what they offer, and what a choice or a
    // cancel leaves in the field.
    void fileDialogs()
    {
        Layout::DefaultSound.write(false);
        Layout::DefinEd.write(true);
        QString startedIn;
        QStringList filters;
        std::optional<QString> answer;
        STEP(open());
        m_dialog->setFileChooser([&](QFileDialog& dialog) {
            startedIn = dialog.directory().absolutePath();
            filters = dialog.nameFilters();
            return answer;
        });
        const QString usual = QFileInfo(QStringLiteral("/usr/share/sounds")).isDir()
                                  ? QStringLiteral("/usr/share/sounds")
                                  : QDir::currentPath();
        click("SoundSelBtn");
        QCOMPARE(startedIn, usual);
        QCOMPARE(filters, QStringList({"Wave files (*.wav)", "All files (*)"}));
        QCOMPARE(control<QLineEdit>("SoundEdit")->text(), QString());

        WriteRegStr(QString::fromLatin1(Layout::SetupKey), QStringLiteral("MediaPath"),
                    m_config->path());
        click("SoundSelBtn");
        QCOMPARE(startedIn, m_config->path());

        QDir(m_desk->folder()).mkdir(QStringLiteral("sub"));
        answer = m_desk->path(QStringLiteral("sub/x.wav"));
        TestSupport::writeBytes(*answer, "RIFF");
        click("SoundSelBtn");
        QCOMPARE(control<QLineEdit>("SoundEdit")->text(), *answer);
        answer.reset();
        click("SoundSelBtn");
        QCOMPARE(startedIn, m_desk->path(QStringLiteral("sub")));
        QCOMPARE(control<QLineEdit>("SoundEdit")->text(),
                 m_desk->path(QStringLiteral("sub/x.wav")));

        click("EdSelBtn");
        QCOMPARE(startedIn, QStringLiteral("/usr/bin"));
        answer = m_desk->path(QStringLiteral("sub/x.wav"));
        click("EdSelBtn");
        click("EdSelBtn");
        QCOMPARE(startedIn, m_desk->path(QStringLiteral("sub")));
        QCOMPARE(control<QLineEdit>("EditorEdit")->text(), *answer);
    }

    // F9 and the toolbar button open the dialog; the main window takes
    // "ConfirmClr" and "DateStyle" again after every close, OK or not.
    void mainWindowCommand()
    {
        std::unique_ptr<TMainForm> main;
        std::unique_ptr<TRemoteForm> remote;
        TestSupport::startWindows(main, remote);
        int shown = 0;
        auto answer = [&shown](const char* button, const char* radio) {
            QTimer::singleShot(0, [&shown, button, radio] {
                auto* dialog = qobject_cast<PreferencesDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                ++shown;
                if (radio)
                    dialog->findChild<QRadioButton*>(QString::fromLatin1(radio))->click();
                dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
            });
        };
        Layout::DateStyle.write(2);
        Layout::ConfirmClr.write(false);
        answer("BitBtn2", nullptr);
        main->Item(QStringLiteral("Preferences1"))->trigger();
        QCOMPARE(shown, 1);
        QCOMPARE(main->DateStyle(), 2);
        QCOMPARE(main->ConfirmClr(), false);

        answer("BitBtn1", "Date0RB");
        main->Button(QStringLiteral("PrefsButton"))->click();
        QCOMPARE(shown, 2);
        QCOMPARE(main->DateStyle(), 0);

        WriteRegStr(QString::fromLatin1(Layout::ProgramKey), QStringLiteral("DateStyle"),
                    QStringLiteral("x"));
        answer("BitBtn2", nullptr);
        main->Item(QStringLiteral("Preferences1"))->trigger();
        QCOMPARE(shown, 3);
        QCOMPARE(main->DateStyle(), 1);
        QCOMPARE(m_desk->errors(), QStringList());
        TestSupport::closeWindows(main, remote);
    }
};

QTEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
