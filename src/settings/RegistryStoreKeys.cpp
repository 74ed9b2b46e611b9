// Key and value operations of the registry store.

#include "settings/RegistryStore.h"
#include "settings/RegistryStoreImpl.h"

#include <QCoreApplication>

namespace {
qint64 rootId(RegRoot root)
{
    return root == RegRoot::LocalMachine ? 0 : 1;
}
} // namespace

QString RegistryStore::Impl::fold(const QString& name)
{
    // One unit for one unit, as the registry compares names: simple upper
    // case mapping, so that lengths and backslashes stay where they are.
    QString folded = name;
    for (QChar& c : folded)
        c = c.toUpper();
    return folded;
}

std::optional<QStringList> RegistryStore::Impl::splitPath(const QString& path)
{
    if (!keyPathProblem(path).isEmpty())
        return std::nullopt;
    const QString trimmed = RegistryStore::trimmedPath(path);
    if (trimmed.isEmpty())
        return QStringList();
    return trimmed.split(QLatin1Char('\\'));
}

std::optional<RegistryStore::Impl::KeyRow> RegistryStore::Impl::findKey(RegRoot root,
                                                                        const QString& foldedPath)
{
    SqlStatement query = prepare("SELECT id, path FROM keys WHERE root = ?1 AND fold = ?2");
    query.bind(1, rootId(root)).bind(2, foldedPath);
    if (!query.next())
        return std::nullopt;
    return KeyRow{query.integer(0), query.text(1)};
}

RegistryStore::Impl::KeyRow RegistryStore::Impl::createKey(RegRoot root, const QStringList& names)
{
    // Walk down from the root, adding each missing key below its parent.
    QString folded;
    std::optional<KeyRow> parent;
    for (qsizetype i = -1; i < names.size(); ++i) {
        const QString name = i < 0 ? QString() : names[i];
        if (i >= 0)
            folded += (i > 0 ? QStringLiteral("\\") : QString()) + fold(name);
        if (auto row = findKey(root, folded)) {
            parent = row;
            continue;
        }
        const QString path =
            !parent || parent->path.isEmpty() ? name : parent->path + QLatin1Char('\\') + name;
        SqlStatement insert =
            prepare("INSERT INTO keys(root, parent, name, path, fold) VALUES(?1, ?2, ?3, ?4, ?5)");
        insert.bind(1, rootId(root)).bind(3, name).bind(4, path).bind(5, folded);
        if (parent)
            insert.bind(2, parent->id);
        insert.run();
        parent = KeyRow{sqlite3_last_insert_rowid(m_db), path};
    }
    return *parent;
}

// ---- RegistryStore -----------------------------------------------------

std::optional<RegKey> RegistryStore::openKey(RegRoot root, const QString& path, bool create)
{
    const auto names = Impl::splitPath(path);
    if (!names)
        return std::nullopt;
    if (names->isEmpty())
        return RegKey(this, root, QString());
    if (create) {
        const Impl::KeyRow row = m_impl->write(
            true, [&] { return m_impl->createKey(root, *names); }, Impl::KeyRow{});
        return RegKey(this, root, row.path);
    }
    const QString folded = Impl::fold(names->join(QLatin1Char('\\')));
    const auto row =
        m_impl->read([&] { return m_impl->findKey(root, folded); }, std::optional<Impl::KeyRow>());
    if (!row)
        return std::nullopt;
    return RegKey(this, root, row->path);
}

bool RegistryStore::keyExists(RegRoot root, const QString& path)
{
    const auto names = Impl::splitPath(path);
    if (!names)
        return false;
    if (names->isEmpty())
        return true;
    const QString folded = Impl::fold(names->join(QLatin1Char('\\')));
    return m_impl->read([&] { return m_impl->findKey(root, folded).has_value(); }, false);
}

bool RegistryStore::deleteKey(RegRoot root, const QString& path)
{
    const auto names = Impl::splitPath(path);
    if (!names || names->isEmpty())
        return false; // a root cannot be deleted
    const QString folded = Impl::fold(names->join(QLatin1Char('\\')));
    return m_impl->write(
        false,
        [&] {
            // The key and every key whose folded path starts with it and a
            // backslash (']' follows '\' in every collation SQLite uses here).
            SqlStatement values = m_impl->prepare(
                "DELETE FROM vals WHERE key IN (SELECT id FROM keys WHERE root = ?1 AND (fold = ?2 "
                "OR (fold >= ?2 || '\\' AND fold < ?2 || ']')))");
            values.bind(1, rootId(root)).bind(2, folded).run();
            SqlStatement keys =
                m_impl->prepare("DELETE FROM keys WHERE root = ?1 AND (fold = ?2 OR (fold "
                                ">= ?2 || '\\' AND fold < ?2 || ']'))");
            keys.bind(1, rootId(root)).bind(2, folded).run();
            return m_impl->changes() > 0;
        },
        false);
}

// ---- RegKey ------------------------------------------------------------

RegKey::RegKey(RegistryStore* store, RegRoot root, QString path)
    : m_store(store), m_root(root), m_path(std::move(path))
{
}

std::optional<RegValue> RegKey::value(const QString& name) const
{
    RegistryStore::Impl& impl = *m_store->m_impl;
    return impl.read(
        [&]() -> std::optional<RegValue> {
            SqlStatement query =
                impl.prepare("SELECT v.name, v.type, v.data FROM keys k JOIN vals v ON v.key = k.id"
                             " WHERE k.root = ?1 AND k.fold = ?2 AND v.fold = ?3");
            query.bind(1, rootId(m_root))
                .bind(2, RegistryStore::Impl::fold(m_path))
                .bind(3, RegistryStore::Impl::fold(name));
            if (!query.next())
                return std::nullopt;
            return RegValue{query.text(0), RegType(query.integer(1)), query.blob(2)};
        },
        std::optional<RegValue>());
}

bool RegKey::hasValue(const QString& name) const
{
    return value(name).has_value();
}

bool RegKey::setValue(const QString& name, RegType type, const QByteArray& data)
{
    RegistryStore::Impl& impl = *m_store->m_impl;
    try {
        return impl.write(
            m_path.isEmpty(),
            [&] {
                std::optional<RegistryStore::Impl::KeyRow> key;
                if (m_path.isEmpty())
                    key = impl.createKey(m_root, {});
                else
                    key = impl.findKey(m_root, RegistryStore::Impl::fold(m_path));
                if (!key)
                    return false;
                SqlStatement upsert =
                    impl.prepare("INSERT INTO vals(key, name, fold, type, data)"
                                 " VALUES(?1, ?2, ?3, ?4, ?5) ON CONFLICT(key, fold)"
                                 " DO UPDATE SET type = excluded.type, data = excluded.data");
                upsert.bind(1, key->id)
                    .bind(2, name)
                    .bind(3, RegistryStore::Impl::fold(name))
                    .bind(4, qint64(type))
                    .bind(5, data)
                    .run();
                return true;
            },
            false);
    } catch (const RegistryUnavailableError&) {
        throw;
    } catch (const RegistryIoError&) {
        return false;
    }
}

bool RegKey::deleteValue(const QString& name)
{
    RegistryStore::Impl& impl = *m_store->m_impl;
    return impl.write(
        false,
        [&] {
            SqlStatement remove = impl.prepare(
                "DELETE FROM vals WHERE fold = ?3 AND key = (SELECT id FROM keys WHERE root = ?1 "
                "AND fold = ?2)");
            remove.bind(1, rootId(m_root))
                .bind(2, RegistryStore::Impl::fold(m_path))
                .bind(3, RegistryStore::Impl::fold(name))
                .run();
            return impl.changes() > 0;
        },
        false);
}

QStringList RegKey::subKeyNames() const
{
    RegistryStore::Impl& impl = *m_store->m_impl;
    return impl.read(
        [&] {
            SqlStatement query =
                impl.prepare("SELECT c.name FROM keys p JOIN keys c ON c.parent = p.id"
                             " WHERE p.root = ?1 AND p.fold = ?2 ORDER BY c.fold");
            query.bind(1, rootId(m_root)).bind(2, RegistryStore::Impl::fold(m_path));
            QStringList names;
            while (query.next())
                names.append(query.text(0));
            return names;
        },
        QStringList());
}

QList<RegValue> RegKey::values() const
{
    RegistryStore::Impl& impl = *m_store->m_impl;
    return impl.read(
        [&] {
            SqlStatement query =
                impl.prepare("SELECT v.name, v.type, v.data FROM keys k JOIN vals v ON v.key = k.id"
                             " WHERE k.root = ?1 AND k.fold = ?2 ORDER BY v.fold");
            query.bind(1, rootId(m_root)).bind(2, RegistryStore::Impl::fold(m_path));
            QList<RegValue> values;
            while (query.next())
                values.append(RegValue{query.text(0), RegType(query.integer(1)), query.blob(2)});
            return values;
        },
        QList<RegValue>());
}
