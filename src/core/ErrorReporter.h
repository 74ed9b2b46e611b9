#pragma once

#include <QString>
#include <exception>
#include <functional>

// Shows failures to the user. The user interface installs the error box
// (ErrorBox::install); until then, and in programs without windows, the
// text goes to the log.
//
// A handler's failure travels as an exception up to the point where a
// signal entered the program's code (a command, a clipboard change, a tray
// click); there reportFailures shows it and the program goes on. Nothing is
// thrown through Qt's event loop.
namespace ErrorReporter {

// The text the box shows: the message with a full stop appended when its
// last character has a code above that of ".".
QString displayText(const QString& message);

// The whole text of a box: the display text of the message and, when there
// is one, the detail (which file, the system's reason) on a second line.
QString boxText(const QString& message, const QString& detail = QString());

// Shows the text (through the hook for tests, else the installed
// presenter). While the presenter shows a box with the same text, no second
// one opens: the failure is counted and the repeat listener told instead.
void show(const QString& message, const QString& detail = QString());

// Shows a failure raised by a handler: an AppError's message, or the
// description of any other exception.
void showFailure(const std::exception& failure);

// Runs one step of a handler that must go on after a failure (the next
// clipboard change, the next tray click, the next command): a failure it
// raises is shown.
template <typename Step> void reportFailures(Step&& step)
{
    try {
        step();
    } catch (const std::exception& failure) {
        showFailure(failure);
    }
}

// What shows a text to the user; the user interface sets its error box.
void setPresenter(std::function<void(const QString& text)> presenter);

// Told when a failure repeats while its box is open: the box's text and how
// many times it came again since the box opened. The main window counts them
// in its status bar.
void setRepeatListener(std::function<void(const QString& text, int repeats)> listener);

// The status bar's words for a repeated failure.
QString repeatNotice(const QString& text, int repeats);

// Replaces the presenter with a function; pass an empty function to
// restore it. Tests use this to see what the user would have been shown.
void setHook(std::function<void(const QString& text)> hook);

} // namespace ErrorReporter
