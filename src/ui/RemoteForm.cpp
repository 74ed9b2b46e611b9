// The remote window: its frame, its toolbar and the events of the window as
// a whole (creation, activation, closing).
#include "ui/RemoteForm.h"

#include "platform/WindowHints.h"

#include "ui/Icons.h"
#include "ui/MainForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QToolButton>

namespace {

constexpr QSize ClientSize(116, 24);
constexpr int ButtonWidth = 23;
constexpr int ButtonHeight = 22;
constexpr int SeparatorWidth = 8;

QFont windowFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

} // namespace

TRemoteForm::TRemoteForm(TMainForm& mainForm)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_main(mainForm)
{
    setObjectName(QStringLiteral("RemoteForm"));
    setWindowTitle(QStringLiteral("Clipstow"));
    setFont(windowFont());
    setFixedSize(ClientSize);

    BuildToolBar();

    // Centred on the screen until a stored placement says otherwise.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(0, 0), ClientSize);
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }

    FormCreate();
}

TRemoteForm::~TRemoteForm() = default;

// Four buttons of 23 x 22 with an 8-pixel separator between each two: the
// toolbar fills the 116-pixel client area exactly.
void TRemoteForm::BuildToolBar()
{
    m_toolBar = new QWidget(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setGeometry(QRect(QPoint(0, 0), ClientSize));
    m_toolBar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_toolBar, &QWidget::customContextMenuRequested, this,
            &TRemoteForm::ToolBar1ContextPopup);

    const char* const names[] = {"ToolBtn1", "ToolBtn2", "ToolBtn3"};
    int x = 0;
    for (int i = 0; i < 3; ++i) {
        QToolButton* button = AddButton(names[i], i, x);
        connect(button, &QToolButton::clicked, this, [this, button] { ToolBtn1Click(button); });
        m_slotButtons[i] = button;
        x += ButtonWidth + SeparatorWidth;
    }
    m_autoToolBtn = AddButton("AutoToolBtn", 3, x);
    m_autoToolBtn->setCheckable(true);
    m_autoToolBtn->setToolTip(QStringLiteral("Auto Clipstow"));
    connect(m_autoToolBtn, &QToolButton::clicked, this,
            [this] { AutoToolBtnClick(m_autoToolBtn); });
}

QToolButton* TRemoteForm::AddButton(const char* name, int image, int x)
{
    auto* button = new QToolButton(m_toolBar);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIcon(Icons::remoteImage(image));
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(x, (ClientSize.height() - ButtonHeight) / 2, ButtonWidth, ButtonHeight);
    return button;
}

void TRemoteForm::FormCreate()
{
    m_remoteAuto = m_main.IsAutoOn();
    MakeCheckButtons(m_remoteAuto);
    RSetHints();
}

void TRemoteForm::FormActivate()
{
    // Hint refresh, page layout and SetDown with the active slot.
    m_main.PageControl1Change(this);
    m_autoToolBtn->setChecked(m_main.IsAutoOn());
    if (!m_remoteAuto)
        AllUp();
}

void TRemoteForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

// The close box only hides the window. A close that is not the user's (the
// application closing its windows as it quits) is accepted, so it never holds
// up the end of the program; the window is hidden either way.
void TRemoteForm::closeEvent(QCloseEvent* event)
{
    hide();
    if (event->spontaneous())
        event->ignore();
    else
        event->accept();
}

void TRemoteForm::setVisible(bool visible)
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

// The main window's tray menu, once start-up has allowed it to open.
void TRemoteForm::ToolBar1ContextPopup(const QPoint& pos)
{
    if (!m_main.TrayMenuAllowed())
        return;
    if (QMenu* menu = m_main.TrayMenu())
        menu->popup(m_toolBar->mapToGlobal(pos));
}
