// The toolbar, the main menu, the tray menu and the editors' context menu,
// all showing the window's commands; which handler each command runs; and
// the rule that a shortcut of a disabled item is consumed.
#include "ui/MainWindow.h"

#include "core/Collector.h"
#include "core/SupportMail.h"
#include "ui/Icons.h"
#include "ui/SlotPage.h"
#include "ui/SplashWindow.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace {

constexpr int ToolBarHeight = 25;
constexpr int ToolButtonWidth = 25;
constexpr int SeparatorWidth = 8;
constexpr int ButtonGroupsWidth = 224; // buttons and separators before the hide panel
constexpr int HidePanelHeight = 22;

// The hide panel keeps its inner bevel lowered; only the outer one moves.
void setHidePanelLook(QFrame* panel, bool pressed)
{
    panel->setFrameShape(pressed ? QFrame::Panel : QFrame::Box);
    panel->setFrameShadow(pressed ? QFrame::Sunken : QFrame::Raised);
    panel->setLineWidth(1);
    panel->setMidLineWidth(0);
    panel->setProperty("outerBevelLowered", pressed);
}

QString text(const char* s)
{
    return QString::fromUtf8(s);
}

} // namespace

void MainWindow::buildToolBar()
{
    m_toolBar = new QWidget(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setFixedHeight(ToolBarHeight);
    m_toolBar->installEventFilter(this);

    const Commands& c = m_commands;
    int x = 0;
    addToolButton("captureButton", c.capture, x);
    x += ToolButtonWidth + SeparatorWidth;
    addToolButton("showRemoteButton", c.showRemote, x);
    x += ToolButtonWidth;
    addToolButton("editButton", c.editInTextEditor, x);
    x += ToolButtonWidth;
    addToolButton("autoButton", c.autoSwitch, x);
    x += ToolButtonWidth;
    addToolButton("saveButton", c.save, x);
    x += ToolButtonWidth;
    addToolButton("preferencesButton", c.preferences, x);
    x += ToolButtonWidth + SeparatorWidth;
    addToolButton("clearButton", c.clearSlot, x);
    x += ToolButtonWidth;
    addToolButton("clearClipboardButton", c.clearClipboard, x);
    x += ToolButtonWidth + SeparatorWidth;
    Q_ASSERT(x == ButtonGroupsWidth);

    m_hidePanel = new QLabel(QStringLiteral("H i d e"), m_toolBar);
    m_hidePanel->setObjectName(QStringLiteral("hidePanel"));
    m_hidePanel->setTextFormat(Qt::PlainText);
    m_hidePanel->setAlignment(Qt::AlignCenter);
    m_hidePanel->setToolTip(QStringLiteral("Hide this window"));
    QFont bold = font();
    bold.setBold(true);
    m_hidePanel->setFont(bold);
    setHidePanelPressed(false);
    m_hidePanel->setGeometry(ButtonGroupsWidth, (ToolBarHeight - HidePanelHeight) / 2, 1,
                             HidePanelHeight);
    m_hidePanel->installEventFilter(this);
}

void MainWindow::placeHidePanel()
{
    m_hidePanel->resize(std::max(0, m_toolBar->width() - ButtonGroupsWidth - SeparatorWidth),
                        HidePanelHeight);
}

void MainWindow::setHidePanelPressed(bool pressed)
{
    setHidePanelLook(m_hidePanel, pressed);
}

void MainWindow::addToolButton(const char* name, QAction* command, int x)
{
    auto* button = new QToolButton(m_toolBar);
    button->setObjectName(QString::fromLatin1(name));
    button->setDefaultAction(command);
    button->setAutoRaise(true);
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(x, 0, ToolButtonWidth, ToolBarHeight);
    m_toolButtons.push_back(button);
}

QToolButton* MainWindow::toolButton(const QAction* command) const
{
    for (QToolButton* button : m_toolButtons)
        if (button->defaultAction() == command)
            return button;
    return nullptr;
}

void MainWindow::buildMenus()
{
    const Commands& c = m_commands;
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mainMenu"));

    QMenu* file = bar->addMenu(text("&File"));
    file->addAction(c.capture);
    file->addSeparator();
    file->addActions({c.editInTextEditor, c.save, c.saveAs, c.print});
    file->addSeparator();
    file->addAction(c.exit);

    QMenu* view = bar->addMenu(text("&View"));
    view->addActions({c.hideWindow, c.showRemote});
    view->addSeparator();
    view->addActions({c.toolbar, c.statusBar});
    view->addSeparator();
    view->addAction(c.font);

    QMenu* options = bar->addMenu(text("&Options"));
    options->addActions(
        {c.preferences, c.autoMode, c.clearClipboard, c.setFilename, c.find, c.findNext});

    QMenu* help = bar->addMenu(text("&Help"));
    help->addActions({c.help, c.about, c.support});

    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("trayMenu"));
    m_trayMenu->addActions({c.trayExit, c.trayHelp, c.trayAbout});
    m_trayMenu->addSeparator();
    m_trayMenu->addActions({c.clipboardViewer, c.trayClearClipboard, c.trayAutoMode,
                            c.trayEditInTextEditor, c.trayCapture});
    m_trayMenu->setDefaultAction(c.trayCapture);
    m_trayMenu->addSeparator();
    m_trayMenu->addActions({c.trayShowRemote, c.showMainWindow});

    m_editorMenu = new QMenu(this);
    m_editorMenu->setObjectName(QStringLiteral("editorMenu"));
    m_editorMenu->addAction(c.undo);
    m_editorMenu->addSeparator();
    m_editorMenu->addActions({c.cut, c.copy, c.paste, c.selectAll});
    m_editorMenu->addSeparator();
    m_editorMenu->addActions({c.clearSlot, c.editorClearClipboard});

    // The context menu's shortcuts act while an editor has the focus.
    for (QAction* action : m_editorMenu->actions()) {
        if (action->shortcut().isEmpty())
            continue;
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        for (SlotPage* slotPage : m_pages)
            editor(slotPage->slot())->addAction(action);
    }
}

void MainWindow::connectCommands()
{
    using Source = Collector::Source;
    const Commands& c = m_commands;
    Collector& collector = m_collector;
    ErrorReporter& errors = this->errors();

    connectCommand(errors, c.capture, this,
                   [&collector] { collector.capture(Collector::Trigger::User); });
    connectCommand(errors, c.editInTextEditor, this, [this] { editInTextEditor(); });
    connectCommand(errors, c.save, this, [this] { saveActiveSlot(); });
    connectCommand(errors, c.saveAs, this, [this] { saveActiveSlotAs(); });
    connectCommand(errors, c.print, this, [this] { printSlot(); });
    connectCommand(errors, c.exit, this, [this] { close(); });
    connectCommand(errors, c.hideWindow, this, [this] { hideWindow(); });
    connectCommand(errors, c.showRemote, this, [this] { showRemoteWindow(); });
    connectCommand(errors, c.toolbar, this, [this](bool checked) { setToolbarShown(checked); });
    connectCommand(errors, c.statusBar, this, [this](bool checked) { setStatusBarShown(checked); });
    connectCommand(errors, c.font, this, [this] { chooseFont(); });
    connectCommand(errors, c.preferences, this, [this] { showPreferences(); });
    connectCommand(errors, c.about, this, [] { SplashWindow::run(SplashWindow::Mode::About); });
    connectCommand(errors, c.help, this, [this] { showHelp(); });
    connectCommand(errors, c.support, this, [this] { sendSupportMail(); });
    // A program built without a support address offers no mail to it.
    c.support->setVisible(!SupportMail::address().isEmpty());
    connectCommand(errors, c.clipboardViewer, this, [this] { showClipboardViewer(); });
    // The menu items switch auto mode alone: the remote window's slot
    // buttons keep their presentation.
    connectCommand(errors, c.autoMode, this,
                   [&collector] { collector.setAutoMode(!collector.autoMode(), Source::Menu); });
    connectCommand(errors, c.autoSwitch, this,
                   [&collector] { collector.setAutoMode(!collector.autoMode(), Source::Toolbar); });
    connectCommand(errors, c.clearClipboard, this, [this] { clearClipboard(); });
    connectCommand(errors, c.setFilename, this, [this] { chooseSlotFile(); });
    connectCommand(errors, c.find, this, [this] { findInSlot(); });
    connectCommand(errors, c.findNext, this, [this] { findNextInSlot(); });
    connectCommand(errors, c.showMainWindow, this, [this] { showWindow(); });
    connectCommand(errors, c.undo, this, [this] {
        if (activeSlotEditable())
            activeEditor()->undoLast();
    });
    connectCommand(errors, c.cut, this, [this] {
        if (activeSlotEditable())
            activeEditor()->cutSelection();
    });
    connectCommand(errors, c.copy, this, [this] { activeEditor()->copySelection(); });
    connectCommand(errors, c.paste, this, [this] {
        if (activeSlotEditable())
            activeEditor()->pasteClipboard();
    });
    connectCommand(errors, c.selectAll, this, [this] { activeEditor()->selectAllText(); });
    connectCommand(errors, c.clearSlot, this, [this] { clearActiveSlot(); });
}

// The editors would take Ctrl+Z, Ctrl+C and the like for themselves; the
// window's items get them instead, and an item that is disabled swallows
// its key so that it reaches neither the item nor the editor.
bool MainWindow::consumeEditorShortcut(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    if (!qobject_cast<SlotEditor*>(watched))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (QAction* action : m_commands.all()) {
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
