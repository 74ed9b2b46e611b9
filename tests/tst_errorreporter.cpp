// Failures raised by any handler reach the common error box and the program
// goes on.
#include "base/AppError.h"
#include "core/ErrorReporter.h"
#include "core/slotfile/SlotFile.h"
#include "core/slotfile/SlotFileWriter.h"
#include "support/TestMain.h"
#include "ui/Commands.h"
#include "ui/ErrorBox.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

namespace {

QList<QMessageBox*> openBoxes()
{
    QList<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            boxes << box;
    return boxes;
}

// A file system of its own, 64 KiB large, so that a write can really find
// the disk full. Only root may mount one.
class SmallDisk final
{
public:
    SmallDisk()
    {
        if (::geteuid() == 0 && m_dir.isValid())
            m_mounted = QProcess::execute(QStringLiteral("mount"),
                                          {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                           QStringLiteral("-o"), QStringLiteral("size=64k"),
                                           QStringLiteral("tmpfs"), m_dir.path()}) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    bool isMounted() const { return m_mounted; }
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace

class TestErrorReporter final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Cannot create file a"
                                << "Cannot create file a.";
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("quote is below full stop") << "Invalid data type for 'X'"
                                                  << "Invalid data type for 'X'";
        QTest::newRow("digit") << "code 5"
                               << "code 5.";
        QTest::newRow("slash is above") << "C:/"
                                        << "C:/.";
        QTest::newRow("empty") << ""
                               << "";
    }

    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorReporter::displayText(message), shown);
    }

    // A command's handler that fails ends there: the failure is shown where
    // the trigger entered the program's code, and the next trigger runs.
    void commandFailureIsShownAndLoopGoesOn()
    {
        QStringList shown;
        ErrorReporter errors;
        errors.setPresenter([&shown](const QString& text) { shown << text; });
        QAction command;
        int runs = 0;
        connectCommand(errors, &command, &command, [&runs] {
            ++runs;
            if (runs == 1)
                throw AppError("Failed to Save Stream");
            throw std::runtime_error("Stream write error");
        });
        QTimer::singleShot(0, &command, &QAction::trigger);
        QTimer::singleShot(10, &command, &QAction::trigger);
        QTRY_COMPARE(runs, 2);
        QCOMPARE(shown, QStringList({"Failed to Save Stream.", "Stream write error."}));
    }

    // In the test runs a failure that slips through to Qt ends the run, loudly.
    void exceptionReachingQtFailsTheRun()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--throw-into-qt")});
        QVERIFY(child.waitForFinished(10000));
        QVERIFY(child.exitStatus() == QProcess::CrashExit || child.exitCode() != 0);
        const QByteArray said = child.readAllStandardError();
        QVERIFY2(said.contains("An exception reached Qt through ") &&
                     said.contains(": Failed to Save Stream"),
                 said.constData());
    }

    // A failure that repeats while its box is open (every copy in auto mode
    // on a full disk) opens no second box; the repeats are counted for the
    // status bar. Another text still gets its own box, and once the box is
    // closed the same failure opens one again.
    void sameFailureOpensOneBox()
    {
        ErrorReporter errors;
        ErrorBox::install(errors);
        QList<int> counted;
        errors.setRepeatListener([&counted](const QString&, int repeats) { counted << repeats; });
        int boxesWhileOpen = -1;
        int boxesWithOther = -1;
        QTimer::singleShot(0, [&] {
            errors.show(QStringLiteral("Failed to Save Stream"), QStringLiteral("/d/a"));
            errors.show(QStringLiteral("Failed to Save Stream"), QStringLiteral("/d/a"));
            boxesWhileOpen = int(openBoxes().size());
            QTimer::singleShot(0, [&] {
                boxesWithOther = int(openBoxes().size());
                for (QMessageBox* box : openBoxes())
                    if (box->text().startsWith(QLatin1String("Other")))
                        box->accept();
            });
            errors.show(QStringLiteral("Other"));
            for (QMessageBox* box : openBoxes())
                box->accept();
        });
        errors.show(QStringLiteral("Failed to Save Stream"), QStringLiteral("/d/a"));
        QCOMPARE(boxesWhileOpen, 1);
        QCOMPARE(boxesWithOther, 2);
        QCOMPARE(counted, (QList<int>{1, 2}));
        QCOMPARE(ErrorReporter::repeatNotice(QStringLiteral("Failed to Save Stream.\n/d/a"), 2),
                 QStringLiteral("Failed to Save Stream. (2 more times)"));

        int boxesAgain = -1;
        QTimer::singleShot(0, [&] {
            boxesAgain = int(openBoxes().size());
            for (QMessageBox* box : openBoxes())
                box->accept();
        });
        errors.show(QStringLiteral("Failed to Save Stream"), QStringLiteral("/d/a"));
        QCOMPARE(boxesAgain, 1);
        QCOMPARE(counted.size(), 2);
    }

    // A slot file that cannot be written: the first line is the message as
    // it always was, the second names the file and gives the system's reason.
    void fileFailuresNameFileAndReason()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("gone/Default1.txt"));
        try {
            SlotFile::writeAtomically(missing, "text");
            QFAIL("a file in a missing folder was written");
        } catch (const AppError& error) {
            QCOMPARE(
                ErrorReporter::boxText(error.message(), error.detail()),
                QStringLiteral("Cannot create file %1.\nNo such file or directory").arg(missing));
        }

        SmallDisk disk;
        if (!disk.isMounted())
            QSKIP("a full disk needs a small file system, which only root may mount");
        const QString full = disk.path(QStringLiteral("Default1.txt"));
        const QByteArray block(48 * 1024, 'x');
        SlotFile::writeAtomically(full, block);
        // A rewrite needs room for the whole new text beside the old one.
        try {
            SlotFile::writeAtomically(full, block + "more");
            QFAIL("a full disk took the text");
        } catch (const AppError& error) {
            QCOMPARE(
                ErrorReporter::boxText(error.message(), error.detail()),
                QStringLiteral("Failed to Save Stream.\n%1: No space left on device").arg(full));
        }
        // An append of more than the disk holds.
        SlotFileWriter writer(full);
        try {
            writer.appendText(QString(32 * 1024, QLatin1Char('y')), QFont());
            QFAIL("a full disk took the appended text");
        } catch (const AppError& error) {
            QCOMPARE(error.message(), QStringLiteral("Failed to Save Stream"));
            QCOMPARE(error.detail(), full + QStringLiteral(": No space left on device"));
        }
        QFile file(full);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), block); // the old text is whole
    }
};

int main(int argc, char** argv)
{
    // The guard itself, in a process of its own: a failure thrown from a
    // timer's lambda reaches Qt's event delivery.
    if (argc > 1 && qstrcmp(argv[1], "--throw-into-qt") == 0) {
        TestSupport::GuardedApplication<QCoreApplication> app(argc, argv);
        QTimer::singleShot(0, [] { throw AppError(QStringLiteral("Failed to Save Stream")); });
        return app.exec();
    }
    TestSupport::GuardedApplication<QApplication> app(argc, argv);
    TestErrorReporter test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_errorreporter.moc"
