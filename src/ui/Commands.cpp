#include "ui/Commands.h"

#include "ui/Icons.h"

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
        {&C::capture, "capture", "Clipst&ow", Qt::Key_F2, Icons::capture, Check::None, nullptr,
         "Clipstow"},
        {&C::editInTextEditor, "editInTextEditor", "E&dit in Text Editor", Qt::CTRL | Qt::Key_T,
         Icons::editInTextEditor, Check::None, nullptr, "Edit in Text Editor"},
        {&C::save, "save", "Sa&ve", Qt::CTRL | Qt::Key_S, Icons::save, Check::None, nullptr,
         "Save"},
        {&C::saveAs, "saveAs", "Save &As...", Qt::CTRL | Qt::Key_E, Icons::saveAs},
        {&C::print, "print", "&Print...", Qt::CTRL | Qt::Key_P, Icons::print},
        {&C::exit, "exit", "E&xit", Qt::ALT | Qt::Key_F4, Icons::exitProgram},
        {&C::hideWindow, "hideWindow", "Hi&de this window", Qt::Key_F4, Icons::hideWindow},
        {&C::showRemote, "showRemote", "Show \"Remote Control\"", Qt::Key_F6, Icons::showRemote,
         Check::None, nullptr, "Show \"Remote Control\""},
        {&C::toolbar, "toolbar", "&Toolbar", none, noIcon, Check::Checked},
        {&C::statusBar, "statusBar", "&Status Bar", none, noIcon, Check::Checked},
        {&C::font, "font", "&Font...", Qt::CTRL | Qt::ALT | Qt::Key_F, Icons::font},
        {&C::preferences, "preferences", "Pr&eferences...", Qt::Key_F9, Icons::preferences,
         Check::None, nullptr, "Preferences..."},
        {&C::autoMode, "autoMode", "Auto Clips&tow", Qt::Key_F5, Icons::autoMode, Check::Unchecked},
        {&C::clearClipboard, "clearClipboard", "&Clear the Clipboard", Qt::CTRL | Qt::Key_D,
         Icons::clearClipboard, Check::None, nullptr, "Clear the Clipboard"},
        {&C::setFilename, "setFilename", "&Set Filename...", Qt::CTRL | Qt::Key_N,
         Icons::setFilename},
        {&C::find, "find", "&Find...", Qt::CTRL | Qt::Key_F, Icons::find},
        {&C::findNext, "findNext", "Find &Next", Qt::Key_F3, Icons::findNext},
        {&C::help, "help", "&Help", Qt::Key_F1, Icons::help},
        {&C::about, "about", "&About...", none, Icons::about},
        {&C::support, "support", "&Support", none, Icons::support},
        {&C::autoSwitch, "autoSwitch", "Auto Clipstow", none, Icons::autoMode, Check::Unchecked,
         nullptr, "Auto Clipstow"},
        {&C::trayExit, "trayExit", "E&xit", none, Icons::exitProgram, Check::None, &C::exit},
        {&C::trayHelp, "trayHelp", "&Help", none, Icons::help, Check::None, &C::help},
        {&C::trayAbout, "trayAbout", "&About", none, Icons::about, Check::None, &C::about},
        {&C::clipboardViewer, "clipboardViewer", "Clipboard &Viewer", none, Icons::clipboardViewer},
        {&C::trayClearClipboard, "trayClearClipboard", "&Clear the Clipboard", none,
         Icons::clearClipboard, Check::None, &C::clearClipboard},
        {&C::trayAutoMode, "trayAutoMode", "A&uto Clipstow", none, Icons::autoMode,
         Check::Unchecked, &C::autoMode},
        {&C::trayEditInTextEditor, "trayEditInTextEditor", "Edit in &Text Editor", none,
         Icons::editInTextEditor, Check::None, &C::editInTextEditor},
        {&C::trayCapture, "trayCapture", "Cli&pstow", none, Icons::capture, Check::None,
         &C::capture},
        {&C::trayShowRemote, "trayShowRemote", "&Show \"remote control\"", none, Icons::showRemote,
         Check::None, &C::showRemote},
        {&C::showMainWindow, "showMainWindow", "&Show the main window", none,
         Icons::showMainWindow},
        {&C::undo, "undo", "&Undo", Qt::CTRL | Qt::Key_Z, Icons::undo},
        {&C::cut, "cut", "Cu&t", Qt::CTRL | Qt::Key_X, Icons::cut},
        {&C::copy, "copy", "C&opy", Qt::CTRL | Qt::Key_C, Icons::copy},
        {&C::paste, "paste", "&Paste", Qt::CTRL | Qt::Key_V, Icons::paste},
        {&C::selectAll, "selectAll", "&Select All", Qt::CTRL | Qt::Key_L, Icons::selectAll},
        {&C::clearSlot, "clearSlot", "&Clear", Qt::CTRL | Qt::Key_Q, Icons::clearSlot, Check::None,
         nullptr, "Clear"},
        {&C::editorClearClipboard, "editorClearClipboard", "Clear the Clipboar&d", none,
         Icons::clearClipboard, Check::None, &C::clearClipboard},
    };
    return rows;
}

} // namespace

Commands Commands::create(QObject* owner)
{
    Commands commands;
    for (const CommandRow& row : table()) {
        auto* action = new QAction(QString::fromUtf8(row.text), owner);
        action->setObjectName(QString::fromLatin1(row.objectName));
        action->setShortcut(row.shortcut);
        action->setIcon(row.icon());
        if (row.check != Check::None) {
            action->setCheckable(true);
            action->setChecked(row.check == Check::Checked);
        }
        if (row.toolTip)
            action->setToolTip(QString::fromUtf8(row.toolTip));
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
