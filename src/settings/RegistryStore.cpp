#include "settings/RegistryStore.h"
#include "settings/RegistryStoreImpl.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A store that cannot be created for want of rights is one the user may
// not write; anything else is an I/O failure.
[[noreturn]] void throwCannotCreate(const QString& what, const QString& path)
{
    const int error = errno;
    const std::string message =
        what.arg(path, QString::fromLocal8Bit(std::strerror(error))).toStdString();
    if (error == EACCES || error == EPERM || error == EROFS)
        throw RegistryReadOnlyError(message);
    throw RegistryIoError(message);
}

// Marks the database as ours ("CSRG") so that another program's database
// named by mistake is never taken for an empty registry.
constexpr int applicationId = 0x43535247;

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

// Creates the missing folders of path, each readable by the user alone.
bool makeFolders(const QString& folder)
{
    if (folder.isEmpty() || QFileInfo(folder).isDir())
        return true;
    if (!makeFolders(QFileInfo(folder).absolutePath()))
        return false;
    return ::mkdir(nativePath(folder).constData(), 0700) == 0 || errno == EEXIST;
}

} // namespace

// ---- SqlStatement / SqlError -------------------------------------------

SqlStatement::~SqlStatement()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

SqlStatement& SqlStatement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

SqlStatement& SqlStatement::bind(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

SqlStatement& SqlStatement::bind(int index, const QByteArray& blob)
{
    sqlite3_bind_blob(m_stmt, index, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
    return *this;
}

bool SqlStatement::next()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw SqlError(rc, QString::fromUtf8(sqlite3_errmsg(m_db)));
}

QString SqlStatement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    // A name may begin with U+FEFF, which QString::fromUtf8 would drop as a
    // byte-order mark.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(data, sqlite3_column_bytes(m_stmt, column)));
}

QByteArray SqlStatement::blob(int column) const
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(data, sqlite3_column_bytes(m_stmt, column));
}

SqlError::SqlError(int code, const QString& what)
    : RegistryIoError(QCoreApplication::translate("RegistryStore", "registry database: %1")
                          .arg(what)
                          .toStdString()),
      m_code(code)
{
}

bool SqlError::meansCorrupt() const
{
    const int primary = m_code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool SqlError::meansReadOnly() const
{
    return (m_code & 0xff) == SQLITE_READONLY && m_code != SQLITE_READONLY_DBMOVED;
}

bool SqlError::meansBusy() const
{
    const int primary = m_code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// ---- RegistryStore::Impl: availability ---------------------------------

void RegistryStore::Impl::setBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = milliseconds;
    if (m_db)
        sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
}

bool RegistryStore::Impl::unavailable(bool reading) const
{
    // A writer's lock keeps out writes only; readers wait only for a lock
    // that keeps out everyone.
    const bool blocked = reading ? m_readsBusy : m_writesBusy;
    return blocked && (m_batchDepth > 0 || !m_busyUntil.hasExpired());
}

void RegistryStore::Impl::beginBatch()
{
    if (m_batchDepth++ == 0) {
        // The batch tries the store afresh.
        m_readsBusy = false;
        m_writesBusy = false;
    }
}

void RegistryStore::Impl::endBatch()
{
    if (m_batchDepth > 0 && --m_batchDepth == 0)
        m_busyUntil = QDeadlineTimer(RegistryStore::UnavailableMs);
}

QString RegistryStore::Impl::takeUnsavedReason()
{
    if (m_unsaved.isEmpty() || m_unsavedTold)
        return QString();
    m_unsavedTold = true;
    return m_unsaved;
}

QString RegistryStore::Impl::busyReason() const
{
    return QCoreApplication::translate("RegistryStore",
                                       "the registry file %1 is in use by another program")
        .arg(m_filePath);
}

void RegistryStore::Impl::noteFailure(const QString& reason, bool reading, bool unavailable)
{
    if (reading && unavailable)
        m_missedReads = true;
    if (!reading && m_depth == 0)
        m_unsaved = reason;
}

void RegistryStore::Impl::checkAvailable(bool reading)
{
    if (!unavailable(reading))
        return;
    noteFailure(busyReason(), reading, true);
    throw RegistryBusyError(busyReason().toStdString());
}

// Values read while the store was unavailable were defaults: writing them,
// or anything that rests on them, would replace what the store holds.
void RegistryStore::Impl::refuseAfterMissedReads()
{
    if (!m_missedReads)
        return;
    const QString reason =
        QCoreApplication::translate(
            "RegistryStore", "the registry file %1 was in use by another program when the settings "
                             "were read")
            .arg(m_filePath);
    noteFailure(reason, false, true);
    throw RegistryUnavailableError(reason.toStdString());
}

void RegistryStore::Impl::failed(const RegistryIoError& error, bool reading)
{
    // Called from a handler: the error in flight passes on, a time-out as
    // the unavailable state's own error.
    const auto* sql = dynamic_cast<const SqlError*>(&error);
    if (sql && sql->meansBusy()) {
        m_writesBusy = true;
        m_readsBusy = m_readsBusy || reading;
        m_busyUntil = QDeadlineTimer(RegistryStore::UnavailableMs);
        noteFailure(busyReason(), reading, true);
        throw RegistryBusyError(busyReason().toStdString());
    }
    if (sql && !reading && sql->meansReadOnly()) {
        // Its rights changed since it was opened.
        m_readOnly = true;
        noteFailure(readOnlyReason(), reading, true);
        throw RegistryReadOnlyError(readOnlyReason().toStdString());
    }
    noteFailure(QString::fromUtf8(error.what()), reading,
                dynamic_cast<const RegistryUnavailableError*>(&error) != nullptr);
    throw;
}

// ---- RegistryStore::Impl: the connection -------------------------------

bool RegistryStore::Impl::sameFileOnDisk() const
{
    struct stat info;
    if (::stat(nativePath(m_filePath).constData(), &info) != 0)
        return false;
    return info.st_dev == m_dev && info.st_ino == m_ino;
}

void RegistryStore::Impl::close()
{
    for (auto& [sql, stmt] : m_statements)
        sqlite3_finalize(stmt);
    m_statements.clear();
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_schemaReady = false;
    m_depth = 0;
}

bool RegistryStore::Impl::openExisting()
{
    // Another process may have replaced or removed the file (moved aside
    // as unusable, for instance): follow what is on disk now.
    if (m_db) {
        if (sameFileOnDisk())
            return true;
        close();
    }
    const QByteArray path = nativePath(m_filePath);
    struct stat info;
    if (::stat(path.constData(), &info) != 0)
        return false;
    try {
        return connect(info, false);
    } catch (const SqlError&) {
        // Without the right to write the file or its folder, even a read
        // can fail (the journal's index cannot be made). Such a store is
        // still read, as a file that nobody changes meanwhile.
        if (mayWrite())
            throw;
        return connect(info, true);
    }
}

bool RegistryStore::Impl::mayWrite() const
{
    const auto writable = [](const QString& path) {
        return ::faccessat(AT_FDCWD, nativePath(path).constData(), W_OK, AT_EACCESS) == 0;
    };
    return writable(m_filePath) && writable(QFileInfo(m_filePath).absolutePath());
}

QString RegistryStore::Impl::readOnlyReason() const
{
    return QCoreApplication::translate("RegistryStore",
                                       "the registry file %1 may be read but not written")
        .arg(m_filePath);
}

bool RegistryStore::Impl::connect(const struct stat& info, bool immutable)
{
    const QByteArray name = immutable ? QUrl::fromLocalFile(m_filePath).toEncoded() + "?immutable=1"
                                      : nativePath(m_filePath);
    int rc = sqlite3_open_v2(
        name.constData(), &m_db,
        immutable ? SQLITE_OPEN_READONLY | SQLITE_OPEN_URI : SQLITE_OPEN_READWRITE, nullptr);
    if (!immutable && (rc == SQLITE_CANTOPEN || rc == SQLITE_READONLY || rc == SQLITE_PERM)) {
        sqlite3_close_v2(m_db);
        rc = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
    }
    if (rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : "out of memory");
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw SqlError(rc, message);
    }
    m_dev = info.st_dev;
    m_ino = info.st_ino;
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 1);
    m_readOnly = immutable || sqlite3_db_readonly(m_db, "main") == 1 || !mayWrite();
    try {
        return validate();
    } catch (...) {
        close(); // unchecked (locked out, for one): check again next time
        throw;
    }
}

// Checks that the open file is a registry (or an empty database that will
// become one). Anything else is moved aside and the store starts afresh.
bool RegistryStore::Impl::validate()
{
    try {
        qint64 id = 0;
        qint64 tables = 0;
        qint64 ours = 0;
        {
            SqlStatement query =
                prepare("SELECT (SELECT application_id FROM pragma_application_id),"
                        " (SELECT count(*) FROM sqlite_schema),"
                        " (SELECT count(*) FROM sqlite_schema"
                        "  WHERE type = 'table' AND name IN ('keys', 'vals'))");
            query.next();
            id = query.integer(0);
            tables = query.integer(1);
            ours = query.integer(2);
        }
        if (id == 0 && tables == 0) {
            m_schemaReady = false;
            return true;
        }
        if (id != applicationId) {
            moveAside(QCoreApplication::translate("RegistryStore",
                                                  "it is a database of another program"));
            return false;
        }
        bool sound = false;
        {
            SqlStatement check = prepare("PRAGMA quick_check(1)");
            sound = check.next() && check.text(0) == QLatin1String("ok");
        } // statements end before moveAside closes the connection
        if (!sound) {
            moveAside(QCoreApplication::translate("RegistryStore", "it is damaged"));
            return false;
        }
        m_schemaReady = ours == 2;
        return true;
    } catch (const SqlError& error) {
        if (!error.meansCorrupt())
            throw;
        moveAside(QString::fromUtf8(sqlite3_errstr(error.code())));
        return false;
    }
}

void RegistryStore::Impl::openForWrite()
{
    close();
    const QFileInfo info(m_filePath);
    if (!makeFolders(info.absolutePath()))
        throwCannotCreate(
            QCoreApplication::translate("RegistryStore", "cannot create the folder %1: %2"),
            info.absolutePath());
    const QByteArray path = nativePath(m_filePath);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600); // whatever the umask
        ::close(fd);
    } else if (errno != EEXIST) {
        throwCannotCreate(QCoreApplication::translate("RegistryStore", "cannot create %1: %2"),
                          m_filePath);
    }
    if (!openExisting()) {
        // Raced with another process that moved the file aside: try once more.
        if (!openExisting())
            throw RegistryIoError(QCoreApplication::translate("RegistryStore", "cannot open %1")
                                      .arg(m_filePath)
                                      .toStdString());
    }
    if (!m_schemaReady) {
        // Set before the first transaction; a no-op when another process
        // got there first. Readers then never wait for a writer.
        sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    }
}

void RegistryStore::Impl::ensureSchema()
{
    if (m_schemaReady)
        return;
    exec("CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY, root INTEGER NOT NULL,"
         " parent INTEGER, name TEXT NOT NULL, path TEXT NOT NULL, fold TEXT NOT NULL,"
         " UNIQUE(root, fold))");
    exec("CREATE INDEX IF NOT EXISTS keys_parent ON keys(parent)");
    exec("CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL, name TEXT NOT NULL,"
         " fold TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
         " PRIMARY KEY(key, fold)) WITHOUT ROWID");
    exec("PRAGMA application_id = 1129534023"); // 0x43535247
    exec("PRAGMA user_version = 1");
    m_schemaReady = true;
}

void RegistryStore::Impl::moveAside(const QString& why)
{
    close();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = QStringLiteral("%1.unusable-%2").arg(m_filePath, stamp);
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = QStringLiteral("%1.unusable-%2-%3").arg(m_filePath, stamp).arg(n);
    if (::rename(nativePath(m_filePath).constData(), nativePath(target).constData()) != 0) {
        if (errno == ENOENT)
            return; // another process moved it first
        throw RegistryIoError(
            QCoreApplication::translate("RegistryStore",
                                        "the registry file %1 is not usable (%2) and cannot "
                                        "be moved aside: %3")
                .arg(m_filePath, why, QString::fromLocal8Bit(strerror(errno)))
                .toStdString());
    }
    // Leftover journals belong to the old file; a fresh database must not
    // pick them up.
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        const QString from = m_filePath + QLatin1String(suffix);
        if (QFileInfo::exists(from))
            ::rename(nativePath(from).constData(),
                     nativePath(target + QLatin1String(suffix)).constData());
    }
    const QString warning =
        QCoreApplication::translate("RegistryStore",
                                    "Warning: the registry file %1 is not usable (%2); it was "
                                    "moved to %3 and a fresh registry is started.\n")
            .arg(m_filePath, why, target);
    std::fputs(warning.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// ---- Statements and transactions ---------------------------------------

SqlStatement RegistryStore::Impl::prepare(const char* sql)
{
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        sqlite3_stmt* stmt = nullptr;
        const int rc = sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
        if (rc != SQLITE_OK)
            throw SqlError(rc, QString::fromUtf8(sqlite3_errmsg(m_db)));
        it = m_statements.emplace(sql, stmt).first;
    }
    return SqlStatement(m_db, it->second);
}

void RegistryStore::Impl::exec(const char* sql)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
        sqlite3_free(message);
        throw SqlError(rc, text);
    }
}

void RegistryStore::Impl::begin()
{
    if (m_depth == 0)
        exec("BEGIN IMMEDIATE");
    ++m_depth;
}

void RegistryStore::Impl::commit()
{
    if (m_depth == 1) {
        exec("COMMIT");
        // Saved again: a later failure is news worth a message.
        m_unsaved.clear();
        m_unsavedTold = false;
    }
    --m_depth;
}

void RegistryStore::Impl::rollback()
{
    if (m_depth == 1) {
        if (m_db && !sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        // What this connection knows (schema, cached statements) may stem from
        // the undone work: start from the file again on the next operation.
        close();
        return;
    }
    if (m_depth > 0)
        --m_depth;
}

// ---- RegistryStore -----------------------------------------------------

RegistryStore::RegistryStore(QString filePath)
    : m_filePath(std::move(filePath)), m_impl(std::make_unique<Impl>(m_filePath))
{
}

RegistryStore::~RegistryStore() = default;

QString RegistryStore::defaultFilePath()
{
    const QString explicitPath = qEnvironmentVariable("CLIPSTOW_REGISTRY");
    if (!explicitPath.isEmpty())
        return explicitPath;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QLatin1String("/.config");
    return config + QLatin1String("/clipstow/registry.sqlite3");
}

void RegistryStore::setBusyTimeout(int milliseconds)
{
    m_impl->setBusyTimeout(milliseconds);
}

bool RegistryStore::isUnavailable() const
{
    return m_impl->unavailable(false);
}

void RegistryStore::beginBatch()
{
    m_impl->beginBatch();
}

void RegistryStore::endBatch()
{
    m_impl->endBatch();
}

bool RegistryStore::missedReads() const
{
    return m_impl->missedReads();
}

QString RegistryStore::unsavedReason() const
{
    return m_impl->unsavedReason();
}

QString RegistryStore::takeUnsavedReason()
{
    return m_impl->takeUnsavedReason();
}

bool RegistryStore::deleteKeyAndEmptyParents(RegRoot root, const QString& path)
{
    // Without a file there is nothing to delete, and no file to make.
    if (!QFileInfo::exists(m_filePath))
        return false;
    bool existed = false;
    runInTransaction([&] {
        existed = deleteKey(root, path);
        for (QString parent = path.section(QLatin1Char('\\'), 0, -2); !parent.isEmpty();
             parent = parent.section(QLatin1Char('\\'), 0, -2)) {
            const std::optional<RegKey> key = openKey(root, parent, false);
            if (!key || !key->values().isEmpty() || !key->subKeyNames().isEmpty())
                break;
            deleteKey(root, parent);
        }
    });
    return existed;
}

bool RegistryStore::removeFileIfEmpty()
{
    if (!QFileInfo::exists(m_filePath))
        return true;
    bool empty = false;
    runInTransaction([&] {
        empty = true;
        for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
            const std::optional<RegKey> top = openKey(root, QString(), false);
            if (top && (!top->subKeyNames().isEmpty() || !top->values().isEmpty()))
                empty = false;
        }
    });
    if (!empty)
        return false;
    // Closed first, so that the connection's end does not write to the
    // removed file's journal.
    m_impl->close();
    bool removed = QFile::remove(m_filePath);
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        QFile::remove(m_filePath + QLatin1String(suffix));
    // The program's own folder goes too once it is empty.
    const QDir folder = QFileInfo(m_filePath).dir();
    if (folder.dirName() == QLatin1String("clipstow"))
        QDir().rmdir(folder.path());
    return removed || !QFileInfo::exists(m_filePath);
}

void RegistryStore::runInTransaction(const std::function<void()>& body)
{
    m_impl->write(
        true,
        [&] {
            body();
            return true;
        },
        false);
}
