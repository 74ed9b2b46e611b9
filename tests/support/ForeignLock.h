#pragma once

#include <QFile>
#include <QString>
#include <sqlite3.h>

namespace TestSupport {

// Another process's hold on the registry file, through a connection of its
// own: a writer's lock, or a lock that keeps readers out as well.
class ForeignLock final
{
public:
    ForeignLock(const QString& path, bool readersToo)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        const char* sql = readersToo ? "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;"
                                       " INSERT INTO keys(root, name, path, fold)"
                                       " VALUES(1, 'L', 'L', 'L');"
                                     : "BEGIN IMMEDIATE";
        m_ok = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~ForeignLock() { release(); }
    bool ok() const { return m_ok; }
    void release()
    {
        if (m_db)
            sqlite3_close_v2(m_db); // rolls back
        m_db = nullptr;
    }

private:
    sqlite3* m_db = nullptr;
    bool m_ok = false;
};

// Switches the registry file's journal, as another program may ("WAL",
// "DELETE"); true when it took.
inline bool setJournalMode(const QString& path, const char* mode)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = QByteArray("PRAGMA journal_mode=") + mode;
    bool took = false;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        took =
            qstricmp(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), mode) == 0;
    sqlite3_finalize(statement);
    sqlite3_close_v2(db);
    return took;
}

} // namespace TestSupport
