// clipstow-reg export and import: registry scripts.

#include "Console.h"

#include "settings/RegFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegTool {

namespace {

constexpr qint64 MaxScriptBytes = qint64(64) << 20;

// A script is a regular file of sane size: a device such as /dev/zero
// would be read without end and a FIFO would block.
QByteArray readScript(const QString& fileName)
{
    const auto failure = [&fileName](const QString& reason) {
        return Failure(QCoreApplication::translate("Transfer", "Error opening the file %1: %2")
                           .arg(fileName, reason));
    };
    const int fd =
        ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw failure(QString::fromLocal8Bit(std::strerror(errno)));
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    struct stat info;
    if (::fstat(fd, &info) != 0)
        throw failure(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(info.st_mode))
        throw failure(QCoreApplication::translate("Transfer", "it is not a regular file"));
    const auto tooLarge = [&] {
        return failure(QCoreApplication::translate("Transfer", "it is larger than %1 MB")
                           .arg(MaxScriptBytes >> 20));
    };
    if (info.st_size > MaxScriptBytes)
        throw tooLarge();
    // Read to the end, which may have moved since the size was taken.
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw Failure(QCoreApplication::translate("Transfer", "Error reading the file %1: %2")
                              .arg(fileName, QString::fromLocal8Bit(std::strerror(errno))));
        }
        if (bytes.size() + got > MaxScriptBytes)
            throw tooLarge();
        bytes.append(buffer, got);
    }
    return bytes;
}

} // namespace

int exportKey(RegistryStore& store, const QStringList& words)
{
    Arguments args(QStringLiteral("export"), words, {{"y", false}});
    const KeyName keyName = parseKeyName(args.positional());
    const QString fileName = args.positional();
    const bool overwrite = args.flag("y");
    args.finish();

    const auto key = store.openKey(keyName.root, keyName.path, false);
    if (!key)
        throw Failure(QString::fromLatin1(notFound));
    if (QFileInfo::exists(fileName) && !overwrite &&
        !confirm(QCoreApplication::translate("Transfer", "File %1 already exists. Overwrite ")
                     .arg(fileName))) {
        printLine(QString::fromLatin1(canceled));
        return 0;
    }
    // All of the text first, so that a failing read leaves the file alone.
    const QString text = RegFile::exportScript(store, *key);

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(RegFile::encodeBytes(text)) < 0 ||
        !file.commit())
        throw Failure(QCoreApplication::translate("Transfer", "Cannot write %1: %2")
                          .arg(fileName, file.errorString()));
    printLine(QString::fromLatin1(completed));
    return 0;
}

int importFile(RegistryStore& store, const QStringList& words)
{
    Arguments args(QStringLiteral("import"), words, {});
    const QString fileName = args.positional();
    args.finish();

    const QByteArray bytes = readScript(fileName);

    QList<RegFile::Entry> entries;
    try {
        entries = RegFile::parse(RegFile::decodeBytes(bytes));
    } catch (const RegFile::ParseError& error) {
        throw Failure(QCoreApplication::translate(
                          "Transfer", "%1 is not a valid registry script: line %2: %3. Nothing was "
                                      "imported.")
                          .arg(fileName)
                          .arg(error.line())
                          .arg(error.reason()));
    }
    RegFile::apply(store, entries);
    printLine(QString::fromLatin1(completed));
    return 0;
}

} // namespace RegTool
