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
#include "platform/Shell.h"
#include "platform/TerminationRequests.h"
#include "settings/Settings.h"
#include "ui/AgreementDialog.h"
#include "ui/ErrorBox.h"
#include "ui/Icons.h"
#include "ui/MainWindow.h"
#include "ui/RemoteWindow.h"
#include "ui/SplashWindow.h"
#include "ui/TrayIcon.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>

namespace {

bool onWaylandItself()
{
    return QGuiApplication::platformName() == QLatin1String("wayland");
}

// What the windows cannot do on Qt's Wayland platform, and why they run
// there: the desktop has no XWayland, XWayland could not be opened (the
// program asks for "xcb;wayland" itself), or the user asked for it.
QString platformNotice()
{
    if (!onWaylandItself())
        return {};
    const QString plugins = qEnvironmentVariable("QT_QPA_PLATFORM");
    QString why;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        why = Startup::tr("this desktop offers no XWayland");
    else if (plugins.startsWith(QLatin1String("xcb")))
        why = Startup::tr("XWayland (%1) could not be opened").arg(qEnvironmentVariable("DISPLAY"));
    else
        why = Startup::tr("QT_QPA_PLATFORM asks for it");
    return Startup::tr("Clipstow's windows run on Wayland itself, as %1: the remote window "
                       "cannot stay on top of other windows, and windows cannot be put back "
                       "where they were")
        .arg(why);
}

} // namespace

// ---- The program -----------------------------------------------------------

int Startup::run(const QString& request)
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
    // while the agreement or the splash shows bring that window forward and
    // are carried out once start-up is through.
    InstanceCommands commands(instance);
    if (!request.isEmpty())
        commands.addOwnRequest(request);

    ErrorReporter errors;
    ErrorBox::install(errors);
    Settings settings(Settings::defaultStoreFile(),
                      [&errors](const AppError& failure) { errors.showFailure(failure); });
    SaveSound sound(&settings);

    Startup program(settings, errors, sound);
    // Ended by the session or the system (logout, kill): in order, as for
    // Exit, without questions.
    const std::unique_ptr<TerminationRequests> endRequests = createTerminationRequests();
    program.listenForEndRequests(*endRequests);

    // Declined at the first start: the program ends before any window shows.
    if (!program.start())
        return 0;
    commands.attach(program);
    return program.exec();
}

bool Startup::isUninstallCommand(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return false;
    QString first = arguments.at(1);
    for (QChar& c : first)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return first == QLatin1String("/uninstall") || first == QLatin1String("-uninstall");
}

void Startup::runUninstall(Settings& settings,
                           const std::function<void(const QString&, const QString&)>& show)
{
    // The message is shown whatever happens here.
    settings.removeAll();
    // The entry that started Clipstow with the desktop goes too; the slot
    // files stay, they are the user's.
    createSystemAutostart()->remove();
    const QString text = QCoreApplication::translate("Startup", "Clipstow registry data removed");
    const QString caption = QCoreApplication::translate("Startup", "Uninstall");
    if (show) {
        show(text, caption);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
    box.exec();
}

// ---- Start-up ----------------------------------------------------------------

Startup::Startup(Settings& settings, ErrorReporter& errors, SaveSound& sound, QObject* parent)
    : QObject(parent), m_settings(settings), m_errors(errors),
      m_clipboard(std::make_unique<ClipboardMonitor>(nullptr)),
      m_collector(std::make_unique<Collector>(settings, errors, sound)),
      m_trayIcon(std::make_unique<TrayIcon>(*m_collector))
{
    // Copies are seen from one source: the compositor's clipboard where it
    // tells of every copy, else the platform's. A monitor stopped at the
    // end takes no new one.
    m_sources = std::make_unique<ClipboardSourceChooser>(
        [this](std::unique_ptr<ClipboardSource> source, ClipboardMonitor::SourceStart start) {
            if (!m_clipboard->isStopped())
                m_clipboard->setSource(std::move(source), start);
        },
        &createClipboardSource);
    m_sourceNotice = m_sources->start(onWaylandItself());
    m_collector->setClipboardMonitor(m_clipboard.get());
    QApplication::setWindowIcon(Icons::programIcon());
    // The program ends by end() alone: not when its last window closes (the
    // agreement, the splash, the main window hidden to the tray), which
    // would leave a request to quit for whatever event loop runs next.
    QApplication::setQuitOnLastWindowClosed(false);
}

Startup::~Startup()
{
    if (m_main)
        m_main->setRemoteWindow(nullptr);
    m_remote.reset();
    m_main.reset();
    m_trayIcon.reset();
    m_collector->stopWatchingClipboard();
}

bool Startup::start()
{
    {
        // One batch for all of start-up's settings: a store another process
        // holds locked costs one short wait.
        const Settings::Batch batch(m_settings);
        if (!showAgreement()) {
            m_trayIcon.reset();
            m_ended = true;
            return false;
        }
        // A step waits for the user (the agreement, a message) or the
        // splash window: the end may come meanwhile, and no later step runs.
        for (void (Startup::*step)() :
             {&Startup::showSplash, &Startup::readSettings, &Startup::buildWindows,
              &Startup::readSlots, &Startup::attachTray, &Startup::watchClipboard}) {
            if (m_ended)
                return false;
            (this->*step)();
        }
        if (m_ended)
            return false;
        showWindows(QSystemTrayIcon::isSystemTrayAvailable());
    }
    // Said once the event loop runs, so that a close made while the box is
    // open ends the program.
    QTimer::singleShot(0, this, [this] { tellNotSaved(); });
    return true;
}

// A value that cannot be read asks again. An agreement that cannot be shown
// (its text missing) is said, and start-up goes on.
bool Startup::showAgreement()
{
    bool declined = false;
    m_errors.reportFailures([&] {
        if (m_settings.agreementDue())
            declined = AgreementDialog::run(m_settings) == AgreementDialog::Outcome::Declined;
    });
    return !declined;
}

void Startup::showSplash()
{
    m_errors.reportFailures([this] {
        if (m_settings.showSplash())
            SplashWindow::run(SplashWindow::Mode::Startup);
    });
}

void Startup::readSettings()
{
    // In the system's own form (backslashes on Windows).
    const QString program = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    m_settings.setProgramPath(program);
    // An existing autostart entry is pointed at this program, wherever it
    // was started from this time.
    m_errors.reportFailures([&] { createSystemAutostart()->updateProgramPath(program); });
    // The slots' file names, the stamp style and auto mode, with a first
    // hint refresh; then the slot that was active.
    m_collector->restoreSettings();
    m_collector->setActiveSlot(m_settings.activeSlot());
}

void Startup::buildWindows()
{
    m_main = std::make_unique<MainWindow>(*m_collector, *m_trayIcon);
    connect(m_main.get(), &MainWindow::closing, this,
            [this] { m_errors.reportFailures([this] { end(); }); });
    m_main->restoreView();
    // The remote window comes second and takes the auto state restored.
    m_remote = std::make_unique<RemoteWindow>(*m_collector);
    m_main->setRemoteWindow(m_remote.get());
}

// Every slot is read before anything can write one, so that no write puts
// a buffer that never saw its file's text over that file.
void Startup::readSlots()
{
    m_collector->loadSlots();
    // The hints name the active slot's file.
    m_collector->refreshHints();
}

void Startup::attachTray()
{
    m_trayIcon->setMenu(m_main->trayMenu());
}

void Startup::watchClipboard()
{
    m_collector->startWatchingClipboard();
}

void Startup::showWindows(bool trayAvailable)
{
    if (m_settings.remoteShownAtStart())
        m_remote->show();
    if (!trayAvailable) {
        m_main->show();
        m_main->showNotice(QCoreApplication::translate(
            "Startup", "No notification area: the main window stays open"));
    } else if (!m_settings.autoHide()) {
        m_main->show();
    }
    // In one text, which a second notification would replace.
    QStringList notices;
    for (const QString& text : {platformNotice(), m_sourceNotice})
        if (!text.isEmpty())
            notices.append(text);
    if (notices.isEmpty())
        return;
    const QString notice = notices.join(QStringLiteral(". "));
    // On standard error and where the user looks: the tray's notification,
    // or the status bar without a notification area.
    std::fprintf(stderr, "clipstow: %s\n", qPrintable(notice));
    if (m_main->trayIconShown())
        m_trayIcon->showMessage(QStringLiteral("Clipstow"), notice, QSystemTrayIcon::Information,
                                20000);
    else
        m_main->showNotice(notice);
}

void Startup::listenForEndRequests(TerminationRequests& requests)
{
    m_endRequests = &requests;
    m_collector->setEndRequests(&requests);
    connect(&requests, &TerminationRequests::requested, this,
            [this] { m_errors.reportFailures([this] { endSession(); }); });
}

int Startup::exec()
{
    if (m_ended)
        return 0;
    m_running = true;
    const int code = QApplication::exec();
    m_running = false;
    return code;
}

// ---- The end -------------------------------------------------------------

void Startup::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_trayIcon->hide();
    {
        // One batch: a store another process holds locked costs one short
        // wait, for the remote window's place too.
        const Settings::Batch batch(m_settings);
        if (m_main)
            m_main->saveSettings();
        if (m_remote)
            m_remote->writePlacementAtEnd();
    }
    tellNotSaved();
    m_collector->stopWatchingClipboard();
    // Before the event loop runs (an end during start-up) exec() returns at
    // once instead, and start-up stops at the window it shows: closed as
    // its close box would, so that nothing is taken as the user's answer.
    if (m_running) {
        QCoreApplication::exit(0);
        return;
    }
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
}

void Startup::endSession()
{
    if (m_ended)
        return;
    m_errors.setPresenter({});
    m_collector->stopWatchingClipboard();
    for (SlotNumber slot : SlotNumber::all()) {
        try {
            const QString aside = m_collector->saveUnsavedTextAside(slot);
            if (!aside.isEmpty())
                qWarning("Clipstow: unsaved text of slot %d kept in %s", slot.number(),
                         qUtf8Printable(aside));
        } catch (const std::exception& failure) {
            qWarning("Clipstow: unsaved text of slot %d lost: %s", slot.number(), failure.what());
        }
    }
    // The text is safe: a further request may end the process at once, in
    // case the rest hangs.
    if (m_endRequests)
        m_endRequests->allowImmediateEnd();
    if (m_main)
        m_main->closeWithoutQuestions();
    end();
}

void Startup::tellNotSaved()
{
    const QString notSaved = m_settings.takeNotSavedMessage();
    if (!notSaved.isEmpty())
        m_errors.show(notSaved);
}
