#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the program. A failing step raises it with the
// message the user is to see; the operation ends there and the application's
// handler shows the message (see ErrorReporter).
class AppError : public std::runtime_error
{
public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    const QString& message() const noexcept { return m_message; }

    // Builds the message from a pattern holding one %s (a file or value name).
    static AppError withName(const QString& pattern, const QString& name)
    {
        QString text = pattern;
        text.replace(QStringLiteral("%s"), name);
        return AppError(text);
    }

private:
    QString m_message;
};
