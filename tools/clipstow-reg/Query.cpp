// clipstow-reg query: keys, values and searches, printed as the registry
// tool prints them.

#include "Console.h"

#include "settings/RegistryLayout.h"

#include <QCoreApplication>

namespace RegTool {

namespace {

void printValue(const RegValue& value)
{
    printLine(
        QStringLiteral("    %1    %2    %3")
            .arg(displayName(value.name), RegistryStore::typeName(value.type), displayData(value)));
}

QString childName(const QString& fullName, const QString& child)
{
    return fullName + QLatin1Char('\\') + child;
}

// The key's name, its values, and its subkeys (by name, or in full with /s).
void queryAll(RegistryStore& store, const RegKey& key, const QString& fullName, bool recurse)
{
    printLine(fullName);
    const QList<RegValue> values = key.values();
    for (const RegValue& value : values)
        printValue(value);
    if (!values.isEmpty() || recurse)
        printLine(QString());
    for (const QString& child : key.subKeyNames()) {
        if (!recurse) {
            printLine(childName(fullName, child));
            continue;
        }
        if (auto sub = store.openKey(key.root(), childPath(key.path(), child), false))
            queryAll(store, *sub, childName(fullName, child), true);
    }
}

// One value of this key and, with /s, of every key below; counts matches.
int queryValue(RegistryStore& store, const RegKey& key, const QString& fullName,
               const QString& name, bool recurse)
{
    int found = 0;
    if (auto value = key.value(name)) {
        printLine(fullName);
        printValue(*value);
        printLine(QString());
        ++found;
    }
    if (!recurse)
        return found;
    for (const QString& child : key.subKeyNames()) {
        if (auto sub = store.openKey(key.root(), childPath(key.path(), child), false))
            found += queryValue(store, *sub, childName(fullName, child), name, true);
    }
    return found;
}

} // namespace

int query(RegistryStore& store, const QStringList& words)
{
    Arguments args(QStringLiteral("query"), words, {{"v", true}, {"ve", false}, {"s", false}});
    const KeyName keyName = parseKeyName(args.positional());
    const std::optional<QString> name = args.option("v");
    const bool defaultValue = args.flag("ve");
    const bool recurse = args.flag("s");
    args.finish();
    if (name && defaultValue)
        throw syntaxError(args.command());

    const auto key = store.openKey(keyName.root, keyName.path, false);
    if (!key) {
        // Before Clipstow's first start its key is missing: that is no
        // fault, and the user is told so.
        const QString program = QString::fromLatin1(Layout::ProgramKey);
        const bool clipstowKey =
            keyName.path.compare(program, Qt::CaseInsensitive) == 0 ||
            keyName.path.startsWith(program + QLatin1Char('\\'), Qt::CaseInsensitive);
        if (clipstowKey && !store.keyExists(RegRoot::LocalMachine, program))
            throw Failure(QString::fromLatin1(notFound) + QLatin1Char('\n') +
                          QString::fromLatin1(nothingStoredYet));
        throw Failure(QString::fromLatin1(notFound));
    }

    if (!name && !defaultValue) {
        printLine(QString());
        queryAll(store, *key, keyName.fullName, recurse);
        return 0;
    }
    const QString valueName = name.value_or(QString());
    if (recurse) {
        printLine(QString());
        const int found = queryValue(store, *key, keyName.fullName, valueName, true);
        printLine(
            QCoreApplication::translate("Query", "End of search: %1 match(es) found.").arg(found));
        return 0;
    }
    const auto value = key->value(valueName);
    if (!value && !valueName.isEmpty())
        throw Failure(QString::fromLatin1(notFound));
    printLine(QString());
    printLine(keyName.fullName);
    if (value)
        printValue(*value);
    else
        printLine(QStringLiteral("    (Default)    REG_SZ    (value not set)"));
    printLine(QString());
    return 0;
}

} // namespace RegTool
