#pragma once

#include "platform/Shell.h"

#include <QList>
#include <QUrl>
#include <functional>

namespace TestSupport {

// Takes the desktop's place while it lives: records each launch (a program
// with its arguments, or a URL) with a snapshot taken at that moment (say,
// a file's bytes), and answers `succeed`.
class RecordingLauncher final : public Shell::Launcher
{
public:
    struct Call
    {
        QStringList command;
        QUrl url;
        QByteArray snapshot;
    };

    RecordingLauncher() { Shell::setLauncher(this); }
    ~RecordingLauncher() override { Shell::setLauncher(nullptr); }
    bool startDetached(const QString& program, const QStringList& arguments) override
    {
        return record({QStringList{program} + arguments, {}, {}});
    }
    bool openUrl(const QUrl& url) override { return record({{}, url, {}}); }

    QList<Call> calls;
    bool succeed = true;
    std::function<QByteArray()> snapshot;

private:
    bool record(Call call)
    {
        call.snapshot = snapshot ? snapshot() : QByteArray();
        calls.append(call);
        return succeed;
    }
};

} // namespace TestSupport
