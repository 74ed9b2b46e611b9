// The Preferences dialog driven through its controls: what it shows, the
// writes each way of closing it makes, in their order (logged by triggers
// in the settings' own SQLite file), the sound icon, the file dialogs and
// the main window's command.
#include "app/Startup.h"
#include "core/Collector.h"
#include "core/SaveSound.h"
#include "platform/SoundOutput.h"
#include "platform/linux/XdgAutostart.h"
#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "support/TestMain.h"
#include "ui/CommandHandlers.h"
#include "ui/MainWindow.h"
#include "ui/PreferencesDialog.h"
#include "ui/RemoteWindow.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <sqlite3.h>

namespace {

const QString ProgramKey = QString::fromLatin1(Layout::ProgramKey);
const QString Program = QStringLiteral("/opt/clipstow/clipstow");

// The real autostart entry; its changes ("autostart+", "autostart-") are
// logged beside the names of the values the store writes ("-" a deletion).
class WriteLog final : public Autostart
{
public:
    explicit WriteLog(RegistryStore& store)
    {
        store.openKey(RegRoot::LocalMachine, ProgramKey, true);
        sqlite3_open(store.filePath().toUtf8().constData(), &m_db);
        log("CREATE TABLE log(what TEXT);"
            "CREATE TRIGGER i AFTER INSERT ON vals BEGIN INSERT INTO log VALUES(NEW.name); END;"
            "CREATE TRIGGER u AFTER UPDATE ON vals BEGIN INSERT INTO log VALUES(NEW.name); END;"
            "CREATE TRIGGER d AFTER DELETE ON vals BEGIN INSERT INTO log VALUES('-'); END;");
    }
    ~WriteLog() override { sqlite3_close(m_db); }
    QStringList entries() const
    {
        QStringList found;
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(m_db, "SELECT what FROM log ORDER BY rowid", -1, &query, nullptr);
        while (sqlite3_step(query) == SQLITE_ROW)
            found << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(query, 0)));
        sqlite3_finalize(query);
        return found;
    }
    bool exists() const override { return m_real.exists(); }
    void write(const QString& path) override
    {
        log("INSERT INTO log VALUES('autostart+')");
        m_real.write(path);
    }
    bool remove() override { return log("INSERT INTO log VALUES('autostart-')"), m_real.remove(); }
    void updateProgramPath(const QString& path) override { m_real.updateProgramPath(path); }

private:
    void log(const char* sql) { sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }
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
    void stop() override {}
    QStringList played;
};

} // namespace

class TestPreferences final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSupport::DesktopFixture> m_desk;
    QTemporaryDir m_config;
    std::unique_ptr<WriteLog> m_log;
    std::unique_ptr<PreferencesDialog> m_dialog;
    RecordingSound m_sound;
    std::unique_ptr<SaveSound> m_saveSound;

    template <typename T = QAbstractButton> T* control(const char* name) const
    {
        return m_dialog->findChild<T*>(QString::fromLatin1(name));
    }
    // On the box or the button itself, left of a caption.
    void click(const char* name)
    {
        QAbstractButton* button = control(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    }
    QString text(const char* name) const { return control<QLineEdit>(name)->text(); }
    void open()
    {
        m_dialog =
            std::make_unique<PreferencesDialog>(m_desk->settings(), *m_log, *m_saveSound, Program);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    }

private Q_SLOTS:
    void init()
    {
        m_desk = std::make_unique<TestSupport::DesktopFixture>();
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        QFile::remove(XdgAutostart::entryPath());
        m_log = std::make_unique<WriteLog>(m_desk->store());
        m_sound.played.clear();
        m_saveSound = std::make_unique<SaveSound>(&m_desk->settings(), m_sound);
    }
    void cleanup()
    {
        m_dialog.reset();
        m_saveSound.reset();
        m_log.reset();
        m_desk.reset();
    }

    // Each page's caption, then its controls in tab order with their
    // captions (a date example follows its caption); no text is cut off.
    void pagesInTabOrder()
    {
        const QStringList pages = {
            "&General|autostartBox|&Load when starting the desktop|hideOnStartBox|&Hide on startup|"
            "confirmBox|&Confirmation boxes|splashBox|Show s&plash screen",
            "\"&Auto Clipstow\" Feature|autoRememberButton|R&emember last state|autoOnButton|"
            "Always \"&On\" on startup|autoOffButton|Always \"O&ff\" on startup|"
            "autoOffWhenEditingBox|T&urn \"Auto Clipstow\" off when editing",
            "&Date Style|shortDateButton|&Like this: |longDateButton|Li&ke this: "
            "|noDateButton|Do&n't save date and "
            "time",
            "&Sound|defaultSoundBox|&Use default sound|soundFileField||soundFileButton|Select...",
            "&Text Editor|defaultEditorBox|Use default &editor|editorField||editorButton|Select...",
            "\"&Remote Control\"|remoteRememberButton|R&emember last state|remoteShowButton|Always "
            "sho&w on startup|"
            "remoteHideButton|Always &hide on startup"};
        open();
        QCOMPARE(control("confirmBox")->toolTip(),
                 QStringLiteral("If this item is checked Clipstow will ask your confirmation\n"
                                "before clearing files or the Clipboard."));
        auto* tabs = control<QTabWidget>("preferencePages");
        QCOMPARE(tabs->count(), pages.size());
        for (int p = 0; p < pages.size(); ++p) {
            const QStringList row = pages[p].split(QLatin1Char('|'));
            QCOMPARE(tabs->tabText(p), row[0]);
            QWidget* page = tabs->widget(p);
            tabs->setCurrentWidget(page);
            QStringList order, expected;
            for (QWidget* w = m_dialog->nextInFocusChain(); w != m_dialog.get();
                 w = w->nextInFocusChain())
                if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
                    order << w->objectName();
            for (int i = 1; i < row.size(); i += 2) {
                expected << row[i];
                if (const auto* button = m_dialog->findChild<QAbstractButton*>(row[i]))
                    QCOMPARE(button->text().left(row[i + 1].endsWith(' ') ? row[i + 1].size() : -1),
                             row[i + 1]);
            }
            QCOMPARE(order, expected);
            for (QWidget* w : page->findChildren<QWidget*>())
                QVERIFY2(page->rect().contains(w->geometry()) &&
                             (qobject_cast<QToolButton*>(w) || !qobject_cast<QAbstractButton*>(w) ||
                              w->width() >= w->sizeHint().width()),
                         qPrintable(w->objectName()));
        }
    }

    // Values outside the choices, and values of the wrong type, show as the
    // defaults (the wrong types said once); OK stores what the dialog shows.
    void oddValuesShowDefaults()
    {
        RegTools::writeInt(m_desk->store(), ProgramKey, QStringLiteral("DateStyle"), 5);
        RegTools::writeString(m_desk->store(), ProgramKey, QStringLiteral("AutoOn"),
                              QStringLiteral("x"));
        RegTools::writeString(m_desk->store(), ProgramKey, QStringLiteral("ConfirmClr"),
                              QStringLiteral("no"));
        RegTools::writeInt(m_desk->store(), QString::fromLatin1(Layout::EditorKey),
                           QStringLiteral("Editor"), 3);
        m_desk->settings().setOwnEditor(true);
        // The fixture starts as a returning user without the splash; here
        // every value shows its default.
        RegTools::deleteValue(m_desk->store(), ProgramKey, QStringLiteral("ShowSplash"));
        open();
        QStringList checked;
        for (QAbstractButton* button : m_dialog->findChildren<QAbstractButton*>())
            if (button->isChecked())
                checked << button->objectName();
        checked.sort();
        QCOMPARE(checked, QStringList({"autoRememberButton", "confirmBox", "defaultSoundBox",
                                       "hideOnStartBox", "remoteRememberButton", "shortDateButton",
                                       "splashBox"}));
        // A path and its button are on only while the default is not used.
        QVERIFY(control("editorButton")->isEnabled() && !control("soundFileButton")->isEnabled());
        click("defaultSoundBox");
        click("defaultEditorBox");
        QVERIFY(!control("editorButton")->isEnabled() && control("soundFileButton")->isEnabled());
        click("okButton");
        QCOMPARE(QString::number(m_desk->settings().dateStyle()) +
                     RegTools::readString(m_desk->store(), ProgramKey, QStringLiteral("AutoOn"),
                                          QString()) +
                     m_desk->settings().editor().value_or(QString()) +
                     QString::number(m_desk->settings().confirmClear()),
                 QStringLiteral("1R1"));
        QCOMPARE(m_desk->errors(), QStringList({"Invalid data type for 'ConfirmClr'",
                                                "Invalid data type for 'Editor'"}));
    }

    void closingWrites_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("entryBefore");
        QTest::addColumn<bool>("check");
        QTest::addColumn<QString>("entryStep");
        QTest::newRow("Cancel") << "Cancel" << true << false << "";
        QTest::newRow("Esc") << "Esc" << true << false << "";
        QTest::newRow("close box") << "close" << true << false << "";
        QTest::newRow("Enter on a focused Cancel") << "Enter:cancelButton" << true << false << "";
        QTest::newRow("Enter on a check box: OK")
            << "Enter:confirmBox" << false << true << "autostart+";
        QTest::newRow("OK, no entry, left off") << "OK" << false << false << "";
        QTest::newRow("OK, no entry, checked") << "OK" << false << true << "autostart+";
        QTest::newRow("OK, entry left on") << "OK" << true << true << "autostart+";
        QTest::newRow("OK, entry unchecked") << "OK" << true << false << "autostart-";
    }
    void closingWrites()
    {
        QFETCH(QString, how);
        QFETCH(bool, entryBefore);
        QFETCH(bool, check);
        QFETCH(QString, entryStep);
        if (entryBefore)
            XdgAutostart().write(QStringLiteral("/old/clipstow"));
        open();
        QCOMPARE(control("autostartBox")->isChecked(), entryBefore);
        if (check != entryBefore)
            click("autostartBox");
        if (how == QLatin1String("Esc"))
            QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
        else if (how == QLatin1String("close"))
            m_dialog->close();
        else if (how.startsWith(QLatin1String("Enter:")))
            QTest::keyClick(control(how.mid(6).toLatin1().constData()), Qt::Key_Return);
        else
            click(how == QLatin1String("OK") ? "okButton" : "cancelButton");
        QVERIFY(!m_dialog->isVisible());
        QStringList expected;
        const bool ok = how == QLatin1String("OK") || how == QLatin1String("Enter:confirmBox");
        if (ok)
            expected = QStringList{"ConfirmClr", "AutoHide",   "DefinEd", "DefaultSound",
                                   "AutoOff",    "ShowSplash", "Editor",  "SoundFile",
                                   entryStep,    "DateStyle",  "AutoOn",  "AShowRemote"};
        expected.removeAll(QString());
        QCOMPARE(m_log->entries(), expected);
        const QByteArray entry = TestSupport::fileBytes(XdgAutostart::entryPath());
        QCOMPARE(entry.contains(Program.toUtf8()), ok && check);
        QCOMPARE(entry.contains("/old/clipstow"), entryBefore && !ok);
    }

    void soundIcon_data()
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
    void soundIcon()
    {
        QFETCH(bool, storedDefault);
        QFETCH(bool, clickDefault);
        QFETCH(QString, file);
        QFETCH(bool, playsFile);
        TestSupport::writeBytes(m_desk->path(QStringLiteral("mine.wav")), "RIFF");
        m_desk->settings().setDefaultSound(storedDefault);
        m_desk->settings().setSoundFile(file.isEmpty() ? file : m_desk->path(file));
        open();
        if (clickDefault)
            click("defaultSoundBox");
        click("playSoundButton");
        QCOMPARE(m_sound.played, QStringList(playsFile ? m_desk->path(file) : "chime"));
    }

    // Where the file dialogs start and what they offer; a choice is shown.
    void fileDialogs()
    {
        m_desk->settings().setDefaultSound(false);
        m_desk->settings().setOwnEditor(true);
        RegTools::writeString(m_desk->store(), QString::fromLatin1(Layout::SetupKey),
                              QStringLiteral("MediaPath"), "/media");
        QStringList asked;
        open();
        m_dialog->setFileChooser([&asked, this](QFileDialog& dialog) {
            asked << dialog.directory().absolutePath() +
                         dialog.nameFilters().join(QLatin1Char('|'));
            return m_desk->path(QStringLiteral("x.wav"));
        });
        TestSupport::writeBytes(m_desk->path(QStringLiteral("x.wav")), "RIFF");
        for (const char* button : {"soundFileButton", "soundFileButton", "editorButton"})
            click(button);
        // Enter on a focused "Select..." button presses it; the dialog stays.
        QTest::keyClick(control("editorButton"), Qt::Key_Enter);
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(asked, QStringList({"/mediaWave files (*.wav)|All files (*)",
                                     m_desk->folder() + "Wave files (*.wav)|All files (*)",
                                     "/usr/binAll files (*)", m_desk->folder() + "All files (*)"}));
        QCOMPARE(text("editorField"), m_desk->path(QStringLiteral("x.wav")));
    }

    // F9 and the toolbar button open the dialog; the main window reads
    // "ConfirmClr" and "DateStyle" again after every close, OK or not.
    void mainWindowCommand()
    {
        std::unique_ptr<Startup> program;
        TestSupport::startWindows(*m_desk, program);
        Collector* collector = &program->collector();
        MainWindow* main = program->mainWindow();
        QStringList pressed;
        auto answer = [&pressed](const QStringList& buttons) {
            QTimer::singleShot(0, [&pressed, buttons] {
                QWidget* dialog = QApplication::activeModalWidget();
                for (const QString& name : buttons)
                    if (qobject_cast<PreferencesDialog*>(dialog))
                        pressed << name, dialog->findChild<QAbstractButton*>(name)->click();
            });
        };
        m_desk->settings().setDateStyle(2);
        m_desk->settings().setConfirmClear(false);
        answer({"cancelButton"});
        main->commands().preferences->trigger();
        QVERIFY(collector->dateStyle() == 2 && !main->handlers().confirmsClear());
        answer({"noDateButton", "okButton"});
        main->toolButton(main->commands().preferences)->click();
        QCOMPARE(collector->dateStyle(), 0);
        RegTools::writeString(m_desk->store(), ProgramKey, QStringLiteral("DateStyle"),
                              QStringLiteral("x"));
        answer({"cancelButton"});
        main->commands().preferences->trigger();
        QCOMPARE(collector->dateStyle(), 1);
        QCOMPARE(pressed,
                 QStringList({"cancelButton", "noDateButton", "okButton", "cancelButton"}));
        QCOMPARE(m_desk->errors(), QStringList{"Invalid data type for 'DateStyle'"});
    }
};

CLIPSTOW_TEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
