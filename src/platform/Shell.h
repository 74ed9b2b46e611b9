#pragma once

#include <QString>
#include <QStringList>

class QUrl;

// Launching other programs, documents and links. Nothing here waits for
// what it launched or examines how it went.
namespace Shell {

// The desktop's default action for target: a web or mail link opens in its
// handler, a document in the program registered for its type, an
// executable file is started.
bool open(const QString& target);

// Hands a web or mail link to the desktop's handler for its scheme. How
// that went is not examined: a link that cannot be opened is not reported.
void openLink(const QUrl& link);

// Starts program with arguments, detached.
bool launch(const QString& program, const QStringList& arguments);

} // namespace Shell
