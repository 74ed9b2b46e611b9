#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <type_traits>

class QWidget;

// Shows failures to the user: a modal error box captioned with the
// application title, an error icon and one OK button.
namespace ErrorReporter {

// The text the box shows: the message with a full stop appended when its
// last character has a code above that of ".".
QString displayText(const QString& message);

// Shows the box (or hands the text to the hook installed for tests).
void show(const QString& message);

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

// Reads a setting for a step that must go on after a failure (start-up,
// shutdown): a value that cannot be read, such as one stored with the wrong
// type, is shown and the setting's default is used in its place.
template <typename Setting> auto readOrDefault(const Setting& setting) -> decltype(setting.read())
{
    using Value = decltype(setting.read());
    try {
        return setting.read();
    } catch (const std::exception& failure) {
        showFailure(failure);
    }
    if constexpr (std::is_same_v<Value, QString>)
        return QString::fromUtf8(setting.defaultValue);
    else
        return Value(setting.defaultValue);
}

// Replaces the box with a function; pass an empty function to restore it.
// Tests use this to see what the user would have been shown.
void setHook(std::function<void(const QString& text)> hook);

} // namespace ErrorReporter
