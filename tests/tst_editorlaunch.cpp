// What "Edit in Text Editor" starts for a slot file.
#include "core/EditorLaunch.h"
#include "platform/Shell.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestEditorLaunch final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_bin; // the whole search path while the tests run
    QByteArray m_oldPath;

private Q_SLOTS:
    void initTestCase()
    {
        for (const char* name : {"kate", "my editor"}) {
            QFile program(m_bin.filePath(QString::fromLatin1(name)));
            QVERIFY(program.open(QIODevice::WriteOnly));
            QVERIFY(program.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        }
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_bin.path()));
    }
    void cleanupTestCase() { qputenv("PATH", m_oldPath); }

    void decisions_data()
    {
        QTest::addColumn<bool>("definedEditor");
        QTest::addColumn<std::optional<QString>>("editor");
        QTest::addColumn<QString>("slotFile");
        QTest::addColumn<QStringList>("command"); // program and arguments; empty: the desktop's
        using Editor = std::optional<QString>;
        QTest::newRow("default program; bare name taken in the current folder")
            << false << Editor("gedit") << "Default1.txt" << QStringList();
        QTest::newRow("named editor gets the file whole, blanks and all")
            << true << Editor("gedit") << "my notes.txt"
            << QStringList{"gedit", "<here>/my notes.txt"};
        QTest::newRow("a command line is split, the file last")
            << true << Editor("gedit --new-window") << "/t/a b.txt"
            << QStringList{"gedit", "--new-window", "/t/a b.txt"};
        QTest::newRow("an existing program with blanks is not split")
            << true << Editor("<bin>/my editor") << "x"
            << QStringList{"<bin>/my editor", "<here>/x"};
        QTest::newRow("a stored Notepad.exe stays")
            << true << Editor("Notepad.exe") << "x" << QStringList{"Notepad.exe", "<here>/x"};
        QTest::newRow("none stored: the first common editor found")
            << true << Editor() << "x" << QStringList{"<bin>/kate", "<here>/x"};
        QTest::newRow("an empty one counts as none")
            << true << Editor(" ") << "x" << QStringList{"<bin>/kate", "<here>/x"};
    }

    void decisions()
    {
        QFETCH(bool, definedEditor);
        QFETCH(std::optional<QString>, editor);
        QFETCH(QString, slotFile);
        QFETCH(QStringList, command);
        if (editor)
            editor->replace(QStringLiteral("<bin>"), m_bin.path());
        command.replaceInStrings(QStringLiteral("<bin>"), m_bin.path());
        command.replaceInStrings(QStringLiteral("<here>"), QDir::currentPath());

        const EditorLaunch::Plan plan = EditorLaunch::plan(
            definedEditor, editor, slotFile, {QStringLiteral("gedit"), QStringLiteral("kate")});
        QCOMPARE(QStringList{plan.program} + plan.arguments,
                 command.isEmpty() ? QStringList{QString()} : command);
        QCOMPARE(plan.document, QDir::current().absoluteFilePath(slotFile));
        // No common editor installed: the desktop's program after all.
        QVERIFY(EditorLaunch::plan(true, {}, slotFile, {QStringLiteral("gedit")}).opensDocument());
    }

    // Through the desktop's own launcher, a program that is not there.
    void failedStartIsTold()
    {
        const EditorLaunch::Plan plan{QStringLiteral("/no/kate"), {QStringLiteral("/x")}, "/x"};
        QCOMPARE(EditorLaunch::run(plan, Shell::launcher()),
                 QStringLiteral("Cannot start /no/kate"));
    }
};

CLIPSTOW_TEST_MAIN(TestEditorLaunch)
#include "tst_editorlaunch.moc"
