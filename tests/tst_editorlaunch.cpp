// What "Edit in Text Editor" starts for a slot file, and how a start that
// fails is told.
#include "core/EditorLaunch.h"
#include "settings/RegistryLayout.h"
#include "support/DesktopFixture.h"
#include "support/Files.h"
#include "support/RecordingLauncher.h"

#include <QDir>
#include <QFile>
#include <QTest>

using EditorLaunch::Plan;

class TestEditorLaunch final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSupport::DesktopFixture> m_desk;
    QByteArray m_oldPath;

    // An executable script in the fixture's folder "bin", which becomes the
    // whole search path.
    QString makeProgram(const QString& name)
    {
        QDir(m_desk->folder()).mkpath(QStringLiteral("bin"));
        const QString file = m_desk->path(QStringLiteral("bin/") + name);
        TestSupport::writeBytes(file, "#!/bin/sh\n");
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file;
    }

private Q_SLOTS:
    void init()
    {
        m_desk = std::make_unique<TestSupport::DesktopFixture>();
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", m_desk->path(QStringLiteral("bin")).toLocal8Bit());
    }

    void cleanup()
    {
        qputenv("PATH", m_oldPath);
        m_desk.reset();
    }

    void decisions_data()
    {
        QTest::addColumn<bool>("definedEditor");
        QTest::addColumn<std::optional<QString>>("editor");
        QTest::addColumn<QString>("slotFile");
        QTest::addColumn<QString>("program"); // "<bin>/" stands for the search path
        QTest::addColumn<QStringList>("arguments");

        const std::optional<QString> missing;
        const QString here = QStringLiteral("<here>/");
        QTest::newRow("default program, bare name in the current folder")
            << false << std::optional<QString>(QStringLiteral("gedit")) << "Default1.txt"
            << QString() << QStringList();
        QTest::newRow("named editor gets the slot file whole, blanks and all")
            << true << std::optional<QString>(QStringLiteral("gedit")) << "my notes.txt"
            << "gedit" << QStringList{here + "my notes.txt"};
        QTest::newRow("a command line is split, the file goes last")
            << true << std::optional<QString>(QStringLiteral("gedit --new-window -s"))
            << "/tmp/a b/x.txt"
            << "gedit" << QStringList{"--new-window", "-s", "/tmp/a b/x.txt"};
        QTest::newRow("an existing program path with blanks is not split")
            << true << std::optional<QString>(QStringLiteral("<bin>/my editor")) << "x.txt"
            << "<bin>/my editor" << QStringList{here + "x.txt"};
        QTest::newRow("a stored Notepad.exe stays as it is")
            << true << std::optional<QString>(QStringLiteral("Notepad.exe")) << "x.txt"
            << "Notepad.exe" << QStringList{here + "x.txt"};
        QTest::newRow("no editor stored: the first common editor on the path")
            << true << missing << "x.txt"
            << "<bin>/kate" << QStringList{here + "x.txt"};
        QTest::newRow("an empty editor counts as none")
            << true << std::optional<QString>(QStringLiteral("  ")) << "x.txt"
            << "<bin>/kate" << QStringList{here + "x.txt"};
    }

    void decisions()
    {
        QFETCH(bool, definedEditor);
        QFETCH(std::optional<QString>, editor);
        QFETCH(QString, slotFile);
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        const QString bin = m_desk->path(QStringLiteral("bin"));
        makeProgram(QStringLiteral("my editor"));
        makeProgram(QStringLiteral("kate"));
        makeProgram(QStringLiteral("mousepad"));
        if (editor)
            editor->replace(QStringLiteral("<bin>"), bin);
        program.replace(QStringLiteral("<bin>"), bin);
        arguments.replaceInStrings(QStringLiteral("<here>"), QDir::currentPath());

        const Plan plan = EditorLaunch::plan(definedEditor, editor, slotFile,
                                             {QStringLiteral("gnome-text-editor"),
                                              QStringLiteral("kate"), QStringLiteral("mousepad")});
        QCOMPARE(plan.program, program);
        QCOMPARE(plan.arguments, arguments);
        QCOMPARE(plan.document, QDir::current().absoluteFilePath(slotFile));
        QCOMPARE(plan.opensDocument(), program.isEmpty());
    }

    // No editor stored and none on the path: the desktop's program opens the
    // file, as when "Use default editor" is checked.
    void noEditorAnywhere()
    {
        const Plan plan = EditorLaunch::plan(true, std::nullopt, QStringLiteral("x.txt"),
                                             {QStringLiteral("gedit")});
        QVERIFY(plan.opensDocument());
    }

    // The settings as stored: "DefinEd" false ignores "Editor"; a missing
    // "Editor" is looked for on the path.
    void fromSettings()
    {
        makeProgram(QStringLiteral("gedit"));
        Layout::Editor.write(QStringLiteral("gedit --standalone"));
        QVERIFY(EditorLaunch::planFromSettings(QStringLiteral("a.txt")).opensDocument());

        Layout::DefinEd.write(true);
        QCOMPARE(
            EditorLaunch::planFromSettings(QStringLiteral("a.txt")).arguments,
            QStringList({QStringLiteral("--standalone"), m_desk->path(QStringLiteral("a.txt"))}));
        QVERIFY(Layout::Editor.remove());
        QCOMPARE(EditorLaunch::planFromSettings(QStringLiteral("a.txt")).program,
                 m_desk->path(QStringLiteral("bin/gedit")));
    }

    void startsAndFailures()
    {
        Plan editor;
        editor.program = QStringLiteral("kate");
        editor.arguments = {QStringLiteral("/x/a b.txt")};
        editor.document = QStringLiteral("/x/a b.txt");
        Plan document;
        document.document = QStringLiteral("/x/a b.txt");
        {
            TestSupport::RecordingLauncher launcher;
            QCOMPARE(EditorLaunch::run(editor, launcher), QString());
            QCOMPARE(EditorLaunch::run(document, launcher), QString());
            QCOMPARE(launcher.calls.size(), 2);
            QCOMPARE(launcher.calls[0].program, QStringLiteral("kate"));
            QCOMPARE(launcher.calls[0].arguments, editor.arguments);
            QCOMPARE(launcher.calls[1].url, QUrl::fromLocalFile(QStringLiteral("/x/a b.txt")));
            launcher.succeed = false;
            QCOMPARE(EditorLaunch::run(editor, launcher), QStringLiteral("Cannot start kate"));
            QCOMPARE(EditorLaunch::run(document, launcher),
                     QStringLiteral("Cannot start the default program for /x/a b.txt"));
        }
        // The desktop's own launcher on a program that is not there.
        editor.program = m_desk->path(QStringLiteral("no such editor"));
        QCOMPARE(EditorLaunch::run(editor, Shell::launcher()),
                 QStringLiteral("Cannot start ") + editor.program);
    }
};

QTEST_MAIN(TestEditorLaunch)
#include "tst_editorlaunch.moc"
