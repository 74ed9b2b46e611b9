// The toolbar, the main menu, the tray menu and the editors' context menu,
// all showing the window's commands (CommandHandlers connects what they
// run); and the rule that a shortcut of a disabled item is consumed.
#include "ui/MainWindow.h"

#include "core/Collector.h"
#include "ui/Icons.h"
#include "ui/SlotPage.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int ToolBarHeight = 25;
constexpr int ToolButtonWidth = 25;
constexpr int GapWidth = 8;
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

} // namespace

void MainWindow::buildToolBar(QWidget* parent)
{
    m_toolBar = new QToolBar(parent);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setFixedHeight(ToolBarHeight);
    m_toolBar->installEventFilter(this);
    tightenToolBar();

    const Commands& c = m_commands;
    addToolButton("captureButton", c.capture);
    addToolBarGap();
    addToolButton("showRemoteButton", c.showRemote);
    addToolButton("editButton", c.editInTextEditor);
    addToolButton("autoButton", c.autoSwitch);
    addToolButton("saveButton", c.save);
    addToolButton("preferencesButton", c.preferences);
    addToolBarGap();
    addToolButton("clearButton", c.clearSlot);
    addToolButton("clearClipboardButton", c.clearClipboard);
    addToolBarGap();

    // The rest of the width, less a gap at the end, is the hide panel.
    m_hidePanel = new QLabel(tr("H i d e"), m_toolBar);
    //: The hide panel's name for screen readers, which read its spaced-out caption letter by letter
    m_hidePanel->setAccessibleName(tr("Hide this window"));
    m_hidePanel->setObjectName(QStringLiteral("hidePanel"));
    m_hidePanel->setTextFormat(Qt::PlainText);
    m_hidePanel->setAlignment(Qt::AlignCenter);
    m_hidePanel->setToolTip(QCoreApplication::translate("MainWindowMenus", "Hide this window"));
    QFont bold = font();
    bold.setBold(true);
    m_hidePanel->setFont(bold);
    setHidePanelPressed(false);
    m_hidePanel->setMinimumWidth(0);
    m_hidePanel->setFixedHeight(HidePanelHeight);
    m_hidePanel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_hidePanel->installEventFilter(this);
    m_toolBar->addWidget(m_hidePanel);
    addToolBarGap();
}

// The buttons sit edge to edge from the toolbar's corner: the style's
// margins and spacing, which it sets again at a change of style, are
// taken away whenever the toolbar lays out.
void MainWindow::tightenToolBar()
{
    QLayout* layout = m_toolBar->layout();
    if (layout->contentsMargins() != QMargins())
        layout->setContentsMargins(QMargins());
    if (layout->spacing() != 0)
        layout->setSpacing(0);
}

void MainWindow::setHidePanelPressed(bool pressed)
{
    setHidePanelLook(m_hidePanel, pressed);
}

void MainWindow::addToolButton(const char* name, QAction* command)
{
    m_toolBar->addAction(command);
    QWidget* button = m_toolBar->widgetForAction(command);
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(ToolButtonWidth, ToolBarHeight);
}

// An empty gap between groups of buttons.
void MainWindow::addToolBarGap()
{
    auto* gap = new QWidget(m_toolBar);
    gap->setFixedSize(GapWidth, ToolBarHeight);
    m_toolBar->addWidget(gap);
}

QToolButton* MainWindow::toolButton(const QAction* command) const
{
    for (QAction* action : m_toolBar->actions())
        if (action == command)
            return qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action));
    return nullptr;
}

void MainWindow::buildMenus()
{
    const Commands& c = m_commands;
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mainMenu"));

    QMenu* file = bar->addMenu(tr("&File"));
    file->addAction(c.capture);
    file->addSeparator();
    file->addActions({c.editInTextEditor, c.save, c.saveAs, c.print});
    file->addSeparator();
    file->addAction(c.exit);

    QMenu* view = bar->addMenu(tr("&View"));
    view->addActions({c.hideWindow, c.showRemote});
    view->addSeparator();
    view->addActions({c.toolbar, c.statusBar});
    view->addSeparator();
    view->addAction(c.font);

    QMenu* options = bar->addMenu(tr("&Options"));
    options->addActions(
        {c.preferences, c.autoMode, c.clearClipboard, c.setFilename, c.find, c.findNext});

    QMenu* help = bar->addMenu(tr("&Help"));
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
