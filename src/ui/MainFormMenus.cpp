// The main menu, the tray menu and the editors' context menu, and the rule
// that a shortcut of a disabled item is consumed.
#include "ui/MainForm.h"

#include "platform/SlotEditor.h"
#include "ui/Icons.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace {
QString text(const char* s)
{
    return QString::fromUtf8(s);
}
} // namespace

void TMainForm::BuildMenus()
{
    BuildMainMenu();
    BuildTrayMenu();
    BuildPopupMenu();
}

QAction* TMainForm::AddItem(QMenu* menu, const char* name, const QString& caption,
                            const QKeySequence& shortcut, void (TMainForm::*handler)(QObject*),
                            const QIcon& image)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    action->setIcon(image);
    connect(action, &QAction::triggered, this, [this, action, handler] {
        // The handlers set check marks themselves: undo the toggle the
        // action made on its own.
        if (action->isCheckable())
            action->setChecked(!action->isChecked());
        (this->*handler)(action);
    });
    menu->addAction(action);
    return action;
}

void TMainForm::BuildMainMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    const QKeySequence none;

    QMenu* file = bar->addMenu(text("&File"));
    AddItem(file, "MenuItem1", text("Clipst&ow"), Qt::Key_F2, &TMainForm::PasteButtonClick,
            Icons::capture());
    file->addSeparator();
    AddItem(file, "EditMenu", text("E&dit in Text Editor"), Qt::CTRL | Qt::Key_T,
            &TMainForm::EditButtonClick, Icons::editInTextEditor());
    AddItem(file, "SaveChMenu", text("Sa&ve"), Qt::CTRL | Qt::Key_S, &TMainForm::SaveChMenuClick,
            Icons::save());
    AddItem(file, "SaveAsMenu", text("Save &As..."), Qt::CTRL | Qt::Key_E,
            &TMainForm::SaveAsButtonClick, Icons::saveAs());
    AddItem(file, "Print1", text("&Print..."), Qt::CTRL | Qt::Key_P, &TMainForm::Print1Click,
            Icons::print());
    file->addSeparator();
    AddItem(file, "MenuItem4", text("E&xit"), Qt::ALT | Qt::Key_F4, &TMainForm::ExitMenuClick,
            Icons::exitProgram());

    QMenu* view = bar->addMenu(text("&View"));
    AddItem(view, "HideMenu", text("Hi&de this window"), Qt::Key_F4, &TMainForm::HidePanelClick,
            Icons::hideWindow());
    AddItem(view, "ShowRemote1", text("Show \"Remote Control\""), Qt::Key_F6,
            &TMainForm::ShowRemoteClick, Icons::showRemote());
    view->addSeparator();
    QAction* toolbar =
        AddItem(view, "ToolbarMenu", text("&Toolbar"), none, &TMainForm::ToolbarMenuClick, QIcon());
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    QAction* status = AddItem(view, "StatusBarMenu", text("&Status Bar"), none,
                              &TMainForm::StatusBarMenuClick, QIcon());
    status->setCheckable(true);
    status->setChecked(true);
    view->addSeparator();
    AddItem(view, "FontMenu", text("&Font..."), Qt::CTRL | Qt::ALT | Qt::Key_F,
            &TMainForm::FontMenuClick, Icons::font());

    QMenu* options = bar->addMenu(text("&Options"));
    AddItem(options, "Preferences1", text("Pr&eferences..."), Qt::Key_F9,
            &TMainForm::Preferences1Click, Icons::preferences());
    QAction* autoMenu = AddItem(options, "AutoMenu", text("Auto Clips&tow"), Qt::Key_F5,
                                &TMainForm::AutoMenuClick, Icons::autoMode());
    autoMenu->setCheckable(true);
    // With its picture shown, the style marks the checked item only by a
    // faint frame round the picture; without it the item gets the same
    // plain check mark as "Toolbar" and "Status Bar".
    autoMenu->setIconVisibleInMenu(false);
    AddItem(options, "CleartheClipboard2", text("&Clear the Clipboard"), Qt::CTRL | Qt::Key_D,
            &TMainForm::ClearClipbrdButtonClick, Icons::clearClipboard());
    AddItem(options, "SetFileMenu", text("&Set Filename..."), Qt::CTRL | Qt::Key_N,
            &TMainForm::SetFileButtonClick, Icons::setFilename());
    AddItem(options, "Find1", text("&Find..."), Qt::CTRL | Qt::Key_F, &TMainForm::Find1Click,
            Icons::find());
    AddItem(options, "FindNext1", text("Find &Next"), Qt::Key_F3, &TMainForm::FindNext1Click,
            Icons::findNext());

    QMenu* help = bar->addMenu(text("&Help"));
    AddItem(help, "Help1", text("&Help"), Qt::Key_F1, &TMainForm::Help1Click, Icons::help());
    AddItem(help, "AboutMenu", text("&About..."), none, &TMainForm::AboutMenuClick, Icons::about());
    AddItem(help, "Support1", text("&Support"), none, &TMainForm::Support1Click, Icons::support());
}

void TMainForm::BuildTrayMenu()
{
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("TrayMenu"));
    const QKeySequence none;
    AddItem(m_trayMenu, "ExitMenu", text("E&xit"), none, &TMainForm::ExitMenuClick,
            Icons::exitProgram());
    AddItem(m_trayMenu, "Help2", text("&Help"), none, &TMainForm::Help1Click, Icons::help());
    AddItem(m_trayMenu, "N2", text("&About"), none, &TMainForm::AboutMenuClick, Icons::about());
    m_trayMenu->addSeparator();
    AddItem(m_trayMenu, "ClipbrdMenu", text("Clipboard &Viewer"), none,
            &TMainForm::ClipbrdMenuClick, Icons::clipboardViewer());
    AddItem(m_trayMenu, "N1", text("&Clear the Clipboard"), none,
            &TMainForm::ClearClipbrdButtonClick, Icons::clearClipboard());
    QAction* autoMenu2 = AddItem(m_trayMenu, "AutoMenu2", text("A&uto Clipstow"), none,
                                 &TMainForm::AutoMenuClick, Icons::autoMode());
    autoMenu2->setCheckable(true);
    autoMenu2->setIconVisibleInMenu(false); // a plain check mark, as above
    AddItem(m_trayMenu, "EditInEd", text("Edit in &Text Editor"), none, &TMainForm::EditButtonClick,
            Icons::editInTextEditor());
    QAction* paste = AddItem(m_trayMenu, "PasteSaveMenu", text("Cli&pstow"), none,
                             &TMainForm::PasteButtonClick, Icons::capture());
    QFont bold = paste->font();
    bold.setBold(true);
    paste->setFont(bold);
    m_trayMenu->setDefaultAction(paste);
    m_trayMenu->addSeparator();
    AddItem(m_trayMenu, "ShowRemote", text("&Show \"remote control\""), none,
            &TMainForm::ShowRemoteClick, Icons::showRemote());
    AddItem(m_trayMenu, "ShowMain", text("&Show the main window"), none, &TMainForm::ShowMainClick,
            Icons::showMainWindow());
}

void TMainForm::BuildPopupMenu()
{
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* undo = AddItem(m_popupMenu, "UndoMenu", text("&Undo"), Qt::CTRL | Qt::Key_Z,
                            &TMainForm::UndoMenuClick, Icons::undo());
    undo->setEnabled(false);
    m_popupMenu->addSeparator();
    AddItem(m_popupMenu, "Cut1", text("Cu&t"), Qt::CTRL | Qt::Key_X, &TMainForm::CutMenuClick,
            Icons::cut());
    AddItem(m_popupMenu, "Copy1", text("C&opy"), Qt::CTRL | Qt::Key_C, &TMainForm::CopyMenuClick,
            Icons::copy());
    AddItem(m_popupMenu, "Paste1", text("&Paste"), Qt::CTRL | Qt::Key_V, &TMainForm::PasteMenuClick,
            Icons::paste());
    AddItem(m_popupMenu, "SelectAll1", text("&Select All"), Qt::CTRL | Qt::Key_L,
            &TMainForm::SelectAllMenuClick, Icons::selectAll());
    m_popupMenu->addSeparator();
    AddItem(m_popupMenu, "Clear1", text("&Clear"), Qt::CTRL | Qt::Key_Q,
            &TMainForm::ClearButtonClick, Icons::clearSlot());
    AddItem(m_popupMenu, "CleartheClipboard1", text("Clear the Clipboar&d"), QKeySequence(),
            &TMainForm::ClearClipbrdButtonClick, Icons::clearClipboard());

    // The context menu's shortcuts act while an editor has the focus.
    for (QAction* action : m_popupMenu->actions()) {
        if (action->shortcut().isEmpty())
            continue;
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        for (SlotEditor* editor : m_editors)
            editor->addAction(action);
    }
}

// The editors would take Ctrl+Z, Ctrl+C and the like for themselves; the
// window's items get them instead, and an item that is disabled swallows
// its key so that it reaches neither the item nor the editor.
bool TMainForm::ConsumeEditorShortcut(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    if (std::find(m_editors.begin(), m_editors.end(), watched) == m_editors.end())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (QAction* action : findChildren<QAction*>()) {
        if (action->shortcut().isEmpty() || action->shortcut() != pressed)
            continue;
        if (event->type() == QEvent::ShortcutOverride) {
            // Let the shortcut run instead of the editor's own key handling.
            event->ignore();
            return true;
        }
        if (!action->isEnabled()) {
            event->accept();
            return true;
        }
    }
    return false;
}
