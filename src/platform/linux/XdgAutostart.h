#pragma once

#include "platform/Autostart.h"

#include <QString>

// The XDG autostart entry $XDG_CONFIG_HOME/autostart/clipstow.desktop
// (~/.config/autostart when XDG_CONFIG_HOME is unset or relative). The
// program starts with the session exactly while the file exists and is not
// marked Hidden=true; the folder is looked up afresh at every call.
class XdgAutostart final : public Autostart
{
public:
    static QString entryPath();

    bool exists() const override;
    // Writes the entry of the installed desktop file (name, comment, icon)
    // with Exec= the quoted program path, replacing any entry there was.
    void write(const QString& programPath) override;
    bool remove() override;
    // Replaces only the Exec= line, so that whatever else the user changed
    // in the entry stays.
    void updateProgramPath(const QString& programPath) override;

    // The value of an Exec= key that runs program without arguments: the
    // path quoted as one argument (through env when it holds a percent
    // sign), then escaped as a string value.
    static QString execValue(const QString& program);
};
