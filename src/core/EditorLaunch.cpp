#include "core/EditorLaunch.h"

#include "platform/Shell.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace EditorLaunch {

namespace {
QString firstOnPath(const QStringList& candidates)
{
    for (const QString& name : candidates) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return {};
}
} // namespace

Plan plan(bool definedEditor, const std::optional<QString>& storedEditor, const QString& slotFile,
          const QStringList& candidates)
{
    Plan result;
    // The editor is started in this program's current folder, but it may
    // hand the file to a copy of itself already running elsewhere: the
    // absolute path names the same file there too.
    result.document = QFileInfo(slotFile).absoluteFilePath();
    if (!definedEditor)
        return result;

    const QString editor = storedEditor.value_or(QString());
    QStringList command;
    if (QFileInfo(editor).isFile())
        command = {editor};
    else if (!editor.trimmed().isEmpty())
        command = QProcess::splitCommand(editor);
    if (command.isEmpty()) {
        const QString found = firstOnPath(candidates);
        if (found.isEmpty())
            return result;
        command = {found};
    }
    result.program = command.takeFirst();
    result.arguments = command;
    result.arguments << result.document;
    return result;
}

Plan planFromSettings(const Settings& settings, const QString& slotFile)
{
    const bool definedEditor = settings.ownEditor();
    std::optional<QString> editor;
    if (definedEditor)
        editor = settings.editor();
    return plan(definedEditor, editor, slotFile, Shell::commonTextEditors());
}

QString run(const Plan& plan, Shell::Launcher& launcher)
{
    if (plan.opensDocument()) {
        if (launcher.openUrl(QUrl::fromLocalFile(plan.document)))
            return {};
        return QCoreApplication::translate("EditorLaunch",
                                           "Cannot start the default program for %1")
            .arg(plan.document);
    }
    if (launcher.startDetached(plan.program, plan.arguments))
        return {};
    return QCoreApplication::translate("EditorLaunch", "Cannot start %1").arg(plan.program);
}

} // namespace EditorLaunch
