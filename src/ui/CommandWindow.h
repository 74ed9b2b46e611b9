#pragma once

#include "core/SlotNumber.h"

#include <QString>

class QFont;
class QWidget;
class SlotEditor;

// What the command handlers need of the window whose commands they carry
// out: the widget their dialogs open over, the editors, the status bar and
// the window's own commands. The main window is one; the handlers know it
// only as this.
class CommandWindow
{
public:
    // The window as a widget: the parent of the handlers' dialogs and
    // windows.
    virtual QWidget* widget() = 0;
    virtual SlotEditor* activeEditor() const = 0;
    // The caption of the slot's tab.
    virtual QString slotName(SlotNumber slot) const = 0;
    // A font the user chose, for every editor.
    virtual void setEditorsFont(const QFont& font) = 0;
    virtual void setStatusText(const QString& text) = 0;
    virtual void setToolbarShown(bool shown) = 0;
    virtual void setStatusBarShown(bool shown) = 0;
    virtual void hideWindow() = 0;
    virtual void showWindow() = 0;
    virtual void showRemoteWindow() = 0;
    // The end goes on without questions (the session ends).
    virtual bool endsWithoutQuestions() const = 0;

protected:
    ~CommandWindow() = default;
};
