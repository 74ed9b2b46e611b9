#pragma once

#include <QString>

// The folder for this user's lock files and sockets: a folder of the
// user's that nobody else may enter, the same for every Clipstow process
// of the user on this machine. In order of preference:
//   $XDG_RUNTIME_DIR, when it is such a folder;
//   <temporary folder>/clipstow-<user id>, made with mode 0700;
//   <cache folder>/clipstow/runtime-<host name> ($XDG_CACHE_HOME, else
//   ~/.cache), for when another user, or a link, took the name in the
//   shared temporary folder first.
// A folder of the user's that others may enter is closed (mode 0700); the
// two Clipstow makes are used only when nothing in them belongs to anyone
// else. On Windows: Clipstow\runtime in the user's local application data
// folder, which Windows lets no other (ordinary) user enter. Empty, with the
// reason in problem, when there is no such folder.
QString privateRuntimeFolder(QString* problem = nullptr);

// text as a part of a file name in that folder: every character but ASCII
// letters, digits, '.' and '-' becomes '_'.
QString safeForFileName(const QString& text);
