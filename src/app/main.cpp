#include "app/CommandLine.h"
#include "app/Startup.h"
#include "base/AppError.h"
#include "base/Translations.h"
#include "core/ErrorReporter.h"
#include "platform/FileSizeLimit.h"
#include "platform/SessionBus.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv)
{
    // A slot file that reaches the file size limit is a failed write the
    // user is told of, not the end of the program.
    keepRunningAtFileSizeLimit();
    // Help, version, a wrong option and a missing display are answered
    // before the toolkit looks for a display.
    CommandLine::Decision decision;
    {
        // The answers and complaints come in the desktop's language.
        int textArgc = 1;
        QCoreApplication texts(textArgc, argv);
        Translations::install();
        decision = CommandLine::decide(CommandLine::arguments(argc, argv),
                                       CommandLine::Environment::current());
        if (decision.action != CommandLine::Action::Start &&
            decision.action != CommandLine::Action::Uninstall &&
            decision.action != CommandLine::Action::Command &&
            decision.action != CommandLine::Action::UninstallToConsole)
            return CommandLine::runWithoutWindows(decision);
    }
    if (decision.action != CommandLine::Action::Start &&
        decision.action != CommandLine::Action::Uninstall)
        return CommandLine::runWithoutWindows(decision);
    if (!decision.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", decision.platform.toLocal8Bit());
    // Nothing of the program's may outlive it: no message bus started for it.
    SessionBus::keepFromStarting();

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Clipstow"));
    SessionBus::restoreEnvironment();
    Translations::install();

    // A failure that no step of the program caught is shown, and the
    // program ends with an error code rather than an abort.
    try {
        if (decision.action == CommandLine::Action::Uninstall) {
            Settings settings(Settings::defaultStoreFile());
            Startup::runUninstall(settings);
            return 0;
        }
        return Startup::run(decision.request);
    } catch (const std::exception& failure) {
        const auto* error = dynamic_cast<const AppError*>(&failure);
        const QString text = error ? ErrorReporter::boxText(error->message(), error->detail())
                                   : QString::fromLocal8Bit(failure.what());
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text,
                        QMessageBox::Ok);
        box.exec();
    }
    return 1;
}
