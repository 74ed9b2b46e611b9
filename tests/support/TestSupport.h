#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// Helpers shared by the tests.
namespace TestSupport {

// Points the process-wide registry at a fresh file in a temporary folder
// for the lifetime of the returned object, and back afterwards.
class ScopedRegistry final
{
public:
    ScopedRegistry();
    ~ScopedRegistry();
    QString filePath() const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};

// Records in the current registry what a program that has run before
// leaves: the agreement accepted and no splash window at start, so that
// creating the main window shows neither modal window.
void seedReturningUser();

// Path of a built program of this project (clipstow, clipstow-reg, ...).
QString builtProgram(const QString& name);

// Starts the built clipstow in folder with env (without waiting).
void startProgram(QProcess& process, const QProcessEnvironment& env, const QString& folder);

} // namespace TestSupport
