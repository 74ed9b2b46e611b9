#pragma once

#include "settings/RegistryStore.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>
#include <stdexcept>

// Shared pieces of the clipstow-reg commands: output in the registry tool's
// format, questions on the terminal, and the command line.
namespace RegTool {

inline const char* const notFound =
    "The system was unable to find the specified registry key or value.";
inline const char* const completed = "The operation completed successfully.";
inline const char* const canceled = "The operation was canceled by the user.";
inline const char* const nothingStoredYet =
    "Clipstow has stored nothing yet: it writes its settings when it starts for the first "
    "time. Until then every setting has its default (\"clipstow-reg /?\" lists them).";

// Ends the command: "ERROR: <message>" on standard error and exit status 1.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

Failure syntaxError(const QString& command);

void print(const QString& text); // standard output, as is
void printLine(const QString& text);
// Asks "<question>(Yes/No)? " (the question ends in a space where one is wanted) and reads one
// line; only y or yes (any case) agrees; anything else, or the end of input, declines.
bool confirm(const QString& question);

// A key as named on the command line: root and path, plus the full name
// ("HKEY_LOCAL_MACHINE\...") the output shows.
struct KeyName
{
    RegRoot root;
    QString path;
    QString fullName;
};
KeyName parseKeyName(const QString& text); // throws Failure

// The command's words after its name. Options start with / or - and are
// known by name (any case); everything else, file names like /tmp/a.reg
// included, is a positional word.
struct KnownOption
{
    const char* name;
    bool takesParameter;
};

class Arguments
{
public:
    Arguments(QString command, const QStringList& words,
              std::initializer_list<KnownOption> knownOptions);

    // Takes the next positional word; fails when there is none.
    QString positional();
    bool flag(const char* name) const;
    std::optional<QString> option(const char* name) const;
    // Fails when a positional word was left over.
    void finish() const;

    const QString& command() const { return m_command; }

private:
    QString m_command;
    QStringList m_positional;
    qsizetype m_next = 0;
    QHash<QString, QString> m_options; // lower-case name -> parameter
};

QString displayData(const RegValue& value); // the text query shows
QString displayName(const QString& name);   // "(Default)" for the empty name
// The path of a subkey below the key at path (the empty path is the root).
QString childPath(const QString& path, const QString& child);

// The operations on store; each takes the words after its name.
int query(RegistryStore& store, const QStringList& words);
int add(RegistryStore& store, const QStringList& words);
int remove(RegistryStore& store, const QStringList& words);
int exportKey(RegistryStore& store, const QStringList& words);
int importFile(RegistryStore& store, const QStringList& words);

} // namespace RegTool
