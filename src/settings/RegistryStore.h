#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

// A registry with the key, value and type semantics of the Windows registry:
// on Windows the registry itself (RegistryStoreWindows.cpp), elsewhere one
// SQLite database file (RegistryStore.cpp, RegistryStoreKeys.cpp).
//
// Keys are paths of names separated by backslashes below one of two roots.
// Key and value names compare without regard to letter case and keep the
// case they were created with; the empty value name is the key's default
// value. Values carry a type and raw bytes exactly as the Windows registry
// stores them (strings as UTF-16LE with a terminating zero).

enum class RegRoot
{
    LocalMachine,
    CurrentUser
};

enum class RegType : std::uint32_t
{
    None = 0,
    Sz = 1,
    ExpandSz = 2,
    Binary = 3,
    Dword = 4,
    MultiSz = 7,
    Qword = 11,
};

struct RegValue
{
    QString name;
    RegType type = RegType::None;
    QByteArray data;

    // Raw encodings as the Windows registry keeps them.
    static QByteArray encodeString(const QString& text); // UTF-16LE + terminating zero
    static QString decodeString(const QByteArray& data); // up to the first zero
    static QByteArray
    encodeMultiString(const QStringList& items); // each zero-terminated, then one more zero
    static QStringList decodeMultiString(const QByteArray& data);
    static QByteArray encodeDword(std::uint32_t value); // little-endian
    static QByteArray encodeQword(std::uint64_t value); // little-endian
    // Little-endian numbers; missing bytes count as zero, extra ones are ignored.
    static std::uint32_t decodeDword(const QByteArray& data);
    static std::uint64_t decodeQword(const QByteArray& data);
};

// Raised when the database cannot be read or written (disk full, locked far
// too long, I/O error). Callers that must report a user-visible message catch
// it and raise their own.
class RegistryIoError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The store cannot be used now, and waiting would not help: another process
// held it locked past the busy time-out (RegistryBusyError), or the user may
// read it but not write it (RegistryReadOnlyError).
class RegistryUnavailableError : public RegistryIoError
{
public:
    using RegistryIoError::RegistryIoError;
};
class RegistryBusyError final : public RegistryUnavailableError
{
public:
    using RegistryUnavailableError::RegistryUnavailableError;
};
class RegistryReadOnlyError final : public RegistryUnavailableError
{
public:
    using RegistryUnavailableError::RegistryUnavailableError;
};

class RegistryStore;

// An open key. Cheap to copy; it names the key by root and path, so it stays
// usable after other processes change the store. Operations on a key that
// another process has deleted meanwhile fail (set returns false, reads find
// nothing).
class RegKey
{
public:
    RegKey(RegistryStore* store, RegRoot root, QString path);

    RegRoot root() const { return m_root; }
    const QString& path() const { return m_path; } // as stored, in its created case

    std::optional<RegValue> value(const QString& name) const; // throws RegistryIoError
    bool hasValue(const QString& name) const;                 // throws RegistryIoError
    // Replaces any value of that name whatever its old type. False when the
    // key no longer exists or the write failed; throws
    // RegistryUnavailableError when the store cannot be written now.
    bool setValue(const QString& name, RegType type, const QByteArray& data);
    bool deleteValue(const QString& name); // true only when a value was deleted
    QStringList subKeyNames() const;       // in their created case, sorted without case
    QList<RegValue> values() const;        // sorted by name without case

private:
    RegistryStore* m_store;
    RegRoot m_root;
    QString m_path;
};

class RegistryStore final
{
public:
    // Opens (lazily) the store kept in filePath. Reading never creates the
    // file; the first write creates it and its folder (mode 0600).
    explicit RegistryStore(QString filePath);
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // $CLIPSTOW_REGISTRY, else $XDG_CONFIG_HOME/clipstow/registry.sqlite3,
    // else ~/.config/clipstow/registry.sqlite3.
    static QString defaultFilePath();

    const QString& filePath() const { return m_filePath; }

    // The registry's limits: each name in a key path has at most 255
    // characters, and a key lies at most 512 levels below its root. A path
    // beyond them names no key: it cannot be opened or created.
    static constexpr int MaxKeyNameLength = 255;
    static constexpr int MaxKeyDepth = 512;
    // Why path is not a usable key path (an empty name inside it, a name
    // too long, too many levels); empty when it is usable.
    static QString keyPathProblem(const QString& path);
    // path without the backslashes it starts or ends with.
    static QString trimmedPath(const QString& path);

    // Opens a key, or with create also creates it and its missing parents.
    // Without create, a missing key gives nullopt. The empty path is the root.
    std::optional<RegKey> openKey(RegRoot root, const QString& path, bool create);
    bool keyExists(RegRoot root, const QString& path);
    // Deletes the key with all its subkeys and values; true if it existed.
    bool deleteKey(RegRoot root, const QString& path);

    // Parses "HKEY_LOCAL_MACHINE", "HKLM", "HKEY_CURRENT_USER", "HKCU" (any case).
    static std::optional<RegRoot> parseRoot(const QString& name);
    static QString rootName(RegRoot root); // the long form
    static QString typeName(RegType type); // "REG_SZ", ...
    static std::optional<RegType> parseType(const QString& name);

    // How long an operation waits for another process's lock. Past it the
    // operation fails with RegistryBusyError and the store becomes
    // unavailable: every later write (after a read's time-out every later
    // operation) fails at once with that error instead of waiting again,
    // until the current batch ends, or, outside a batch, for UnavailableMs.
    // isUnavailable tells whether writes are skipped now.
    static constexpr int DefaultBusyTimeoutMs = 1000;
    static constexpr int UnavailableMs = 10000;
    void setBusyTimeout(int milliseconds);
    bool isUnavailable() const;
    // A batch groups the many reads or writes of one start-up or shutdown:
    // its first operation tries the store afresh, and after a time-out the
    // rest of the batch skips the store. Batches nest.
    void beginBatch();
    void endBatch();

    // True once a read found the store unavailable. What this process read
    // may then be defaults rather than what the store holds, so from then on
    // the store refuses writes (RegistryUnavailableError) rather than let
    // them replace the stored values.
    bool missedReads() const;
    // Why the last write failed, when no write has succeeded since;
    // empty otherwise. takeUnsavedReason gives it only once per such
    // stretch, for the one message that says the settings were not saved.
    QString unsavedReason() const;
    QString takeUnsavedReason();

    // Deletes the key as deleteKey does, then each parent key that is left
    // with neither values nor subkeys. True if the key existed.
    bool deleteKeyAndEmptyParents(RegRoot root, const QString& path);
    // Deletes the store's file, with its journals (and the folder
    // "clipstow" that held it, once empty), when it holds no key and no
    // value under either root, so that removing every setting leaves
    // nothing behind; the next write starts a new file. True when there is
    // no file now.
    bool removeFileIfEmpty();

    // Runs body as one transaction: every operation inside it commits together
    // when body returns and none does when it throws (the exception passes on).
    // Other processes see either all of it or nothing. Nested calls join the
    // outer transaction.
    void runInTransaction(const std::function<void()>& body);

private:
    friend class RegKey;
    class Impl;
    QString m_filePath;
    std::unique_ptr<Impl> m_impl;
};
