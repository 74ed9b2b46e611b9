#include "app/Startup.h"

#include "app/InstanceCommands.h"
#include "app/SingleInstance.h"
#include "base/AppError.h"
#include "core/ClipboardMonitor.h"
#include "core/ClipboardSourceChooser.h"
#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "platform/Autostart.h"
#include "platform/TerminationRequests.h"
#include "settings/Settings.h"
#include "ui/ErrorBox.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"
#include "ui/TrayIcon.h"

#include <QApplication>
#include <QMessageBox>
#include <QScopeGuard>
#include <QSystemTrayIcon>
#include <cstdio>
#include <memory>

namespace Startup {

namespace {

// Said once at start, on standard error and where the user looks: the
// tray's notification, or the status bar without a notification area.
void tellAtStart(MainWindow& window, const QString& text)
{
    std::fprintf(stderr, "clipstow: %s\n", qPrintable(text));
    if (window.trayIconShown())
        window.trayIcon()->showMessage(QStringLiteral("Clipstow"), text,
                                       QSystemTrayIcon::Information, 20000);
    else
        window.showNotice(text);
}

// What the windows cannot do on Qt's Wayland platform, which the program
// takes where XWayland cannot be opened.
QString platformNotice()
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return {};
    return QStringLiteral("Clipstow runs without XWayland on this desktop: the remote window "
                          "cannot stay on top of other windows, and windows cannot be put back "
                          "where they were");
}

} // namespace

bool isUninstallCommand(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return false;
    QString first = arguments.at(1);
    for (QChar& c : first)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return first == QLatin1String("/uninstall") || first == QLatin1String("-uninstall");
}

void runUninstall(Settings& settings,
                  const std::function<void(const QString&, const QString&)>& show)
{
    // The message is shown whatever happens here.
    settings.removeAll();
    // The entry that started Clipstow with the desktop goes too; the slot
    // files stay, they are the user's.
    createSystemAutostart()->remove();
    const QString text = QStringLiteral("Clipstow registry data removed");
    const QString caption = QStringLiteral("Uninstall");
    if (show) {
        show(text, caption);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
    box.exec();
}

bool showMainWindowAtStart(MainWindow& window, bool trayAvailable)
{
    if (!trayAvailable) {
        window.show();
        window.showNotice(QStringLiteral("No notification area: the main window stays open"));
        return true;
    }
    if (!window.settings().autoHide()) {
        window.show();
        return true;
    }
    return false;
}

bool showRemoteWindowAtStart(RemoteWindow& remote, const Settings& settings)
{
    if (!settings.remoteShownAtStart())
        return false;
    remote.show();
    return true;
}

int run(const QString& request)
{
    // One Clipstow per user and display: a second start hands over to the
    // first, which shows its main window.
    SingleInstance instance(SingleInstance::defaultName());
    if (!instance.claim()) {
        if (!request.isEmpty())
            return InstanceCommands::send(instance, request);
        instance.activateRunning();
        return 0;
    }
    // Requests of later starts and of the command line; those that come
    // while the agreement or the splash shows are carried out once
    // start-up is through.
    InstanceCommands commands(instance);
    if (!request.isEmpty())
        commands.addOwnRequest(request);

    ErrorBox::install();
    QApplication::setQuitOnLastWindowClosed(false);
    Settings settings(Settings::defaultStoreFile(),
                      [](const AppError& failure) { ErrorReporter::showFailure(failure); });
    SaveSound::setSettings(&settings);
    const auto soundSettingsGone = qScopeGuard([] { SaveSound::setSettings(nullptr); });
    // All of start-up's settings in one batch, the main window's included.
    auto startupBatch = std::make_unique<Settings::Batch>(settings);
    // The clipboard as this session offers it, followed from the start:
    // the compositor's where it tells of every copy, else the platform's.
    ClipboardMonitor clipboard(nullptr);
    ClipboardSourceChooser sources(
        [&clipboard](std::unique_ptr<ClipboardSource> source) {
            clipboard.setSource(std::move(source));
        },
        &createClipboardSource);
    const QString sourceNotice = sources.start();
    Collector collector(settings);
    collector.setClipboardMonitor(&clipboard);
    MainWindow window(collector);
    // Declined at the first start: the program ends before any window shows.
    if (window.agreementDeclined())
        return 0;
    QObject::connect(&window, &MainWindow::closed, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Ended by the session or the system (logout, kill): in order, as for
    // Exit, without questions.
    const std::unique_ptr<TerminationRequests> termination = createTerminationRequests();
    QObject::connect(termination.get(), &TerminationRequests::requested, &window,
                     &MainWindow::endSession);

    // The remote window comes second and takes the auto state the main
    // window's start-up has restored.
    auto remote = std::make_unique<RemoteWindow>(collector);
    window.setRemoteWindow(remote.get());
    showRemoteWindowAtStart(*remote, settings);

    showMainWindowAtStart(window, QSystemTrayIcon::isSystemTrayAvailable());
    commands.attach(window, *remote);
    startupBatch.reset();
    // One notification, which a second would replace.
    QStringList notices;
    for (const QString& text : {platformNotice(), sourceNotice})
        if (!text.isEmpty())
            notices.append(text);
    if (!notices.isEmpty())
        tellAtStart(window, notices.join(QStringLiteral(". ")));
    const QString notSaved = settings.takeNotSavedMessage();
    if (!notSaved.isEmpty())
        ErrorReporter::show(notSaved);
    const int code = QApplication::exec();
    window.setRemoteWindow(nullptr);
    return code;
}

} // namespace Startup
