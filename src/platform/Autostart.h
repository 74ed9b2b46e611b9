#pragma once

#include <QString>
#include <memory>

// Whether the program starts with the user's desktop session, and with
// which program file.
class Autostart
{
public:
    virtual ~Autostart() = default;

    // True while the desktop will start the program with the session.
    virtual bool exists() const = 0;
    // Makes the desktop start programPath (a full path) with the session.
    // Raises AppError when that cannot be recorded.
    virtual void write(const QString& programPath) = 0;
    // Stops starting the program with the session; true if there was
    // anything to remove.
    virtual bool remove() = 0;
    // Start-up calls this at every start: when the program starts with the
    // session, it is pointed at programPath (the program may have moved);
    // otherwise nothing changes. Raises AppError like write().
    virtual void updateProgramPath(const QString& programPath) = 0;
};

// The desktop's own mechanism.
std::unique_ptr<Autostart> createSystemAutostart();
