#pragma once

#include "platform/Shell.h"

#include <QList>
#include <QUrl>
#include <functional>

namespace TestSupport {

// Takes the desktop's place while it lives: records what would have been
// started, answering `succeed`, with a snapshot (say, a file's bytes) taken
// at the moment of each call.
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

    bool startDetached(const QString& program, const QStringList& arguments) override
    {
        calls.append({program, arguments, {}, snapshot ? snapshot() : QByteArray()});
        return succeed;
    }
    bool openUrl(const QUrl& url) override
    {
        calls.append({{}, {}, url, snapshot ? snapshot() : QByteArray()});
        return succeed;
    }

    QList<Call> calls;
    bool succeed = true;
    std::function<QByteArray()> snapshot;
};

} // namespace TestSupport
