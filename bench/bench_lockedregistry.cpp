// What a registry file locked by another process costs a start-up and a
// shutdown: the reads and writes of each, grouped in one SettingsBatch, with
// a foreign connection holding the write lock (or a lock that keeps readers
// out as well).

#include "settings/RegTools.h"
#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

namespace {

void startup()
{
    SettingsBatch batch;
    Layout::AcceptedLicense.read();
    Layout::ShowSplash.read();
    Layout::Path.write(QStringLiteral("/usr/bin/clipstow"));
    for (int slot = 1; slot <= 3; ++slot)
        Layout::slotFilename(slot).read();
    Layout::Toolbar.read();
    Layout::StatusBar.read();
    Layout::ConfirmClr.read();
    Layout::DateStyle.read();
    Layout::AutoOn.read();
    Layout::Auto.read();
    Layout::ActiveFile.read();
    FontRecord font;
    Layout::readFont(font);
}

void shutdown()
{
    SettingsBatch batch;
    for (int slot = 1; slot <= 3; ++slot)
        Layout::slotFilename(slot).write(QStringLiteral("slot%1.txt").arg(slot));
    Layout::writeFont(FontRecord{});
    Layout::Toolbar.write(true);
    Layout::StatusBar.write(true);
    Layout::Auto.write(true);
    Layout::ShowRemote.write(true);
    Layout::ActiveFile.write(2);
}

template <typename Fn> double millis(Fn fn)
{
    QElapsedTimer timer;
    timer.start();
    fn();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("registry.sqlite3"));
    qputenv("CLIPSTOW_REGISTRY", QFile::encodeName(path));
    shutdown(); // a registry with the settings in it
    std::printf("%-40s %8.1f ms start-up, %8.1f ms shutdown\n", "free registry", millis(startup),
                millis(shutdown));
    for (const char* lock :
         {"BEGIN IMMEDIATE", "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; "
                             "INSERT INTO keys(root, name, path, fold) VALUES(1, 'L', 'L', 'L')"}) {
        RegistryStore::resetGlobal();
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        if (sqlite3_exec(db, lock, nullptr, nullptr, nullptr) != SQLITE_OK)
            std::printf("cannot lock: %s\n", sqlite3_errmsg(db));
        const double up = millis(startup);
        const double down = millis(shutdown);
        std::printf("%-40s %8.1f ms start-up, %8.1f ms shutdown\n",
                    lock[0] == 'B' ? "writer's lock held" : "lock that keeps readers out", up,
                    down);
        std::printf("  told: %s\n", qPrintable(RegTools::takeNotSavedMessage()));
        sqlite3_close(db);
    }
    return 0;
}
