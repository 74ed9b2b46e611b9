#include "ui/MainWindow.h"

#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "settings/Settings.h"
#include "ui/CommandHandlers.h"
#include "ui/Icons.h"
#include "ui/RemoteWindow.h"
#include "ui/SlotPage.h"
#include "ui/TrayIcon.h"
#include "ui/WindowFont.h"
#include "ui/WindowPlacement.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr int StatusBarHeight = 19;
constexpr QSize InitialClientSize(401, 380);
constexpr QSize MinimumFrameSize(408, 165);

//: The slots' names, on their tabs
const char* const TabCaptions[SlotCount] = {QT_TRANSLATE_NOOP("MainWindow", "First"),
                                            QT_TRANSLATE_NOOP("MainWindow", "Second"),
                                            QT_TRANSLATE_NOOP("MainWindow", "Third")};

} // namespace

MainWindow::MainWindow(Collector& collector, TrayIcon& trayIcon, QWidget* parent)
    : QMainWindow(parent), m_collector(collector), m_commands(Commands::create(this)),
      m_trayIcon(trayIcon)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Clipstow 3"));
    setFont(windowFont());
    setWindowIcon(Icons::programIcon());

    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(client);

    buildToolBar(client);
    column->addWidget(m_toolBar);
    m_toolBarRule = new QFrame(client);
    m_toolBarRule->setObjectName(QStringLiteral("toolBarRule"));
    m_toolBarRule->setFrameShape(QFrame::HLine);
    m_toolBarRule->setFrameShadow(QFrame::Sunken);
    m_toolBarRule->setFixedHeight(2);
    column->addWidget(m_toolBarRule);

    buildPages();
    column->addWidget(m_tabs, 1);

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setFixedHeight(StatusBarHeight);
    bar->setAccessibleName(tr("Status bar"));
    m_statusText = new QLabel(bar);
    m_statusText->setObjectName(QStringLiteral("statusText"));
    m_statusText->setTextFormat(Qt::PlainText);
    bar->addWidget(m_statusText, 1);

    buildMenus();
    m_handlers = std::make_unique<CommandHandlers>(*this, m_collector, m_commands);

    // Client area of 401 x 380 below the menu bar, centred, until a stored
    // placement says otherwise.
    resize(InitialClientSize.width(), InitialClientSize.height() + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = frameGeometry();
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
    setMinimumSize(MinimumFrameSize);

    watchTrayIcon();
    connectCollector();
    // A failure that comes again while its box is open is counted here.
    errors().setRepeatListener([this](const QString& text, int repeats) {
        showNotice(ErrorReporter::repeatNotice(text, repeats));
    });
}

MainWindow::~MainWindow()
{
    errors().setRepeatListener({});
}

ErrorReporter& MainWindow::errors() const
{
    return m_collector.errors();
}

// A press on the tray icon brings back the window last active.
void MainWindow::watchTrayIcon()
{
    connect(&m_trayIcon, &TrayIcon::pressed, this, [this] { bringLastActiveWindowForward(); });

    // Remember the window a press on the tray icon brings back.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
        if (!window)
            return;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->windowHandle() != window)
                continue;
            const Qt::WindowType type = widget->windowType();
            if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::Tool)
                return; // menus, tooltips and the remote window
            if (m_remote != nullptr && widget == m_remote)
                return;
            m_lastActive = widget;
            return;
        }
    });
}

void MainWindow::connectCollector()
{
    connect(&m_collector, &Collector::autoModeChanged, this, [this](bool on) { showAutoMode(on); });
    connect(&m_collector, &Collector::hintsChanged, this, &MainWindow::showHints);
    connect(&m_collector, &Collector::activeSlotChanged, this, &MainWindow::showActiveSlot);
    connect(&m_collector, &Collector::fileNameChanged, this,
            [this](SlotNumber slot, const QString& name) { page(slot)->showFileName(name); });
    connect(&m_collector, &Collector::statusMessage, this, &MainWindow::setStatusText);
    // What the collector holds already.
    for (SlotPage* slotPage : m_pages)
        slotPage->showFileName(m_collector.fileName(slotPage->slot()));
    showAutoMode(m_collector.autoMode());
    showActiveSlot(m_collector.activeSlot());
}

void MainWindow::buildPages()
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("slotTabs"));
    for (SlotNumber slot : SlotNumber::all()) {
        auto* slotPage = new SlotPage(slot, m_collector.text(slot));
        SlotEditor* slotEditor = slotPage->editor();
        slotEditor->installEventFilter(this);
        // Every read of the slot's file replaces the editor's text, so the
        // file-end state is brought up to date here.
        connect(slotEditor, &SlotEditor::contentChanged, this, [this, slotPage] {
            slotPage->showFileEnd(m_collector.showsFileEnd(slotPage->slot()));
            onEditorChanged();
        });
        connect(slotEditor, &QWidget::customContextMenuRequested, this,
                [this, slotEditor](QPoint pos) {
                    m_editorMenu->popup(slotEditor->viewport()->mapToGlobal(pos));
                });
        connect(slotPage, &SlotPage::fileNameClicked, this,
                [this] { errors().reportFailures([this] { m_handlers->chooseSlotFile(); }); });
        m_pages[slot.index()] = slotPage;
        m_tabs->addTab(slotPage, tr(TabCaptions[slot.index()]));
        //: The slot's text for screen readers; %1 is the slot's name (First, Second, Third)
        slotEditor->setAccessibleName(tr("Text of slot %1").arg(tr(TabCaptions[slot.index()])));
    }
    m_tabs->setCurrentIndex(0);
    // Any change of the page makes its slot the active one. The user's
    // choice of tab, by mouse or keyboard (Ctrl+Tab, the arrow keys on the
    // tab bar), also refreshes the hints and marks the remote window; a page
    // shown because the collector changed its slot does not.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index < 0)
            return;
        m_collector.setActiveSlot(index + 1);
        if (!m_showingActiveSlot)
            m_collector.announceActiveSlot();
    });
}

void MainWindow::showActiveSlot(SlotNumber slot)
{
    const QScopedValueRollback showing(m_showingActiveSlot, true);
    m_tabs->setCurrentWidget(page(slot));
}

Settings& MainWindow::settings() const
{
    return m_collector.settings();
}

SlotEditor* MainWindow::editor(SlotNumber slot) const
{
    return page(slot)->editor();
}

SlotEditor* MainWindow::activeEditor() const
{
    return editor(m_collector.activeSlot());
}

QString MainWindow::slotName(SlotNumber slot) const
{
    return m_tabs->tabText(slot.index());
}

void MainWindow::setRemoteWindow(RemoteWindow* remote)
{
    m_remote = remote;
    if (m_remote)
        m_remote->setContextMenu(m_trayMenu);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closed) {
        bool settled = m_noQuestions;
        if (!settled)
            errors().reportFailures([&] { settled = m_handlers->settleUnsavedSlots(); });
        // The session may end the program while a question is open: its
        // end, which sets the text aside, goes on.
        if (!settled && !m_noQuestions) {
            event->ignore();
            return;
        }
        m_closed = true;
        // A setting that cannot be written must not keep the program open.
        Q_EMIT closing();
    }
    event->accept();
}

void MainWindow::closeWithoutQuestions()
{
    m_noQuestions = true;
    close();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The minimum applies to the outer frame, whose size is known only now.
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    setMinimumSize(MinimumFrameSize - frameExtra.expandedTo(QSize(0, 0)));
    // On X11 and Wayland the taskbar entry belongs to the window itself: it
    // is there exactly while the main window is mapped, so showing and
    // hiding the window keeps the taskbar right with no further work. The
    // remote window is a tool window and never gets one.
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_collector.announceActiveSlot();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_toolBar && event->type() == QEvent::LayoutRequest)
        tightenToolBar();
    if (consumeEditorShortcut(watched, event))
        return true;
    if (watched != m_hidePanel)
        return QMainWindow::eventFilter(watched, event);

    if (event->type() == QEvent::MouseButtonPress) {
        m_hidePanelPressed = true;
        setHidePanelPressed(true);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool click = m_hidePanelPressed && mouse->button() == Qt::LeftButton &&
                           m_hidePanel->rect().contains(mouse->position().toPoint());
        m_hidePanelPressed = false;
        setHidePanelPressed(false);
        if (click)
            hideWindow();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QString MainWindow::statusText() const
{
    const QString notice = statusBar()->currentMessage();
    return notice.isEmpty() ? m_statusText->text() : notice;
}

void MainWindow::setStatusText(const QString& text)
{
    m_statusText->setText(text);
}
