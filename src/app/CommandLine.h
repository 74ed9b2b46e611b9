#pragma once

#include <QString>
#include <QStringList>

// What the program does with its command line and environment, decided
// before any window system is touched: a missing display or a request for
// help must never reach the toolkit, which would abort.
namespace CommandLine {

enum class Action
{
    Start,              // the normal program
    Uninstall,          // remove the settings, say so in a message box
    UninstallToConsole, // the same with no display: the message goes to stdout
    ShowHelp,           // usage on stdout, exit 0
    ShowVersion,        // version line on stdout, exit 0
    UsageError,         // complaint and a pointer to --help on stderr, exit 2
    NoDisplay,          // complaint on stderr, exit 1
    Command,            // a request to the running instance (needs no display)
};

// The environment variables the decision depends on.
struct Environment
{
    QString display;        // DISPLAY
    QString waylandDisplay; // WAYLAND_DISPLAY
    QString qpaPlatform;    // QT_QPA_PLATFORM

    static Environment current();
};

struct Decision
{
    Action action = Action::Start;
    // The platform plugin to put into QT_QPA_PLATFORM before the
    // application object exists; empty leaves the environment as it is.
    QString platform;
    // For UsageError: what is wrong with the command line.
    QString complaint;
    // For Command, and for Start with --show: the request for the running
    // instance (see InstanceCommands), e.g. "capture 2".
    QString request;
};

// arguments[0] is the program. Only the first parameter is looked at for the
// uninstall command; the others are checked for options.
Decision decide(const QStringList& arguments, const Environment& environment);

// The arguments as the operating system passed them.
QStringList arguments(int argc, char** argv);

QString usage();
QString versionLine();
inline constexpr const char* NoDisplayMessage =
    QT_TRANSLATE_NOOP("CommandLine", "Clipstow needs a graphical desktop (no display found)");

// The second line of a complaint about the command line.
inline constexpr const char* TryHelpLine =
    QT_TRANSLATE_NOOP("CommandLine", "Try 'clipstow --help' for more information.");

// Carries out every action but Start and Uninstall, which need the
// application object, and returns the exit code.
int runWithoutWindows(const Decision& decision);

} // namespace CommandLine
