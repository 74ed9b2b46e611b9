#pragma once

#include <QString>
#include <cerrno>
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
    // A second line for the error box: which file and why (the system's
    // reason); empty for failures that are not about a file.
    const QString& detail() const noexcept { return m_detail; }

    // Builds the message from a pattern holding one %s (a file or value name).
    static AppError withName(const QString& pattern, const QString& name)
    {
        QString text = pattern;
        text.replace(QStringLiteral("%s"), name);
        return AppError(text);
    }

    // A failure on a file: the message from pattern (its %s, if any, is the
    // file), and as detail the system's reason for errno value error, led
    // by the file name when the message does not name the file.
    static AppError forFile(const QString& pattern, const QString& fileName, int error)
    {
        return forFile(pattern, fileName, reasonFor(error));
    }
    static AppError forFile(const QString& pattern, const QString& fileName, const QString& reason)
    {
        AppError failure = withName(pattern, fileName);
        const bool named = pattern.contains(QStringLiteral("%s"));
        if (!reason.isEmpty())
            failure.m_detail = named ? reason : fileName + QStringLiteral(": ") + reason;
        else if (!named)
            failure.m_detail = fileName;
        return failure;
    }

    // The system's description of an errno value; empty for 0.
    static QString reasonFor(int error) { return error == 0 ? QString() : qt_error_string(error); }

private:
    QString m_message;
    QString m_detail;
};
