// Time of registry store reads and writes on a real database file, each
// operation on its own as the settings functions do them.

#include "settings/RegistryStore.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

template <typename Fn> void measure(const char* what, int count, Fn fn)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i)
        fn(i);
    const double micros = double(timer.nsecsElapsed()) / 1000.0 / count;
    std::printf("%-44s %10.2f us per operation (%d runs)\n", what, micros, count);
}

} // namespace

int main()
{
    QTemporaryDir dir;
    RegistryStore store(dir.filePath(QStringLiteral("registry.sqlite3")));
    const QString path = QStringLiteral("SOFTWARE\\Orvane\\Clipstow");
    RegKey key = *store.openKey(RegRoot::LocalMachine, path, true);
    store.runInTransaction([&] {
        for (int i = 0; i < 100; ++i)
            key.setValue(QStringLiteral("Value%1").arg(i), RegType::Dword,
                         RegValue::encodeDword(i));
    });

    measure("open key + read one DWORD (settings read)", 20000, [&](int i) {
        auto open = store.openKey(RegRoot::LocalMachine, path, false);
        open->value(QStringLiteral("Value%1").arg(i % 100));
    });
    measure("read one value of an open key", 20000,
            [&](int i) { key.value(QStringLiteral("value%1").arg(i % 100)); });
    measure("read a missing value", 20000, [&](int) { key.value(QStringLiteral("Nope")); });
    measure("list 100 values", 2000, [&](int) { key.values(); });
    measure("write one value (own transaction, synced)", 200, [&](int i) {
        key.setValue(QStringLiteral("Value%1").arg(i % 100), RegType::Dword,
                     RegValue::encodeDword(i));
    });
    RegistryStore missing(dir.filePath(QStringLiteral("none/registry.sqlite3")));
    measure("read from a store with no file", 20000,
            [&](int) { missing.openKey(RegRoot::LocalMachine, path, false); });
    return 0;
}
