// clipstow-reg: reads and changes Clipstow's registry store from the command
// line, with the syntax and output of the Windows registry tool.

#include "Console.h"

#include "base/Translations.h"
#include "settings/RegistryLayout.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

const char invalidSyntax[] =
    QT_TRANSLATE_NOOP("clipstow-reg", "Invalid syntax. Type \"clipstow-reg /?\" for usage.");

//: The answer to clipstow-reg /?; operations, switches, key and type names stay as they are
const char usage[] = QT_TRANSLATE_NOOP(
    "clipstow-reg",
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
    "$XDG_CONFIG_HOME/clipstow/registry.sqlite3 (~/.config when unset).\n"
    "/?, -h or --help shows this text; --version the version.\n");

int run(const QStringList& words)
{
    using namespace RegTool;
    if (words.isEmpty())
        throw Failure(QCoreApplication::translate("clipstow-reg", invalidSyntax));
    const QString operation = words.first().toLower();
    // Help right after the program or the operation; "/?" anywhere, as the
    // registry tool takes it.
    const auto asksHelp = [](const QString& word) {
        static const QStringList helpWords{"/?", "-?", "-h", "--help"};
        return helpWords.contains(word.toLower());
    };
    if (asksHelp(words.first()) || (words.size() > 1 && asksHelp(words.at(1))) ||
        words.contains(QStringLiteral("/?"))) {
        print(QCoreApplication::translate("clipstow-reg", usage) + QLatin1Char('\n') +
              Layout::valuesHelpText());
        return 0;
    }
    if (words.size() == 1 && operation == QLatin1String("--version")) {
        print(QStringLiteral("clipstow-reg (Clipstow 3, version " CLIPSTOW_VERSION
                             ", built " CLIPSTOW_BUILD_DATE ")\n"));
        return 0;
    }
    // A command on the command line may wait longer for another process
    // than the program at its start and exit.
    RegistryStore store(RegistryStore::defaultFilePath());
    store.setBusyTimeout(10000);
    const QStringList rest = words.mid(1);
    if (operation == QLatin1String("query"))
        return query(store, rest);
    if (operation == QLatin1String("add"))
        return add(store, rest);
    if (operation == QLatin1String("delete"))
        return remove(store, rest);
    if (operation == QLatin1String("export"))
        return exportKey(store, rest);
    if (operation == QLatin1String("import"))
        return importFile(store, rest);
    throw Failure(QCoreApplication::translate("clipstow-reg", invalidSyntax));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Translations::install();
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
