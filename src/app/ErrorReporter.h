#pragma once

#include <QString>
#include <exception>
#include <functional>

class QWidget;

// Shows failures to the user: a modal error box captioned with the
// application title, an error icon and one OK button.
namespace ErrorReporter {

// The text the box shows: the message with a full stop appended when its
// last character has a code above that of ".".
QString displayText(const QString& message);

// The whole text of a box: the display text of the message and, when there
// is one, the detail (which file, the system's reason) on a second line.
QString boxText(const QString& message, const QString& detail = QString());

// Shows the box (or hands the text to the hook installed for tests). While
// a box with the same text is open, no second one opens: the failure is
// counted and the repeat listener told instead.
void show(const QString& message, const QString& detail = QString());

// Shows a failure raised by a handler: an AppError's message, or the
// description of any other exception.
void showFailure(const std::exception& failure);

// Runs one step of a handler that must go on after a failure (the next
// clipboard change, the next tray click): a failure it raises is shown.
template <typename Step> void reportFailures(Step&& step)
{
    try {
        step();
    } catch (const std::exception& failure) {
        showFailure(failure);
    }
}

// Told when a failure repeats while its box is open: the box's text and how
// many times it came again since the box opened. The main window counts them
// in its status bar.
void setRepeatListener(std::function<void(const QString& text, int repeats)> listener);

// The status bar's words for a repeated failure.
QString repeatNotice(const QString& text, int repeats);

// Replaces the box with a function; pass an empty function to restore it.
// Tests use this to see what the user would have been shown.
void setHook(std::function<void(const QString& text)> hook);

} // namespace ErrorReporter
