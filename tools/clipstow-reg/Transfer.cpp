// clipstow-reg export and import: registry scripts.

#include "Console.h"

#include "settings/RegFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace RegTool {

namespace {

void exportTree(const RegKey& key, QString& text)
{
    text +=
        QStringLiteral("\r\n") + RegFile::keyLine(key.root(), key.path()) + QStringLiteral("\r\n");
    for (const RegValue& value : key.values())
        text += RegFile::valueLine(value) + QStringLiteral("\r\n");
    for (const QString& child : key.subKeyNames()) {
        if (auto sub =
                RegistryStore::global().openKey(key.root(), childPath(key.path(), child), false))
            exportTree(*sub, text);
    }
}

} // namespace

int exportKey(const QStringList& words)
{
    Arguments args(QStringLiteral("export"), words, {{"y", false}});
    const KeyName keyName = parseKeyName(args.positional());
    const QString fileName = args.positional();
    const bool overwrite = args.flag("y");
    args.finish();

    const auto key = RegistryStore::global().openKey(keyName.root, keyName.path, false);
    if (!key)
        throw Failure(QString::fromLatin1(notFound));
    if (QFileInfo::exists(fileName) && !overwrite &&
        !confirm(QStringLiteral("File %1 already exists. Overwrite ").arg(fileName))) {
        printLine(QString::fromLatin1(canceled));
        return 0;
    }
    // All of the text first, so that a failing read leaves the file alone.
    QString text = QString::fromLatin1(RegFile::header) + QStringLiteral("\r\n");
    exportTree(*key, text);
    text += QStringLiteral("\r\n");

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(RegFile::encodeBytes(text)) < 0 ||
        !file.commit())
        throw Failure(QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()));
    printLine(QString::fromLatin1(completed));
    return 0;
}

int importFile(const QStringList& words)
{
    Arguments args(QStringLiteral("import"), words, {});
    const QString fileName = args.positional();
    args.finish();

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(
            QStringLiteral("Error opening the file %1: %2").arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(
            QStringLiteral("Error reading the file %1: %2").arg(fileName, file.errorString()));

    QList<RegFile::Entry> entries;
    try {
        entries = RegFile::parse(RegFile::decodeBytes(bytes));
    } catch (const RegFile::ParseError& error) {
        throw Failure(QStringLiteral("%1 is not a valid registry script: line %2: %3. Nothing was "
                                     "imported.")
                          .arg(fileName)
                          .arg(error.line())
                          .arg(error.reason()));
    }
    RegFile::apply(RegistryStore::global(), entries);
    printLine(QString::fromLatin1(completed));
    return 0;
}

} // namespace RegTool
