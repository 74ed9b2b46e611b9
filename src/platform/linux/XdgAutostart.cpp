#include "platform/linux/XdgAutostart.h"

#include "base/AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

// The resources are compiled into the static library; referencing their
// initialiser keeps them linked into every program that writes the entry.
static void initDesktopEntryResource()
{
    static const bool initialised = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(initialised);
}

namespace {

const QString EntryGroup = QStringLiteral("[Desktop Entry]");

// The installed desktop entry, whose name, comment and icon the autostart
// entry repeats.
const QString InstalledEntry = QStringLiteral(":/clipstow.desktop");

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

void writeLines(const QString& path, QStringList lines)
{
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0 ||
        !file.commit())
        throw AppError::forFile(QStringLiteral("Cannot create file %s"), path, file.errorString());
}

// The key of a "Key=Value" line, blanks around it removed; empty for
// comments, group headers and blank lines.
QString keyOf(const QString& line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals <= 0 || line.startsWith(QLatin1Char('#')))
        return {};
    return line.left(equals).trimmed();
}

QString valueOf(const QString& line)
{
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

// Calls visit for each line of the [Desktop Entry] group with its index;
// answers the index after the group's header, or -1 when there is none.
template <typename Visit> qsizetype forEachEntryLine(const QStringList& lines, Visit visit)
{
    qsizetype header = -1;
    bool inGroup = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == EntryGroup;
            if (inGroup && header < 0)
                header = i + 1;
        } else if (inGroup) {
            visit(i, line);
        }
    }
    return header;
}

// Points the lines' Exec= at program, adding the key when it is missing.
QStringList withExec(QStringList lines, const QString& program)
{
    const QString exec = QStringLiteral("Exec=") + XdgAutostart::execValue(program);
    bool replaced = false;
    const qsizetype header = forEachEntryLine(lines, [&](qsizetype i, const QString& line) {
        if (keyOf(line) == QLatin1String("Exec")) {
            lines[i] = exec;
            replaced = true;
        }
    });
    if (!replaced) {
        if (header < 0)
            lines.prepend(EntryGroup);
        lines.insert(std::max<qsizetype>(header, 1), exec);
    }
    return lines;
}

} // namespace

QString XdgAutostart::entryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/clipstow.desktop");
}

bool XdgAutostart::exists() const
{
    const QString path = entryPath();
    if (!QFileInfo(path).isFile())
        return false;
    bool hidden = false;
    forEachEntryLine(readLines(path), [&hidden](qsizetype, const QString& line) {
        if (keyOf(line) == QLatin1String("Hidden"))
            hidden = valueOf(line) == QLatin1String("true");
    });
    return !hidden;
}

void XdgAutostart::write(const QString& programPath)
{
    initDesktopEntryResource();
    QStringList entry;
    // The installed entry's TryExec names the program on the PATH; the
    // session would skip this entry when that is not where it lives.
    forEachEntryLine(readLines(InstalledEntry), [&entry](qsizetype, const QString& line) {
        if (!line.isEmpty() && keyOf(line) != QLatin1String("TryExec"))
            entry.append(line);
    });
    entry.prepend(EntryGroup);
    writeLines(entryPath(), withExec(entry, programPath));
}

bool XdgAutostart::remove()
{
    return QFile::remove(entryPath());
}

void XdgAutostart::updateProgramPath(const QString& programPath)
{
    if (exists())
        writeLines(entryPath(), withExec(readLines(entryPath()), programPath));
}

QString XdgAutostart::execValue(const QString& program)
{
    // As one quoted argument: ", `, $ and \ take a backslash.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    // A literal percent sign is doubled, or it starts a field code. GLib
    // looks for the program before it undoes the doubling, and finds none
    // under the doubled name: such a path is then an argument of env.
    if (quoted.contains(QLatin1Char('%'))) {
        quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
        quoted.prepend(QStringLiteral("env "));
    }
    // Then the escapes of every string value.
    QString value;
    for (const QChar c : quoted) {
        switch (c.unicode()) {
        case '\\':
            value += QStringLiteral("\\\\");
            break;
        case '\n':
            value += QStringLiteral("\\n");
            break;
        case '\t':
            value += QStringLiteral("\\t");
            break;
        case '\r':
            value += QStringLiteral("\\r");
            break;
        default:
            value += c;
        }
    }
    return value;
}

std::unique_ptr<Autostart> createSystemAutostart()
{
    return std::make_unique<XdgAutostart>();
}
