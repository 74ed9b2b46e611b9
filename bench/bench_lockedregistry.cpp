// What a registry file locked by another process costs a start-up and a
// shutdown: the reads and writes of each, grouped in one Settings::Batch,
// with a foreign connection holding the write lock (or a lock that keeps
// readers out as well).

#include "settings/RegistryStore.h"
#include "settings/Settings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

namespace {

void startup(Settings& settings)
{
    const Settings::Batch batch(settings);
    settings.acceptedLicense();
    settings.showSplash();
    settings.setProgramPath(QStringLiteral("/usr/bin/clipstow"));
    for (int slot = 1; slot <= 3; ++slot)
        settings.slotFileName(slot);
    settings.toolbarShown();
    settings.statusBarShown();
    settings.confirmClear();
    settings.dateStyle();
    settings.autoModeAtStart();
    settings.activeSlot();
    settings.editorFont(FontRecord{});
}

void shutdown(Settings& settings)
{
    const Settings::Batch batch(settings);
    for (int slot = 1; slot <= 3; ++slot)
        settings.setSlotFileName(slot, QStringLiteral("slot%1.txt").arg(slot));
    settings.setEditorFont(FontRecord{});
    settings.setToolbarShown(true);
    settings.setStatusBarShown(true);
    settings.setAutoWasOn(true);
    settings.setRemoteWasShown(true);
    settings.setActiveSlot(2);
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
    {
        Settings settings(path);
        shutdown(settings); // a registry with the settings in it
        std::printf("%-40s %8.1f ms start-up, %8.1f ms shutdown\n", "free registry",
                    millis([&] { startup(settings); }), millis([&] { shutdown(settings); }));
    }
    for (const char* lock :
         {"BEGIN IMMEDIATE", "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; "
                             "INSERT INTO keys(root, name, path, fold) VALUES(1, 'L', 'L', 'L')"}) {
        Settings settings(path);
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        if (sqlite3_exec(db, lock, nullptr, nullptr, nullptr) != SQLITE_OK)
            std::printf("cannot lock: %s\n", sqlite3_errmsg(db));
        const double up = millis([&] { startup(settings); });
        const double down = millis([&] { shutdown(settings); });
        std::printf("%-40s %8.1f ms start-up, %8.1f ms shutdown\n",
                    lock[0] == 'B' ? "writer's lock held" : "lock that keeps readers out", up,
                    down);
        std::printf("  told: %s\n", qPrintable(settings.takeNotSavedMessage()));
        sqlite3_close(db);
    }
    return 0;
}
