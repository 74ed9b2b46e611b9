#include "app/Startup.h"

#include "app/SingleInstance.h"
#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"
#include "ui/MainForm.h"
#include "ui/RemoteForm.h"

#include <QApplication>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <memory>

namespace Startup {

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

void runUninstall(const std::function<void(const QString&, const QString&)>& show)
{
    const QString key = QString::fromLatin1(Layout::ProgramKey);
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        // The message is shown whatever happens here.
        try {
            RegistryStore& store = RegistryStore::global();
            if (store.keyExists(root, key))
                store.deleteKey(root, key);
        } catch (const std::exception&) {
        }
    }
    const QString text = QStringLiteral("Clipstow registry data removed");
    const QString caption = QStringLiteral("Uninstall");
    if (show) {
        show(text, caption);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
    box.exec();
}

bool showMainWindowAtStart(TMainForm& form, bool trayAvailable)
{
    if (!trayAvailable) {
        form.show();
        form.ShowNotice(QStringLiteral("No notification area: the main window stays open"));
        return true;
    }
    if (!Layout::AutoHide.read()) {
        form.show();
        return true;
    }
    return false;
}

bool showRemoteWindowAtStart(TRemoteForm& remote)
{
    if (!Layout::decodeShowRemote(Layout::AShowRemote.read(), Layout::ShowRemote.read()))
        return false;
    remote.show();
    return true;
}

int run()
{
    // One Clipstow per user and display: a second start hands over to the
    // first, which shows its main window.
    SingleInstance instance(SingleInstance::defaultName());
    if (!instance.claim()) {
        instance.activateRunning();
        return 0;
    }

    QApplication::setQuitOnLastWindowClosed(false);
    TMainForm form;
    QObject::connect(&form, &TMainForm::FormClosed, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&instance, &SingleInstance::activationRequested, &form,
                     [&form] { form.ShowMainClick(&form); });

    // The remote window comes second and takes the auto state the main
    // window's start-up has restored.
    auto remote = std::make_unique<TRemoteForm>(form);
    form.SetRemoteForm(remote.get());
    showRemoteWindowAtStart(*remote);

    showMainWindowAtStart(form, QSystemTrayIcon::isSystemTrayAvailable());
    const int code = QApplication::exec();
    form.SetRemoteForm(nullptr);
    return code;
}

} // namespace Startup
