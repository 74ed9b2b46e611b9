#pragma once

class QWidget;

// What the desktop is told about a small always-on-top tool window that
// belongs to no other window of the program.
namespace WindowHints {

// Keeps the window off the taskbar and the pager. Call before it is shown.
void keepOffTaskbar(QWidget& window);

// Asks the window manager for a title bar with a close button only: no
// minimise or maximise button (a minimised tool window has no taskbar entry
// to come back from) and no room taken from a short caption. Call before
// the window is shown and again once it is.
void closeButtonOnly(QWidget& window);

// Makes a shown window owned by the desktop alone, so that the window
// manager does not minimise it with the program's other windows.
void detachFromOwner(QWidget& window);

} // namespace WindowHints
