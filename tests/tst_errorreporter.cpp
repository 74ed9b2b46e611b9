// Failures raised by any handler reach the common error box and the program
// goes on.
#include "app/ClipstowApplication.h"
#include "base/AppError.h"
#include "core/ErrorReporter.h"

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

    void handlerFailureIsShownAndLoopGoesOn()
    {
        QStringList shown;
        ErrorReporter::setHook([&shown](const QString& text) { shown << text; });
        int ranAfter = 0;
        QTimer::singleShot(0, [] { throw AppError("Failed to Save Stream"); });
        QTimer::singleShot(10, [&ranAfter] { ++ranAfter; });
        QTRY_COMPARE(ranAfter, 1);
        QCOMPARE(shown, QStringList{"Failed to Save Stream."});
        ErrorReporter::setHook({});
    }
};

int main(int argc, char** argv)
{
    ClipstowApplication app(argc, argv);
    TestErrorReporter test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_errorreporter.moc"
