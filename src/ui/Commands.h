#pragma once

#include "core/ErrorReporter.h"

#include <QAction>
#include <type_traits>
#include <vector>

// Every command of the program as a typed action: its caption, shortcut,
// picture and check state come from one table (Commands.cpp). Menus, the
// toolbar (QToolButton::setDefaultAction) and the tray menu show these
// actions; code reaches a command through its member, never by a name.
//
// The tray menu and the editors' context menu show some commands under a
// caption of their own; those items (tray..., editorClearClipboard) are
// forwarders: triggering one triggers the main command, so a handler is
// connected to the main command only.
struct Commands
{
    // File menu.
    QAction* capture = nullptr;
    QAction* editInTextEditor = nullptr;
    QAction* save = nullptr;
    QAction* saveAs = nullptr;
    QAction* print = nullptr;
    QAction* exit = nullptr;
    // View menu.
    QAction* hideWindow = nullptr;
    QAction* showRemote = nullptr;
    QAction* toolbar = nullptr;   // checkable
    QAction* statusBar = nullptr; // checkable
    QAction* font = nullptr;
    // Options menu.
    QAction* preferences = nullptr;
    QAction* autoMode = nullptr; // checkable; switches auto mode only
    QAction* clearClipboard = nullptr;
    QAction* setFilename = nullptr;
    QAction* find = nullptr;
    QAction* findNext = nullptr;
    // Help menu.
    QAction* help = nullptr;
    QAction* about = nullptr;
    QAction* support = nullptr;
    // The toolbar's auto switch (checkable): besides auto mode it sets the
    // remote window's slot buttons to the matching presentation.
    QAction* autoSwitch = nullptr;
    // Tray menu, in its order.
    QAction* trayExit = nullptr;
    QAction* trayHelp = nullptr;
    QAction* trayAbout = nullptr;
    QAction* clipboardViewer = nullptr;
    QAction* trayClearClipboard = nullptr;
    QAction* trayAutoMode = nullptr; // checkable
    QAction* trayEditInTextEditor = nullptr;
    QAction* trayCapture = nullptr; // the menu's bold default item
    QAction* trayShowRemote = nullptr;
    QAction* showMainWindow = nullptr;
    // The editors' context menu, in its order.
    QAction* undo = nullptr;
    QAction* cut = nullptr;
    QAction* copy = nullptr;
    QAction* paste = nullptr;
    QAction* selectAll = nullptr;
    QAction* clearSlot = nullptr;
    QAction* editorClearClipboard = nullptr;

    // Creates every action, owned by owner.
    static Commands create(QObject* owner);
    // Every action, in table order.
    std::vector<QAction*> all() const;
};

// Runs handler on each trigger of action, as long as context lives. A
// failure the handler raises is shown by errors; the program goes on.
template <typename Handler>
QMetaObject::Connection connectCommand(ErrorReporter& errors, QAction* action,
                                       const QObject* context, Handler handler)
{
    return QObject::connect(action, &QAction::triggered, context, [&errors, handler](bool checked) {
        errors.reportFailures([&] {
            if constexpr (std::is_invocable_v<Handler, bool>)
                handler(checked);
            else
                handler();
        });
    });
}
