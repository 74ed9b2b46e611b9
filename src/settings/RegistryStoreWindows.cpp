// The store on the Windows registry itself. Every operation opens its key,
// acts and closes it again; values keep the type and bytes they are given.
//
// HKEY_LOCAL_MACHINE is opened with full access where the user has it (an
// administrator, or a machine where the key was opened to users). Where the
// user has not, the key is the user's copy of it under
// HKEY_CURRENT_USER\Software\Classes\VirtualStore\MACHINE, where Windows
// itself keeps what programs of the system's earlier versions write below
// HKEY_LOCAL_MACHINE\SOFTWARE when they run without administrator rights; a
// key that has no copy there yet is read from the machine's key. So every
// user keeps settings, as on those systems, and an administrator's are
// those of the machine.
//
// The registry has no lock that another process holds for long and no
// transactions across keys: a batch and runInTransaction only group calls,
// and the store is never unavailable.

#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace {

const QString VirtualStore = QStringLiteral("Software\\Classes\\VirtualStore\\MACHINE\\");

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

QString reasonFor(LONG error)
{
    return QString::fromStdString(std::system_category().message(int(error)));
}

// An open registry key, closed when it goes.
class Key final
{
public:
    Key() = default;
    explicit Key(HKEY key) : m_key(key) {}
    ~Key()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    Key(Key&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}
    Key& operator=(Key&& other) noexcept
    {
        std::swap(m_key, other.m_key);
        return *this;
    }
    HKEY get() const { return m_key; }
    explicit operator bool() const { return m_key != nullptr; }

private:
    HKEY m_key = nullptr;
};

// Opens (or with create creates) path below root; the error code when it
// cannot.
LONG openRaw(HKEY root, const QString& path, bool create, REGSAM rights, Key& key)
{
    HKEY opened = nullptr;
    const LONG result =
        create ? RegCreateKeyExW(root, wide(path), 0, nullptr, 0, rights, nullptr, &opened, nullptr)
               : RegOpenKeyExW(root, wide(path), 0, rights, &opened);
    if (result == ERROR_SUCCESS)
        key = Key(opened);
    return result;
}

// The key for root and path as described at the top.
Key openMapped(RegRoot root, const QString& path, bool create)
{
    const QString trimmed = RegistryStore::trimmedPath(path);
    Key key;
    if (root == RegRoot::CurrentUser) {
        openRaw(HKEY_CURRENT_USER, trimmed, create, KEY_ALL_ACCESS, key);
        return key;
    }
    const LONG result = openRaw(HKEY_LOCAL_MACHINE, trimmed, create, KEY_ALL_ACCESS, key);
    if (result != ERROR_ACCESS_DENIED)
        return key;
    if (openRaw(HKEY_CURRENT_USER, VirtualStore + trimmed, create, KEY_ALL_ACCESS, key) ==
            ERROR_SUCCESS ||
        create)
        return key;
    openRaw(HKEY_LOCAL_MACHINE, trimmed, false, KEY_READ, key);
    return key;
}

// The value's type and bytes; nullopt when there is none of that name.
std::optional<RegValue> query(HKEY key, const QString& name)
{
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        LONG result = RegQueryValueExW(key, wide(name), nullptr, &type, nullptr, &size);
        if (result == ERROR_FILE_NOT_FOUND)
            return std::nullopt;
        if (result != ERROR_SUCCESS)
            throw RegistryIoError(reasonFor(result).toStdString());
        QByteArray data(qsizetype(size), Qt::Uninitialized);
        result = RegQueryValueExW(key, wide(name), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
        if (result == ERROR_MORE_DATA)
            continue; // it grew meanwhile
        if (result == ERROR_FILE_NOT_FOUND)
            return std::nullopt;
        if (result != ERROR_SUCCESS)
            throw RegistryIoError(reasonFor(result).toStdString());
        data.truncate(qsizetype(size));
        return RegValue{name, RegType(type), data};
    }
}

bool lessWithoutCase(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

} // namespace

class RegistryStore::Impl final
{
public:
    QString unsaved;
    bool unsavedTold = false;

    // The outcome of a write: the system's reason when it failed.
    void noteWrite(LONG result)
    {
        if (result == ERROR_SUCCESS) {
            unsaved.clear();
            unsavedTold = false;
        } else if (unsaved.isEmpty()) {
            unsaved = reasonFor(result);
        }
    }
};

RegistryStore::RegistryStore(QString filePath)
    : m_filePath(std::move(filePath)), m_impl(std::make_unique<Impl>())
{
}

RegistryStore::~RegistryStore() = default;

// There is no file: the name only says where the settings are.
QString RegistryStore::defaultFilePath()
{
    return QStringLiteral("HKEY_LOCAL_MACHINE\\") + QLatin1String(Layout::ProgramKey);
}

void RegistryStore::setBusyTimeout(int) {}

bool RegistryStore::isUnavailable() const
{
    return false;
}

void RegistryStore::beginBatch() {}

void RegistryStore::endBatch() {}

bool RegistryStore::missedReads() const
{
    return false;
}

QString RegistryStore::unsavedReason() const
{
    return m_impl->unsaved;
}

QString RegistryStore::takeUnsavedReason()
{
    if (m_impl->unsavedTold)
        return QString();
    m_impl->unsavedTold = true;
    return m_impl->unsaved;
}

std::optional<RegKey> RegistryStore::openKey(RegRoot root, const QString& path, bool create)
{
    if (!keyPathProblem(path).isEmpty())
        return std::nullopt;
    if (!openMapped(root, path, create))
        return std::nullopt;
    return RegKey(this, root, trimmedPath(path));
}

bool RegistryStore::keyExists(RegRoot root, const QString& path)
{
    return keyPathProblem(path).isEmpty() && bool(openMapped(root, path, false));
}

bool RegistryStore::deleteKey(RegRoot root, const QString& path)
{
    const QString trimmed = trimmedPath(path);
    if (trimmed.isEmpty() || !keyExists(root, trimmed))
        return false;
    // The key is deleted from its parent, opened as the key itself is.
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('\\'));
    const Key parent = openMapped(root, slash < 0 ? QString() : trimmed.left(slash), false);
    const QString name = trimmed.mid(slash + 1);
    if (!parent)
        return false;
    RegDeleteTreeW(parent.get(), wide(name));
    RegDeleteKeyW(parent.get(), wide(name));
    return !keyExists(root, trimmed);
}

bool RegistryStore::deleteKeyAndEmptyParents(RegRoot root, const QString& path)
{
    const bool existed = deleteKey(root, path);
    for (QString parent = trimmedPath(path).section(QLatin1Char('\\'), 0, -2); !parent.isEmpty();
         parent = parent.section(QLatin1Char('\\'), 0, -2)) {
        const std::optional<RegKey> key = openKey(root, parent, false);
        if (!key || !key->values().isEmpty() || !key->subKeyNames().isEmpty())
            break;
        deleteKey(root, parent);
    }
    return existed;
}

bool RegistryStore::removeFileIfEmpty()
{
    return true;
}

void RegistryStore::runInTransaction(const std::function<void()>& body)
{
    body();
}

RegKey::RegKey(RegistryStore* store, RegRoot root, QString path)
    : m_store(store), m_root(root), m_path(std::move(path))
{
}

std::optional<RegValue> RegKey::value(const QString& name) const
{
    const Key key = openMapped(m_root, m_path, false);
    return key ? query(key.get(), name) : std::nullopt;
}

bool RegKey::hasValue(const QString& name) const
{
    const Key key = openMapped(m_root, m_path, false);
    return key && RegQueryValueExW(key.get(), wide(name), nullptr, nullptr, nullptr, nullptr) ==
                      ERROR_SUCCESS;
}

bool RegKey::setValue(const QString& name, RegType type, const QByteArray& data)
{
    const Key key = openMapped(m_root, m_path, false);
    const LONG result =
        key ? RegSetValueExW(key.get(), wide(name), 0, DWORD(type),
                             reinterpret_cast<const BYTE*>(data.constData()), DWORD(data.size()))
            : ERROR_FILE_NOT_FOUND;
    m_store->m_impl->noteWrite(result);
    return result == ERROR_SUCCESS;
}

bool RegKey::deleteValue(const QString& name)
{
    const Key key = openMapped(m_root, m_path, false);
    return key && RegDeleteValueW(key.get(), wide(name)) == ERROR_SUCCESS;
}

QStringList RegKey::subKeyNames() const
{
    QStringList names;
    const Key key = openMapped(m_root, m_path, false);
    if (!key)
        return names;
    wchar_t name[RegistryStore::MaxKeyNameLength + 1];
    for (DWORD index = 0;; ++index) {
        DWORD length = DWORD(std::size(name));
        if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names << QString::fromWCharArray(name, int(length));
    }
    std::sort(names.begin(), names.end(), lessWithoutCase);
    return names;
}

QList<RegValue> RegKey::values() const
{
    QList<RegValue> list;
    const Key key = openMapped(m_root, m_path, false);
    if (!key)
        return list;
    // Value names have at most 16383 characters.
    std::vector<wchar_t> name(16384);
    for (DWORD index = 0;; ++index) {
        DWORD length = DWORD(name.size());
        if (RegEnumValueW(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        if (std::optional<RegValue> value =
                query(key.get(), QString::fromWCharArray(name.data(), int(length))))
            list << *value;
    }
    std::sort(list.begin(), list.end(),
              [](const RegValue& a, const RegValue& b) { return lessWithoutCase(a.name, b.name); });
    return list;
}
