#pragma once

#include <QObject>
#include <memory>

// Tells the program that the system or the user's session asks it to end
// (on Linux: SIGTERM, SIGHUP or SIGINT), on the user-interface thread, so
// that it ends in order instead of being cut off: settings saved, nothing
// the user typed lost. Further requests while it ends are ignored until it
// says that what the user typed is safe (allowImmediateEnd); from then on
// the next one ends the process at once, the system's way, in case the rest
// of the orderly end hangs.
class TerminationRequests : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // A request has come, also one that requested() has not told yet (the
    // user-interface thread is busy): for work that is to stop at once.
    virtual bool isRequested() const = 0;
    // The next request ends the process the system's way.
    virtual void allowImmediateEnd() = 0;

Q_SIGNALS:
    void requested();
};

// Listens for the system's requests until destroyed. There is one listener
// per process; creating a second while one exists gives one that never
// reports.
std::unique_ptr<TerminationRequests> createTerminationRequests();
