#include "app/CommandLine.h"
#include "base/Translations.h"

#include "app/InstanceCommands.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "settings/Settings.h"

#include <QCoreApplication>

#include <cstdio>

namespace CommandLine {

namespace {

// Options the toolkit itself reads from the command line, passed on to it
// untouched. Qt accepts them with one dash or two.
struct ToolkitOption
{
    const char* name;
    bool takesValue;
};
constexpr ToolkitOption ToolkitOptions[] = {
    {"platform", true},      {"platformpluginpath", true},
    {"platformtheme", true}, {"plugin", true},
    {"display", true},       {"qwindowgeometry", true},
    {"geometry", true},      {"qwindowtitle", true},
    {"title", true},         {"qwindowicon", true},
    {"icon", true},          {"name", true},
    {"session", true},       {"style", true},
    {"stylesheet", true},    {"reverse", false},
    {"widgetcount", false},  {"nograb", false},
    {"dograb", false},       {"sync", false},
};

const ToolkitOption* toolkitOption(const QString& argument)
{
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    // "-style=fusion" carries its value itself.
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    if (equals >= 0)
        name.truncate(equals);
    for (const ToolkitOption& option : ToolkitOptions)
        if (name == QLatin1String(option.name))
            return &option;
    return nullptr;
}

bool carriesValue(const QString& argument)
{
    return argument.contains(QLatin1Char('='));
}

// The platform plugin's name without its options ("xcb:foo") and without
// the fallbacks of a list ("xcb;wayland").
QString pluginName(const QString& platform)
{
    return platform.section(QLatin1Char(';'), 0, 0).section(QLatin1Char(':'), 0, 0).trimmed();
}

bool isUninstallWord(const QString& argument)
{
    return Startup::isUninstallCommand({QString(), argument});
}

// The options that ask the running instance for something, and the request
// each stands for; "--capture" and "--auto" take a word (see
// InstanceCommands).
struct CommandOption
{
    const char* name;
    const char* request;
};
constexpr CommandOption CommandOptions[] = {
    {"--capture", "capture"}, {"--auto", "auto"}, {"--show", "show"},
    {"--remote", "remote"},   {"--hide", "hide"}, {"--quit", "quit"},
};

const CommandOption* commandOption(const QString& argument)
{
    const QString name = argument.section(QLatin1Char('='), 0, 0);
    for (const CommandOption& option : CommandOptions)
        if (name == QLatin1String(option.name))
            return &option;
    return nullptr;
}

// The request of one command option, which may take the next argument:
// empty with the complaint set when the option is wrong.
QString commandRequest(const CommandOption& option, const QStringList& arguments, qsizetype& i,
                       QString& complaint)
{
    const QString& argument = arguments.at(i);
    const QString name = QLatin1String(option.name);
    const bool inlineValue = argument.contains(QLatin1Char('='));
    QString value = inlineValue ? argument.section(QLatin1Char('='), 1) : QString();
    const bool nextIsWord =
        i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1Char('-'));
    if (name == QLatin1String("--capture")) {
        // The slot is optional: the next argument is it when it is no option.
        if (!inlineValue && nextIsWord)
            value = arguments.at(++i);
        if ((inlineValue || !value.isEmpty()) && value != QLatin1String("1") &&
            value != QLatin1String("2") && value != QLatin1String("3")) {
            complaint = QCoreApplication::translate("CommandLine",
                                                    "invalid slot '%1' for --capture (1, 2 or 3)")
                            .arg(value);
            return {};
        }
        return value.isEmpty() ? QStringLiteral("capture") : QStringLiteral("capture ") + value;
    }
    if (name == QLatin1String("--auto")) {
        if (!inlineValue && nextIsWord)
            value = arguments.at(++i);
        if (value != QLatin1String("on") && value != QLatin1String("off") &&
            value != QLatin1String("toggle")) {
            complaint = value.isEmpty() && !inlineValue
                            ? QCoreApplication::translate("CommandLine",
                                                          "option --auto needs on, off or toggle")
                            : QCoreApplication::translate(
                                  "CommandLine", "invalid argument '%1' for --auto (on, off or "
                                                 "toggle)")
                                  .arg(value);
            return {};
        }
        return QStringLiteral("auto ") + value;
    }
    if (inlineValue) {
        complaint =
            QCoreApplication::translate("CommandLine", "option %1 takes no argument").arg(name);
        return {};
    }
    return QString::fromLatin1(option.request);
}

} // namespace

Environment Environment::current()
{
    return {qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("WAYLAND_DISPLAY"),
            qEnvironmentVariable("QT_QPA_PLATFORM")};
}

Decision decide(const QStringList& arguments, const Environment& environment)
{
    Decision decision;
    const bool uninstall = Startup::isUninstallCommand(arguments);

    QString requestedPlatform = environment.qpaPlatform;
    bool displayArgument = false;
    QString request;
    QString commandName;
    if (!uninstall) {
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            const QString& argument = arguments.at(i);
            if (argument == QLatin1String("--"))
                break;
            if (argument.size() < 2 || !argument.startsWith(QLatin1Char('-')))
                continue; // not an option; ignored as before
            if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
                return {Action::ShowHelp, {}, {}, {}};
            if (argument == QLatin1String("--version"))
                return {Action::ShowVersion, {}, {}, {}};
            if (isUninstallWord(argument))
                continue; // acted on only as the first parameter
            if (const CommandOption* command = commandOption(argument)) {
                const QString name = argument.section(QLatin1Char('='), 0, 0);
                if (!request.isEmpty())
                    return {Action::UsageError,
                            {},
                            QCoreApplication::translate("CommandLine",
                                                        "%1 and %2 cannot be given together")
                                .arg(commandName, name),
                            {}};
                QString complaint;
                request = commandRequest(*command, arguments, i, complaint);
                if (request.isEmpty())
                    return {Action::UsageError, {}, complaint, {}};
                commandName = name;
                continue;
            }
            const ToolkitOption* option = toolkitOption(argument);
            if (!option)
                return {
                    Action::UsageError,
                    {},
                    QCoreApplication::translate("CommandLine", "unknown option '%1'").arg(argument),
                    {}};
            if (!option->takesValue || carriesValue(argument))
                continue;
            if (i + 1 >= arguments.size())
                return {Action::UsageError,
                        {},
                        QCoreApplication::translate("CommandLine", "option %1 needs a value")
                            .arg(argument),
                        {}};
            const QString value = arguments.at(++i);
            if (QLatin1String(option->name) == QLatin1String("platform"))
                requestedPlatform = value;
            else if (QLatin1String(option->name) == QLatin1String("display"))
                displayArgument = true;
        }
    }

    const bool haveX = !environment.display.isEmpty() || displayArgument;
    bool haveDisplay = true;
    if (requestedPlatform.isEmpty()) {
        if (!environment.waylandDisplay.isEmpty()) {
            // The windows need X11 to stay on top and to be placed, so they
            // go through XWayland where the session has it; where it cannot
            // be opened, Qt's Wayland platform takes over instead of the
            // toolkit aborting. The clipboard is watched through the
            // compositor either way, where it allows.
            decision.platform = haveX ? QStringLiteral("xcb;wayland") : QStringLiteral("wayland");
        } else {
            haveDisplay = haveX;
        }
    } else if (pluginName(requestedPlatform) == QLatin1String("xcb")) {
        haveDisplay = haveX;
    }

    decision.request = request;
    if (uninstall)
        decision.action = haveDisplay ? Action::Uninstall : Action::UninstallToConsole;
    else if (!request.isEmpty() && request != QLatin1String("show"))
        // Carried out by the running instance, wherever it shows.
        decision.action = Action::Command;
    else
        decision.action = haveDisplay ? Action::Start : Action::NoDisplay;
    return decision;
}

QStringList arguments(int argc, char** argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    return list;
}

QString usage()
{
    //: The answer to clipstow --help; the options and names of variables and files stay as they are
    return QCoreApplication::translate(
        "CommandLine",
        "Usage: clipstow [OPTION]...\n"
        "       clipstow COMMAND\n"
        "       clipstow /uninstall\n"
        "Collects clipboard text into three slot files; lives in the notification area.\n"
        "\n"
        "Commands for the running Clipstow (for desktop shortcuts); each prints the\n"
        "answer and exits 0, or 1 when it failed or no Clipstow runs:\n"
        "      --capture [SLOT]\n"
        "                     capture into slot 1, 2 or 3 (the active slot without\n"
        "                     SLOT), as the remote window's slot button: in auto mode\n"
        "                     it makes the slot the one auto mode captures into\n"
        "      --auto on|off|toggle\n"
        "                     switch auto mode\n"
        "      --show         show the main window; starts Clipstow if none runs\n"
        "      --remote       show the remote window\n"
        "      --hide         hide the main window\n"
        "      --quit         end Clipstow as \"Exit\" does\n"
        "\n"
        "Options:\n"
        "  -h, --help         show this help and exit\n"
        "      --version      show the version and build date and exit\n"
        "  /uninstall, -uninstall\n"
        "                     remove Clipstow's settings and exit; only as the first\n"
        "                     argument, in any letter case. Without a display the\n"
        "                     message goes to standard output.\n"
        "  -platform NAME, -display DISPLAY, -style NAME and the other options of\n"
        "  the Qt toolkit are passed on to it.\n"
        "\n"
        "Environment:\n"
        "  CLIPSTOW_REGISTRY  the settings database to use instead of the default\n"
        "  QT_QPA_PLATFORM    the Qt platform plugin; under Wayland Clipstow's windows use\n"
        "                     xcb (XWayland) unless this is set, or wayland where\n"
        "                     XWayland cannot be opened. Copies are seen through the\n"
        "                     compositor's data-control protocol where it offers one,\n"
        "                     else through XWayland, or on the wayland plugin only\n"
        "                     while a Clipstow window is active\n"
        "  DISPLAY, WAYLAND_DISPLAY\n"
        "                     the display to run on; without one Clipstow exits\n"
        "\n"
        "Files:\n"
        "  $XDG_CONFIG_HOME/clipstow/registry.sqlite3 (~/.config/clipstow/...)\n"
        "                     the settings; read and change them with clipstow-reg(1)\n"
        "  Default1.txt, Default2.txt, Default3.txt\n"
        "                     the slot files at the first start, in the folder Clipstow\n"
        "                     was started from (the home folder from the desktop menu)\n"
        "\n"
        "See clipstow(1) for more.\n");
}

QString versionLine()
{
    return QStringLiteral("Clipstow 3 (version " CLIPSTOW_VERSION ", built " CLIPSTOW_BUILD_DATE
                          ")\n");
}

namespace {
void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// The application object of a run that needs no display.
struct CoreApplication
{
    int argc = 1;
    char name[9] = "clipstow";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    QString language = Translations::install();
};
} // namespace

int runWithoutWindows(const Decision& decision)
{
    switch (decision.action) {
    case Action::ShowHelp:
        print(stdout, usage());
        return 0;
    case Action::ShowVersion:
        print(stdout, versionLine());
        return 0;
    case Action::UsageError:
        print(stderr, QCoreApplication::translate("CommandLine", "clipstow: %1\n%2\n")
                          .arg(decision.complaint,
                               QCoreApplication::translate("CommandLine", TryHelpLine)));
        return 2;
    case Action::NoDisplay:
        print(stderr,
              QCoreApplication::translate("CommandLine", NoDisplayMessage) + QLatin1Char('\n'));
        return 1;
    case Action::Command: {
        const CoreApplication app;
        SingleInstance instance(SingleInstance::defaultName());
        return InstanceCommands::send(instance, decision.request);
    }
    case Action::UninstallToConsole: {
        const CoreApplication app;
        Settings settings(Settings::defaultStoreFile());
        Startup::runUninstall(settings, [](const QString& text, const QString&) {
            print(stdout, text + QLatin1Char('\n'));
        });
        return 0;
    }
    case Action::Start:
    case Action::Uninstall:
        break;
    }
    return 0;
}

} // namespace CommandLine
