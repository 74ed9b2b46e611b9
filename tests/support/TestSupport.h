#pragma once

#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/SaveSound.h"
#include "settings/RegTools.h"
#include "settings/RegistryStore.h"
#include "settings/Settings.h"
#include "support/CountingSound.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

// Helpers shared by the tests.
namespace TestSupport {

// A fresh registry file in a temporary folder with its store and the
// settings on it, for the lifetime of the object. $CLIPSTOW_REGISTRY names
// the file meanwhile, for the programs a test starts. Failures the settings
// report go to its error reporter (to standard error until a test gives it
// a presenter); its save sound only counts.
class ScopedRegistry final
{
public:
    ScopedRegistry();
    ~ScopedRegistry();
    QString filePath() const;
    RegistryStore& store() { return *m_store; }
    Settings& settings() { return *m_settings; }
    ErrorReporter& errors() { return m_errors; }
    SaveSound& saveSound() { return *m_saveSound; }
    CountingSound& soundOutput() { return m_soundOutput; }
    // A new store and settings on the same file, as at the next start: the
    // old connection is closed.
    // whileClosed runs between closing and opening, as another program's
    // work on the file.
    void reopen(const std::function<void()>& whileClosed = {});

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
    ErrorReporter m_errors;
    std::unique_ptr<RegistryStore> m_store;
    std::unique_ptr<Settings> m_settings;
    CountingSound m_soundOutput;
    std::unique_ptr<SaveSound> m_saveSound;
};

// Records what a program that has run before leaves: the agreement
// accepted and no splash window at start, so that creating the main window
// shows neither modal window.
void seedReturningUser(Settings& settings);

// Whether the store holds the declared value (of any type).
template <typename Declaration> bool isStored(RegistryStore& store, const Declaration& value)
{
    return RegTools::valueExists(store, QString::fromLatin1(value.key),
                                 QString::fromLatin1(value.name));
}

// A collector on settings with a clipboard monitor on this session's
// clipboard source, which goes with it.
std::unique_ptr<Collector> makeCollector(Settings& settings, ErrorReporter& errors,
                                         SaveSound& sound);

// Runs a capture and waits until it has ended: outside auto mode its text
// comes from the clipboard's owner after captureInto() has returned. False when
// it did not end (it failed).
bool captureAndWait(Collector& collector, Collector::Trigger trigger);

// Path of a built program of this project (clipstow, clipstow-reg, ...).
QString builtProgram(const QString& name);

// Starts the built clipstow in folder with env (without waiting).
void startProgram(QProcess& process, const QProcessEnvironment& env, const QString& folder);

} // namespace TestSupport
