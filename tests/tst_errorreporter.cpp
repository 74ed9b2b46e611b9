// Failures raised by any handler reach the common error box and the program
// goes on.
#include "base/AppError.h"
#include "core/ErrorReporter.h"
#include "core/slotfile/SlotFile.h"
#include "core/slotfile/SlotFileWriter.h"
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
        ErrorReporter::setHook([&shown](const QString& text) { shown << text; });
        QAction command;
        int runs = 0;
        connectCommand(&command, &command, [&runs] {
            ++runs;
            if (runs == 1)
                throw AppError("Failed to Save Stream");
            throw std::runtime_error("Stream write error");
        });
        QTimer::singleShot(0, &command, &QAction::trigger);
        QTimer::singleShot(10, &command, &QAction::trigger);
        QTRY_COMPARE(runs, 2);
        QCOMPARE(shown, QStringList({"Failed to Save Stream.", "Stream write error."}));
        ErrorReporter::setHook({});
    }

    // A failure that repeats while its box is open (every copy in auto mode
    // on a full disk) opens no second box; the repeats are counted for the
    // status bar. Another text still gets its own box, and once the box is
    // closed the same failure opens one again.
    void sameFailureOpensOneBox()
    {
        ErrorBox::install();
        QList<int> counted;
        ErrorReporter::setRepeatListener(
            [&counted](const QString&, int repeats) { counted << repeats; });
        int boxesWhileOpen = -1;
        int boxesWithOther = -1;
        QTimer::singleShot(0, [&] {
            ErrorReporter::show(QStringLiteral("Failed to Save Stream"), QStringLiteral("/d/a"));
            ErrorReporter::show(QStringLiteral("Failed to Save Stream"), QStringLiteral("/d/a"));
            boxesWhileOpen = int(openBoxes().size());
            QTimer::singleShot(0, [&] {
                boxesWithOther = int(openBoxes().size());
                for (QMessageBox* box : openBoxes())
                    if (box->text().startsWith(QLatin1String("Other")))
                        box->accept();
            });
            ErrorReporter::show(QStringLiteral("Other"));
            for (QMessageBox* box : openBoxes())
                box->accept();
        });
        ErrorReporter::show(QStringLiteral("Failed to Save Stream"), QStringLiteral("/d/a"));
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
        ErrorReporter::show(QStringLiteral("Failed to Save Stream"), QStringLiteral("/d/a"));
        QCOMPARE(boxesAgain, 1);
        QCOMPARE(counted.size(), 2);
        ErrorReporter::setRepeatListener({});
        ErrorReporter::setPresenter({});
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
        SlotFileWriter writer;
        try {
            writer.appendText(full, QString(32 * 1024, QLatin1Char('y')), QFont());
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
    QApplication app(argc, argv);
    TestErrorReporter test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_errorreporter.moc"
