#pragma once

// Internals of RegistryStore: the SQLite connection and the statements run
// on it. Only the store's own sources include this.

#include "settings/RegistryStore.h"

#include <QDeadlineTimer>

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unordered_map>

// A prepared statement borrowed from the store's cache; reset on release.
class SqlStatement final
{
public:
    SqlStatement(sqlite3* db, sqlite3_stmt* stmt) : m_db(db), m_stmt(stmt) {}
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    SqlStatement& bind(int index, qint64 value);
    SqlStatement& bind(int index, const QString& text);
    SqlStatement& bind(int index, const QByteArray& blob);
    // Steps once: true with a row, false when done; throws on failure.
    bool next();
    void run() { next(); }

    qint64 integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
    QString text(int column) const;
    QByteArray blob(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt;
};

// A failing SQLite call, with its result code.
class SqlError : public RegistryIoError
{
public:
    SqlError(int code, const QString& what);
    int code() const { return m_code; }
    bool meansCorrupt() const;
    bool meansBusy() const; // another connection's lock outlasted the busy time-out
    bool meansReadOnly() const;

private:
    int m_code;
};

class RegistryStore::Impl final
{
public:
    explicit Impl(QString filePath) : m_filePath(std::move(filePath)) {}
    ~Impl() { close(); }

    // Makes the connection match the file on disk. False when there is no
    // file (reads then find an empty registry); a file that is not a usable
    // registry is moved aside and also gives false.
    bool openExisting();
    // Opens the file, creating it (and its folder) first when missing.
    void openForWrite();

    // Runs fn as one read. Without a file or schema the result is fallback.
    template <typename Result, typename Fn> Result read(Fn fn, Result fallback);
    // Runs fn as one write transaction (or inside the open one). When
    // mayCreate is false and there is no file, gives fallback untouched.
    // A store the user may only read fails with RegistryReadOnlyError.
    template <typename Result, typename Fn> Result write(bool mayCreate, Fn fn, Result fallback);

    void begin();
    void commit();
    void rollback();
    // Ends the connection; the next operation opens the file afresh.
    void close();

    // The unavailable state after a time-out (see RegistryStore).
    void setBusyTimeout(int milliseconds);
    bool unavailable(bool reading) const;
    void beginBatch();
    void endBatch();
    bool missedReads() const { return m_missedReads; }
    QString unsavedReason() const { return m_unsaved; }
    QString takeUnsavedReason();

    SqlStatement prepare(const char* sql);
    void exec(const char* sql);
    qint64 changes() const { return sqlite3_changes64(m_db); }

    static QString fold(const QString& name);
    // Splits a key path into names; nullopt for a path keyPathProblem refuses.
    static std::optional<QStringList> splitPath(const QString& path);

    // Key lookups; the root key's row may be missing until something is
    // written directly into it.
    struct KeyRow
    {
        qint64 id;
        QString path;
    };
    std::optional<KeyRow> findKey(RegRoot root, const QString& foldedPath);
    KeyRow createKey(RegRoot root, const QStringList& names);

private:
    bool connect(const struct stat& info, bool immutable);
    bool mayWrite() const; // the user's rights on the file and its folder
    QString readOnlyReason() const;
    void ensureSchema();
    bool validate();
    void moveAside(const QString& why);
    bool sameFileOnDisk() const;

    // Fails at once while the store is unavailable; turns a time-out into
    // the unavailable state. A read that fails so counts as missed, a write
    // that fails in any way leaves its reason for the unsaved message.
    void checkAvailable(bool reading);
    [[noreturn]] void failed(const RegistryIoError& error, bool reading);
    void noteFailure(const QString& reason, bool reading, bool unavailable);
    void refuseAfterMissedReads();
    QString busyReason() const;

    QString m_filePath;
    int m_busyTimeoutMs = RegistryStore::DefaultBusyTimeoutMs;
    bool m_writesBusy = false;
    bool m_readsBusy = false;
    QDeadlineTimer m_busyUntil;
    int m_batchDepth = 0;
    bool m_missedReads = false;
    QString m_unsaved;
    bool m_unsavedTold = false;
    sqlite3* m_db = nullptr;
    dev_t m_dev = 0;
    ino_t m_ino = 0;
    bool m_schemaReady = false;
    bool m_readOnly = false;
    int m_depth = 0;
    std::unordered_map<const char*, sqlite3_stmt*> m_statements;
};

template <typename Result, typename Fn> Result RegistryStore::Impl::read(Fn fn, Result fallback)
{
    checkAvailable(true);
    try {
        for (int attempt = 0;; ++attempt) {
            if (m_depth == 0 && !openExisting())
                return fallback;
            if (!m_schemaReady)
                return fallback;
            try {
                return fn();
            } catch (const SqlError& error) {
                if (!error.meansCorrupt() || m_depth > 0 || attempt > 0)
                    throw;
                moveAside(QString::fromUtf8(error.what()));
            }
        }
    } catch (const RegistryIoError& error) {
        failed(error, true);
    }
}

template <typename Result, typename Fn>
Result RegistryStore::Impl::write(bool mayCreate, Fn fn, Result fallback)
{
    checkAvailable(false);
    refuseAfterMissedReads();
    try {
        for (int attempt = 0;; ++attempt) {
            if (m_depth == 0) {
                if (!openExisting()) {
                    if (!mayCreate)
                        return fallback;
                    openForWrite();
                }
                if (m_readOnly)
                    throw RegistryReadOnlyError(readOnlyReason().toStdString());
            }
            try {
                begin();
                try {
                    ensureSchema();
                    Result result = fn();
                    commit();
                    return result;
                } catch (...) {
                    rollback();
                    throw;
                }
            } catch (const SqlError& error) {
                if (!error.meansCorrupt() || m_depth > 0 || attempt > 0)
                    throw;
                moveAside(QString::fromUtf8(error.what()));
            }
        }
    } catch (const RegistryIoError& error) {
        failed(error, false);
    }
}
