// Registry scripts: any file (UTF-16, UTF-8 or the older 8-bit format) is
// parsed or refused without fault; an accepted one imported into a real
// registry file and exported gives a script whose import and export give
// it back exactly.

#include "FuzzSupport.h"
#include "settings/RegFile.h"

#include <QTemporaryDir>

namespace {

// Thrown to undo an iteration's writes, so that every input starts from an
// empty registry.
struct Undo
{
};

// Imports the entries into store and exports each root; nullopt when the
// store refused them.
std::optional<QStringList> importAndExport(RegistryStore& store,
                                           const QList<RegFile::Entry>& entries)
{
    QStringList exported;
    try {
        store.runInTransaction([&] {
            RegFile::apply(store, entries);
            for (const RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser})
                exported.append(
                    RegFile::exportScript(store, *store.openKey(root, QString(), false)));
            throw Undo();
        });
    } catch (const Undo&) {
        return exported;
    } catch (const RegistryIoError&) {
    }
    return std::nullopt;
}

QList<RegFile::Entry> parseFileBytes(const QByteArray& bytes)
{
    return RegFile::parse(RegFile::decodeBytes(bytes));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder;
    static RegistryStore first(folder.filePath(QStringLiteral("first.sqlite3")));
    static RegistryStore second(folder.filePath(QStringLiteral("second.sqlite3")));

    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<RegFile::Entry> entries;
    try {
        entries = parseFileBytes(bytes);
    } catch (const RegFile::ParseError&) {
        return 0;
    }
    const std::optional<QStringList> exported = importAndExport(first, entries);
    if (!exported)
        return 0;
    // Each root's script as an export writes it to a file, imported again.
    QList<RegFile::Entry> again;
    for (const QString& text : *exported) {
        fuzzCheck(RegFile::decodeBytes(RegFile::encodeBytes(text)) == text,
                  "an exported script reads back from its file as written");
        try {
            again += parseFileBytes(RegFile::encodeBytes(text));
        } catch (const RegFile::ParseError& error) {
            std::fprintf(stderr, "%s\n%s\n", error.what(), qPrintable(text));
            fuzzCheck(false, "an exported script parses");
        }
    }
    const std::optional<QStringList> reexported = importAndExport(second, again);
    fuzzCheck(reexported.has_value(), "an exported script imports");
    fuzzCheck(*reexported == *exported, "import and export of an export gives it back");
    return 0;
}
