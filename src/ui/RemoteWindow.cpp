// The remote window: its frame, its toolbar and the events of the window as
// a whole (creation, activation, closing).
#include "ui/RemoteWindow.h"

#include "core/ErrorReporter.h"
#include "platform/WindowHints.h"
#include "ui/Icons.h"
#include "ui/WindowFont.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QScreen>
#include <QToolButton>
#include <QWindow>

namespace {

constexpr QSize ClientSize(116, 24);
constexpr int ButtonWidth = 23;
constexpr int ButtonHeight = 22;
constexpr int SeparatorWidth = 8;

} // namespace

RemoteWindow::RemoteWindow(Collector& collector)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_collector(collector)
{
    setObjectName(QStringLiteral("remoteWindow"));
    setWindowTitle(QStringLiteral("Clipstow"));
    setFont(windowFont());
    setFixedSize(ClientSize);

    buildToolBar();

    // Centred on the screen until a stored placement says otherwise.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(0, 0), ClientSize);
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }

    // The slot buttons take the presentation of the auto state found now.
    m_remoteAuto = m_collector.autoMode();
    makeCheckButtons(m_remoteAuto);
    m_autoButton->setChecked(m_collector.autoMode());
    showHints();
    m_placement =
        std::make_unique<WindowPlacement>(*this, m_collector.settings(), Placement::Window::Remote,
                                          WindowPlacement::Mode::Automatic, false);

    // Every dialog of the program is told apart as it is shown.
    qApp->installEventFilter(this);

    connect(&m_collector, &Collector::autoModeChanged, this, &RemoteWindow::onAutoModeChanged);
    connect(&m_collector, &Collector::hintsChanged, this, &RemoteWindow::showHints);
    connect(&m_collector, &Collector::activeSlotAnnounced, this, &RemoteWindow::setDown);
    connect(&m_collector, &Collector::captureEnded, this, [this] {
        // Outside auto mode a capture ends by releasing the slot buttons.
        if (!m_collector.autoMode())
            allUp();
    });
}

void RemoteWindow::writePlacementAtEnd()
{
    m_placement->windowDestroyed();
}

RemoteWindow::~RemoteWindow()
{
    m_placement->windowDestroyed();
}

// Four buttons of 23 x 22 with an 8-pixel separator between each two: the
// toolbar fills the 116-pixel client area exactly.
void RemoteWindow::buildToolBar()
{
    m_toolBar = new QWidget(this);
    m_toolBar->setObjectName(QStringLiteral("remoteToolBar"));
    m_toolBar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_toolBar, &QWidget::customContextMenuRequested, this, &RemoteWindow::openContextMenu);
    auto* row = new QHBoxLayout(m_toolBar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(SeparatorWidth);
    auto* window = new QHBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->addWidget(m_toolBar);

    const char* const names[SlotCount] = {"slotButton1", "slotButton2", "slotButton3"};
    for (SlotNumber slot : SlotNumber::all()) {
        QToolButton* button = addButton(names[slot.index()], int(slot.index()));
        connect(button, &QToolButton::clicked, this, [this, slot] {
            m_collector.errors().reportFailures(
                [&] { m_collector.captureInto(slot, Collector::Trigger::RemoteSlotButton); });
        });
        m_slotButtons[slot.index()] = button;
        //: A slot button's name for screen readers; %1 is the slot's number
        button->setAccessibleName(tr("Capture into slot %1").arg(slot.number()));
    }
    m_autoButton = addButton("autoButton", SlotCount);
    m_autoButton->setCheckable(true);
    m_autoButton->setToolTip(QCoreApplication::translate("RemoteWindow", "Auto Clipstow"));
    showAutoState(m_collector.autoMode());
    connect(m_autoButton, &QToolButton::clicked, this, [this] {
        m_collector.errors().reportFailures([this] {
            m_collector.setAutoMode(!m_collector.autoMode(), Collector::Source::RemoteToggle);
        });
    });
    // In place before the window is first shown.
    window->activate();
    row->activate();
}

QToolButton* RemoteWindow::addButton(const char* name, int image)
{
    auto* button = new QToolButton(m_toolBar);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIcon(Icons::remoteImage(image));
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(ButtonWidth, ButtonHeight);
    m_toolBar->layout()->addWidget(button);
    return button;
}

void RemoteWindow::onActivated()
{
    // Hint refresh and the active slot's button down.
    m_collector.announceActiveSlot();
    m_autoButton->setChecked(m_collector.autoMode());
    if (!m_remoteAuto)
        allUp();
}

void RemoteWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        onActivated();
}

// The close box only hides the window. A close that is not the user's (the
// application closing its windows as it quits) is accepted, so it never holds
// up the end of the program; the window is hidden either way.
void RemoteWindow::closeEvent(QCloseEvent* event)
{
    hide();
    // The user's close (the close box, from the window manager) keeps the
    // place as closed; the close the application sends every window as it
    // quits does not, so that the window's end writes it as visible.
    if (event->spontaneous())
        m_placement->windowClosed();
    if (event->spontaneous())
        event->ignore();
    else
        event->accept();
}

// This window stays above all others, and sits in the middle of the screen
// unless moved, where centred dialogs come up. While it shows, the
// program's dialogs and message boxes stay above all others too, and so
// above it (a window shown later comes above one of the same layer). The
// native window exists but is not mapped yet when its show event comes.
bool RemoteWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched != this && isVisible()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow() &&
            (widget->windowType() == Qt::Dialog || widget->windowType() == Qt::Sheet))
            if (QWindow* native = widget->windowHandle())
                native->setFlag(Qt::WindowStaysOnTopHint, true);
    }
    return QWidget::eventFilter(watched, event);
}

void RemoteWindow::setVisible(bool visible)
{
    const bool mapping = visible && !isVisible();
    if (mapping) {
        winId(); // the native window must exist to be prepared
        WindowHints::keepOffTaskbar(*this);
        WindowHints::closeButtonOnly(*this);
    }
    QWidget::setVisible(visible);
    if (mapping) {
        WindowHints::detachFromOwner(*this);
        WindowHints::closeButtonOnly(*this);
    }
}

void RemoteWindow::openContextMenu(const QPoint& pos)
{
    if (m_contextMenu)
        m_contextMenu->popup(m_toolBar->mapToGlobal(pos));
}
