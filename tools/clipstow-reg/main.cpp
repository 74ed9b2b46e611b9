// clipstow-reg: reads and changes Clipstow's registry store from the command
// line, with the syntax and output of the Windows registry tool.

#include "Console.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

const char usage[] =
    "clipstow-reg OPERATION [parameters]\n"
    "\n"
    "  query KEY [/v NAME | /ve] [/s]\n"
    "  add KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]\n"
    "  delete KEY [/v NAME | /ve | /va] [/f]\n"
    "  export KEY FILE [/y]\n"
    "  import FILE\n"
    "\n"
    "KEY is ROOT\\SubKey with ROOT one of HKLM, HKCU, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER.\n"
    "TYPE is REG_SZ (the default), REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD or\n"
    "REG_QWORD. The store is $CLIPSTOW_REGISTRY, else\n"
    "$XDG_CONFIG_HOME/clipstow/registry.sqlite3 (~/.config when unset).\n";

int run(const QStringList& words)
{
    using namespace RegTool;
    if (words.isEmpty())
        throw syntaxError(QString());
    const QString operation = words.first().toLower();
    if (operation == QLatin1String("/?") || operation == QLatin1String("-?") ||
        words.contains(QStringLiteral("/?"))) {
        print(QString::fromLatin1(usage));
        return 0;
    }
    const QStringList rest = words.mid(1);
    if (operation == QLatin1String("query"))
        return query(rest);
    if (operation == QLatin1String("add"))
        return add(rest);
    if (operation == QLatin1String("delete"))
        return remove(rest);
    if (operation == QLatin1String("export"))
        return exportKey(rest);
    if (operation == QLatin1String("import"))
        return importFile(rest);
    throw Failure(QStringLiteral("Invalid syntax. Type \"clipstow-reg /?\" for usage."));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int status = 1;
    try {
        status = run(app.arguments().mid(1));
    } catch (const RegTool::Failure& failure) {
        std::fflush(stdout);
        std::fprintf(stderr, "ERROR: %s\n", failure.message().toLocal8Bit().constData());
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "ERROR: %s\n", error.what());
    }
    std::fflush(stdout);
    return status;
}
