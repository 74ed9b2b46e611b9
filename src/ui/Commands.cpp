#include "ui/Commands.h"

#include "ui/Icons.h"

#include <QCoreApplication>
#include <QMenu>

namespace {

enum class Check
{
    None,
    Unchecked,
    Checked
};

struct CommandRow
{
    QAction* Commands::*member;
    const char* objectName;
    const char* text;
    QKeySequence shortcut;
    QIcon (*icon)();
    Check check = Check::None;
    // The command this item forwards to, for items that show a command
    // under another caption.
    QAction* Commands::*forwardsTo = nullptr;
    // The toolbar's tooltip where the caption stripped of its "&" is not it.
    const char* toolTip = nullptr;
};

QIcon noIcon()
{
    return QIcon();
}

const std::vector<CommandRow>& table()
{
    using C = Commands;
    const QKeySequence none;
    static const std::vector<CommandRow> rows = {
        {&C::capture, "capture", QT_TRANSLATE_NOOP("Commands", "Clipst&ow"), Qt::Key_F2,
         Icons::capture, Check::None, nullptr, QT_TRANSLATE_NOOP("Commands", "Clipstow")},
        {&C::editInTextEditor, "editInTextEditor",
         QT_TRANSLATE_NOOP("Commands", "E&dit in Text Editor"), Qt::CTRL | Qt::Key_T,
         Icons::editInTextEditor, Check::None, nullptr,
         QT_TRANSLATE_NOOP("Commands", "Edit in Text Editor")},
        {&C::save, "save", QT_TRANSLATE_NOOP("Commands", "Sa&ve"), Qt::CTRL | Qt::Key_S,
         Icons::save, Check::None, nullptr, QT_TRANSLATE_NOOP("Commands", "Save")},
        {&C::saveAs, "saveAs", QT_TRANSLATE_NOOP("Commands", "Save &As..."), Qt::CTRL | Qt::Key_E,
         Icons::saveAs},
        {&C::print, "print", QT_TRANSLATE_NOOP("Commands", "&Print..."), Qt::CTRL | Qt::Key_P,
         Icons::print},
        {&C::exit, "exit", QT_TRANSLATE_NOOP("Commands", "E&xit"), Qt::ALT | Qt::Key_F4,
         Icons::exitProgram},
        {&C::hideWindow, "hideWindow", QT_TRANSLATE_NOOP("Commands", "Hi&de this window"),
         Qt::Key_F4, Icons::hideWindow},
        {&C::showRemote, "showRemote", QT_TRANSLATE_NOOP("Commands", "Show \"Remote Control\""),
         Qt::Key_F6, Icons::showRemote, Check::None, nullptr,
         QT_TRANSLATE_NOOP("Commands", "Show \"Remote Control\"")},
        {&C::toolbar, "toolbar", QT_TRANSLATE_NOOP("Commands", "&Toolbar"), none, noIcon,
         Check::Checked},
        {&C::statusBar, "statusBar", QT_TRANSLATE_NOOP("Commands", "&Status Bar"), none, noIcon,
         Check::Checked},
        {&C::font, "font", QT_TRANSLATE_NOOP("Commands", "&Font..."),
         Qt::CTRL | Qt::ALT | Qt::Key_F, Icons::font},
        {&C::preferences, "preferences", QT_TRANSLATE_NOOP("Commands", "Pr&eferences..."),
         Qt::Key_F9, Icons::preferences, Check::None, nullptr,
         QT_TRANSLATE_NOOP("Commands", "Preferences...")},
        {&C::autoMode, "autoMode", QT_TRANSLATE_NOOP("Commands", "Auto Clips&tow"), Qt::Key_F5,
         Icons::autoMode, Check::Unchecked},
        {&C::clearClipboard, "clearClipboard",
         QT_TRANSLATE_NOOP("Commands", "&Clear the Clipboard"), Qt::CTRL | Qt::Key_D,
         Icons::clearClipboard, Check::None, nullptr,
         QT_TRANSLATE_NOOP("Commands", "Clear the Clipboard")},
        {&C::setFilename, "setFilename", QT_TRANSLATE_NOOP("Commands", "&Set Filename..."),
         Qt::CTRL | Qt::Key_N, Icons::setFilename},
        {&C::find, "find", QT_TRANSLATE_NOOP("Commands", "&Find..."), Qt::CTRL | Qt::Key_F,
         Icons::find},
        {&C::findNext, "findNext", QT_TRANSLATE_NOOP("Commands", "Find &Next"), Qt::Key_F3,
         Icons::findNext},
        {&C::help, "help", QT_TRANSLATE_NOOP("Commands", "&Help"), Qt::Key_F1, Icons::help},
        {&C::about, "about", QT_TRANSLATE_NOOP("Commands", "&About..."), none, Icons::about},
        {&C::support, "support", QT_TRANSLATE_NOOP("Commands", "&Support"), none, Icons::support},
        {&C::autoSwitch, "autoSwitch", QT_TRANSLATE_NOOP("Commands", "Auto Clipstow"), none,
         Icons::autoMode, Check::Unchecked, nullptr,
         QT_TRANSLATE_NOOP("Commands", "Auto Clipstow")},
        {&C::trayExit, "trayExit", QT_TRANSLATE_NOOP("Commands", "E&xit"), none, Icons::exitProgram,
         Check::None, &C::exit},
        {&C::trayHelp, "trayHelp", QT_TRANSLATE_NOOP("Commands", "&Help"), none, Icons::help,
         Check::None, &C::help},
        {&C::trayAbout, "trayAbout", QT_TRANSLATE_NOOP("Commands", "&About"), none, Icons::about,
         Check::None, &C::about},
        {&C::clipboardViewer, "clipboardViewer", QT_TRANSLATE_NOOP("Commands", "Clipboard &Viewer"),
         none, Icons::clipboardViewer},
        {&C::trayClearClipboard, "trayClearClipboard",
         QT_TRANSLATE_NOOP("Commands", "&Clear the Clipboard"), none, Icons::clearClipboard,
         Check::None, &C::clearClipboard},
        {&C::trayAutoMode, "trayAutoMode", QT_TRANSLATE_NOOP("Commands", "A&uto Clipstow"), none,
         Icons::autoMode, Check::Unchecked, &C::autoMode},
        {&C::trayEditInTextEditor, "trayEditInTextEditor",
         QT_TRANSLATE_NOOP("Commands", "Edit in &Text Editor"), none, Icons::editInTextEditor,
         Check::None, &C::editInTextEditor},
        {&C::trayCapture, "trayCapture", QT_TRANSLATE_NOOP("Commands", "Cli&pstow"), none,
         Icons::capture, Check::None, &C::capture},
        {&C::trayShowRemote, "trayShowRemote",
         QT_TRANSLATE_NOOP("Commands", "&Show \"remote control\""), none, Icons::showRemote,
         Check::None, &C::showRemote},
        {&C::showMainWindow, "showMainWindow",
         QT_TRANSLATE_NOOP("Commands", "&Show the main window"), none, Icons::showMainWindow},
        {&C::undo, "undo", QT_TRANSLATE_NOOP("Commands", "&Undo"), Qt::CTRL | Qt::Key_Z,
         Icons::undo},
        {&C::cut, "cut", QT_TRANSLATE_NOOP("Commands", "Cu&t"), Qt::CTRL | Qt::Key_X, Icons::cut},
        {&C::copy, "copy", QT_TRANSLATE_NOOP("Commands", "C&opy"), Qt::CTRL | Qt::Key_C,
         Icons::copy},
        {&C::paste, "paste", QT_TRANSLATE_NOOP("Commands", "&Paste"), Qt::CTRL | Qt::Key_V,
         Icons::paste},
        {&C::selectAll, "selectAll", QT_TRANSLATE_NOOP("Commands", "&Select All"),
         Qt::CTRL | Qt::Key_L, Icons::selectAll},
        {&C::clearSlot, "clearSlot", QT_TRANSLATE_NOOP("Commands", "&Clear"), Qt::CTRL | Qt::Key_Q,
         Icons::clearSlot, Check::None, nullptr, QT_TRANSLATE_NOOP("Commands", "Clear")},
        {&C::editorClearClipboard, "editorClearClipboard",
         QT_TRANSLATE_NOOP("Commands", "Clear the Clipboar&d"), none, Icons::clearClipboard,
         Check::None, &C::clearClipboard},
    };
    return rows;
}

} // namespace

Commands Commands::create(QObject* owner)
{
    Commands commands;
    for (const CommandRow& row : table()) {
        auto* action = new QAction(QCoreApplication::translate("Commands", row.text), owner);
        action->setObjectName(QString::fromLatin1(row.objectName));
        action->setShortcut(row.shortcut);
        action->setIcon(row.icon());
        if (row.check != Check::None) {
            action->setCheckable(true);
            action->setChecked(row.check == Check::Checked);
        }
        if (row.toolTip)
            action->setToolTip(QCoreApplication::translate("Commands", row.toolTip));
        commands.*row.member = action;
    }
    for (const CommandRow& row : table()) {
        if (row.forwardsTo == nullptr)
            continue;
        QAction* item = commands.*row.member;
        QAction* target = commands.*row.forwardsTo;
        QObject::connect(item, &QAction::triggered, target, [target] { target->trigger(); });
    }
    commands.undo->setEnabled(false);
    // With its picture shown, the style marks a checked item only by a faint
    // frame round the picture; without it the auto mode items get the same
    // plain check mark as "Toolbar" and "Status Bar".
    for (QAction* autoItem : {commands.autoMode, commands.trayAutoMode})
        autoItem->setIconVisibleInMenu(false);
    QFont bold = commands.trayCapture->font();
    bold.setBold(true);
    commands.trayCapture->setFont(bold);
    return commands;
}

std::vector<QAction*> Commands::all() const
{
    std::vector<QAction*> actions;
    for (const CommandRow& row : table())
        actions.push_back(this->*row.member);
    return actions;
}
