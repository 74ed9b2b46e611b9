#include "platform/Shell.h"

namespace Shell {

// Notepad comes with every Windows; the others are the ones many users
// install for themselves.
QStringList commonTextEditors()
{
    return {QStringLiteral("notepad.exe"), QStringLiteral("notepad++.exe"),
            QStringLiteral("wordpad.exe")};
}

// The program's own clipboard viewer reads the clipboard through Qt, which
// reaches the Windows clipboard.
bool hasClipboardViewer()
{
    return true;
}

} // namespace Shell
