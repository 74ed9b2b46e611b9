#pragma once

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTest>
#include <exception>

// The application object of every test. An exception that reaches Qt's
// event delivery (QCoreApplication::notify) means a slot, lambda or event
// handler of the program let a failure through instead of catching it at
// its entry (ErrorReporter::reportFailures): the test run stops at once,
// loudly, naming it.
namespace TestSupport {

template <typename Application> class GuardedApplication final : public Application
{
public:
    GuardedApplication(int& argc, char** argv) : Application(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return Application::notify(receiver, event);
        } catch (const std::exception& failure) {
            qFatal("An exception reached Qt through %s (event %d): %s",
                   receiver ? receiver->metaObject()->className() : "nothing", int(event->type()),
                   failure.what());
        } catch (...) {
            qFatal("An exception reached Qt through %s (event %d)",
                   receiver ? receiver->metaObject()->className() : "nothing", int(event->type()));
        }
        return false;
    }
};

} // namespace TestSupport

#define CLIPSTOW_TEST_MAIN_WITH(Application, TestObject)                                           \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TestSupport::GuardedApplication<Application> app(argc, argv);                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

// In place of QTEST_MAIN and QTEST_GUILESS_MAIN. As QTEST_MAIN, a test of
// the Widgets-free library runs on a QGuiApplication.
#ifdef QT_WIDGETS_LIB
#include <QApplication>
#define CLIPSTOW_TEST_MAIN(TestObject) CLIPSTOW_TEST_MAIN_WITH(QApplication, TestObject)
#else
#define CLIPSTOW_TEST_MAIN(TestObject) CLIPSTOW_TEST_MAIN_WITH(QGuiApplication, TestObject)
#endif
#define CLIPSTOW_TEST_GUILESS_MAIN(TestObject) CLIPSTOW_TEST_MAIN_WITH(QCoreApplication, TestObject)
