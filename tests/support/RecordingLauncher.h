#pragma once

#include "platform/Shell.h"

#include <QFile>
#include <QList>
#include <QUrl>
#include <functional>

namespace TestSupport {

// Takes the desktop's place while it lives: records what would have been
// started instead of starting it, answering `succeed`. Each record can carry
// a snapshot taken at the moment of the call (for example a file's bytes),
// to show what was there when the launch happened.
class RecordingLauncher final : public Shell::Launcher
{
public:
    struct Call
    {
        QString program; // empty for an opened URL
        QStringList arguments;
        QUrl url;
        QByteArray snapshot;
    };

    RecordingLauncher() { Shell::setLauncher(this); }
    ~RecordingLauncher() override { Shell::setLauncher(nullptr); }
    RecordingLauncher(const RecordingLauncher&) = delete;
    RecordingLauncher& operator=(const RecordingLauncher&) = delete;

    bool startDetached(const QString& program, const QStringList& arguments) override
    {
        calls.append({program, arguments, {}, snap()});
        return succeed;
    }
    bool openUrl(const QUrl& url) override
    {
        calls.append({{}, {}, url, snap()});
        return succeed;
    }

    QList<Call> calls;
    bool succeed = true;
    std::function<QByteArray()> snapshot;

private:
    QByteArray snap() const { return snapshot ? snapshot() : QByteArray(); }
};

} // namespace TestSupport
