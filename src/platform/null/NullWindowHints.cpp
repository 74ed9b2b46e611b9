// Window hints where the build knows no way to tell the window manager:
// the window keeps what Qt's own window flags give it.
#include "platform/WindowHints.h"

namespace WindowHints {

void keepOffTaskbar(QWidget&) {}

void closeButtonOnly(QWidget&) {}

void detachFromOwner(QWidget&) {}

} // namespace WindowHints
