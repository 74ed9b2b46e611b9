#include "app/CommandLine.h"

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
    if (!uninstall) {
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            const QString& argument = arguments.at(i);
            if (argument == QLatin1String("--"))
                break;
            if (argument.size() < 2 || !argument.startsWith(QLatin1Char('-')))
                continue; // not an option; ignored as before
            if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
                return {Action::ShowHelp, {}, {}};
            if (argument == QLatin1String("--version"))
                return {Action::ShowVersion, {}, {}};
            if (isUninstallWord(argument))
                continue; // acted on only as the first parameter
            const ToolkitOption* option = toolkitOption(argument);
            if (!option)
                return {Action::UsageError, {}, QStringLiteral("unknown option %1").arg(argument)};
            if (!option->takesValue || carriesValue(argument))
                continue;
            if (i + 1 >= arguments.size())
                return {Action::UsageError,
                        {},
                        QStringLiteral("option %1 needs a value").arg(argument)};
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

    if (uninstall)
        decision.action = haveDisplay ? Action::Uninstall : Action::UninstallToConsole;
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
    return QStringLiteral(
        "Usage: clipstow [OPTION]...\n"
        "       clipstow /uninstall\n"
        "Collects clipboard text into three slot files; lives in the notification area.\n"
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
        "                     else only while a Clipstow window is active\n"
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
        print(stderr, QStringLiteral("clipstow: %1\n").arg(decision.complaint) + usage());
        return 2;
    case Action::NoDisplay:
        print(stderr, QString::fromLatin1(NoDisplayMessage) + QLatin1Char('\n'));
        return 1;
    case Action::UninstallToConsole: {
        int argc = 1;
        char name[] = "clipstow";
        char* argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
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
