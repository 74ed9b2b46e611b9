// Failures raised by any handler reach the common error box and the program
// goes on.
#include "base/AppError.h"
#include "core/ErrorReporter.h"
#include "ui/Commands.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QtTest>

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
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestErrorReporter test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_errorreporter.moc"
