#include "ui/MainForm.h"

#include "app/ErrorReporter.h"
#include "core/AppError.h"
#include "platform/ClipboardMonitor.h"
#include "platform/NotifyAreaIcon.h"
#include "platform/SlotEditor.h"
#include "ui/Icons.h"
#include "ui/RemoteForm.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCompleter>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr int ToolBarHeight = 25;
constexpr int ToolButtonWidth = 25;
constexpr int SeparatorWidth = 8;
constexpr int ButtonGroupsWidth = 224; // buttons and separators before the hide panel
constexpr int HidePanelHeight = 22;
constexpr int FilenamePanelHeight = 20;
constexpr int StatusBarHeight = 19;
constexpr QSize InitialClientSize(401, 380);
constexpr QSize MinimumFrameSize(408, 165);

// The window's own font; every child but the hide panel uses it.
QFont windowFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void setPanelLook(QFrame* panel, bool pressed)
{
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(pressed ? QFrame::Sunken : QFrame::Raised);
    panel->setLineWidth(1);
}

// The hide panel keeps its inner bevel lowered; only the outer one moves.
void setHidePanelLook(QFrame* panel, bool pressed)
{
    panel->setFrameShape(pressed ? QFrame::Panel : QFrame::Box);
    panel->setFrameShadow(pressed ? QFrame::Sunken : QFrame::Raised);
    panel->setLineWidth(1);
    panel->setMidLineWidth(0);
    panel->setProperty("outerBevelLowered", pressed);
}

const char* const TabSheetNames[] = {"TabSheet1", "TabSheet2", "TabSheet3"};
const char* const FilenameNames[] = {"Filename1", "Filename2", "Filename3"};
const char* const EditorNames[] = {"Editor1", "Editor2", "Editor3"};
const char* const TabCaptions[] = {"First", "Second", "Third"};
const char* const InitialNames[] = {"Default1.txt", "Default2.txt", "Default3.txt"};

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), m_dialogs(defaultDialogs())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Clipstow 3"));
    setFont(windowFont());
    setWindowIcon(Icons::programIcon());
    m_fontDialogFont = windowFont();

    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(client);

    BuildToolBar();
    column->addWidget(m_toolBar);
    m_bevel1 = new QFrame(client);
    m_bevel1->setObjectName(QStringLiteral("Bevel1"));
    m_bevel1->setFrameShape(QFrame::HLine);
    m_bevel1->setFrameShadow(QFrame::Sunken);
    m_bevel1->setFixedHeight(2);
    column->addWidget(m_bevel1);

    BuildPages();
    column->addWidget(m_pageControl, 1);

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setFixedHeight(StatusBarHeight);
    m_statusText = new QLabel(bar);
    m_statusText->setObjectName(QStringLiteral("StatusText"));
    m_statusText->setTextFormat(Qt::PlainText);
    bar->addWidget(m_statusText, 1);

    m_saveDialog = new QFileDialog(this);
    m_saveDialog->setObjectName(QStringLiteral("SaveDialog"));
    m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
    m_saveDialog->setFileMode(QFileDialog::AnyFile);
    m_saveDialog->setNameFilter(QStringLiteral("Text Files (*.txt)"));
    m_saveDialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    // Enter accepts the dialog while the file name's completion list is
    // open; the list would stay over the main window holding the keyboard.
    connect(m_saveDialog, &QDialog::finished, this, [this] {
        for (QCompleter* completer : m_saveDialog->findChildren<QCompleter*>())
            if (completer->popup())
                completer->popup()->hide();
    });

    BuildMenus();

    // Client area of 401 x 380 below the menu bar, centred, until a stored
    // placement says otherwise.
    resize(InitialClientSize.width(), InitialClientSize.height() + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = frameGeometry();
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
    setMinimumSize(MinimumFrameSize);

    BuildTrayIcon();
    // A failure that comes again while its box is open is counted here.
    ErrorReporter::setRepeatListener([this](const QString& text, int repeats) {
        ShowNotice(ErrorReporter::repeatNotice(text, repeats));
    });
    // A hint that says there is no text while there is would be false: the
    // hints follow every change of the clipboard. This runs before the
    // clipboard monitor's capture of the same change.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { SetHints(); });
    FormCreate();
}

// The icon goes into the notification area now, with the normal picture and
// no tooltip; its menu opens only once start-up allows it.
void TMainForm::BuildTrayIcon()
{
    m_trayIcon = std::make_unique<NotifyAreaIcon>(nullptr, Icons::programIcon());
    m_trayIcon->setObjectName(QStringLiteral("TrayIcon"));
    NotifyAreaIcon::setAutoPopup(m_trayMenu, false);
    m_trayIcon->setPopupMenu(m_trayMenu);
    connect(m_trayIcon.get(), &NotifyAreaIcon::OnMouseDown, this,
            [this](NotifyAreaIcon* sender) { TrayIconMouseDown(sender); });
    // Runs only if the menu has no usable default item (it has: the capture).
    connect(m_trayIcon.get(), &NotifyAreaIcon::OnDblClick, this,
            [this](NotifyAreaIcon* sender) { PasteButtonClick(sender); });

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

TMainForm::~TMainForm()
{
    ErrorReporter::setRepeatListener({});
    FreeClipboardMonitor();
}

void TMainForm::BuildToolBar()
{
    m_toolBar = new QWidget(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setFixedHeight(ToolBarHeight);
    m_toolBar->installEventFilter(this);

    int x = 0;
    AddToolButton("PasteButton", 0, QStringLiteral("Clipstow"), x, &TMainForm::PasteButtonClick);
    x += ToolButtonWidth + SeparatorWidth;
    AddToolButton("ShowRemoteBtn", 1, QStringLiteral("Show \"Remote Control\""), x,
                  &TMainForm::ShowRemoteClick);
    x += ToolButtonWidth;
    AddToolButton("EditButton", 2, QStringLiteral("Edit in Text Editor"), x,
                  &TMainForm::EditButtonClick);
    x += ToolButtonWidth;
    QToolButton* autoButton = AddToolButton("AutoButton", 3, QStringLiteral("Auto Clipstow"), x,
                                            &TMainForm::AutoButtonClick);
    autoButton->setCheckable(true);
    x += ToolButtonWidth;
    AddToolButton("SaveButton", 4, QStringLiteral("Save"), x, &TMainForm::SaveChMenuClick);
    x += ToolButtonWidth;
    AddToolButton("PrefsButton", 5, QStringLiteral("Preferences..."), x,
                  &TMainForm::Preferences1Click);
    x += ToolButtonWidth + SeparatorWidth;
    AddToolButton("ClearButton", 6, QStringLiteral("Clear"), x, &TMainForm::ClearButtonClick);
    x += ToolButtonWidth;
    AddToolButton("ClearClipbrdButton", 7, QStringLiteral("Clear the Clipboard"), x,
                  &TMainForm::ClearClipbrdButtonClick);
    x += ToolButtonWidth + SeparatorWidth;
    Q_ASSERT(x == ButtonGroupsWidth);

    m_hidePanel = new QLabel(QStringLiteral("H i d e"), m_toolBar);
    m_hidePanel->setObjectName(QStringLiteral("HidePanel"));
    m_hidePanel->setTextFormat(Qt::PlainText);
    m_hidePanel->setAlignment(Qt::AlignCenter);
    m_hidePanel->setToolTip(QStringLiteral("Hide this window"));
    QFont bold = windowFont();
    bold.setBold(true);
    m_hidePanel->setFont(bold);
    setHidePanelLook(m_hidePanel, false);
    m_hidePanel->setGeometry(ButtonGroupsWidth, (ToolBarHeight - HidePanelHeight) / 2, 1,
                             HidePanelHeight);
    m_hidePanel->installEventFilter(this);
}

QToolButton* TMainForm::AddToolButton(const char* name, int image, const QString& tip, int x,
                                      void (TMainForm::*handler)(QObject*))
{
    auto* button = new QToolButton(m_toolBar);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIcon(Icons::toolbarImage(image));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(x, 0, ToolButtonWidth, ToolBarHeight);
    connect(button, &QToolButton::clicked, this,
            [this, button, handler] { (this->*handler)(button); });
    return button;
}

void TMainForm::BuildPages()
{
    m_pageControl = new QTabWidget(this);
    m_pageControl->setObjectName(QStringLiteral("PageControl1"));
    for (int i = 0; i < 3; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(TabSheetNames[i]));
        page->installEventFilter(this);

        auto* panel = new QLabel(QString::fromLatin1(InitialNames[i]), page);
        panel->setObjectName(QString::fromLatin1(FilenameNames[i]));
        panel->setTextFormat(Qt::PlainText);
        panel->setAlignment(Qt::AlignCenter);
        panel->setToolTip(QStringLiteral("Click to change"));
        setPanelLook(panel, false);
        panel->installEventFilter(this);

        auto* editor = new SlotEditor(page);
        editor->setObjectName(QString::fromLatin1(EditorNames[i]));
        editor->setContextMenuPolicy(Qt::CustomContextMenu);
        editor->installEventFilter(this);
        connect(editor, &SlotEditor::OnChange, this, [this, editor] { EditorChange(editor); });
        connect(editor, &QWidget::customContextMenuRequested, this, [this, editor](QPoint pos) {
            m_popupMenu->popup(editor->viewport()->mapToGlobal(pos));
        });

        m_tabSheets[i] = page;
        m_filenames[i] = panel;
        m_editors[i] = editor;
        m_pageControl->addTab(page, QString::fromLatin1(TabCaptions[i]));
    }
    m_pageControl->setCurrentIndex(0);
    // The user's choice of tab, by mouse or keyboard (Ctrl+Tab, Ctrl+PgDn,
    // the arrow keys on the tab bar), runs the change routine; start-up and
    // the remote window set the page directly.
    connect(m_pageControl, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && !m_settingPage)
            PageControl1Change(m_pageControl);
    });
}

// Every page: the file-name panel across the top, the editor below it.
void TMainForm::LayoutPages()
{
    const QWidget* current = m_pageControl->currentWidget();
    const QSize client = current ? current->size() : QSize();
    for (int i = 0; i < 3; ++i) {
        QWidget* page = m_tabSheets[i];
        if (page != current && client.isValid())
            page->resize(client);
        const int w = page->width();
        m_filenames[i]->setGeometry(0, 0, w, FilenamePanelHeight);
        m_editors[i]->setGeometry(0, FilenamePanelHeight, w,
                                  std::max(0, page->height() - FilenamePanelHeight));
    }
}

void TMainForm::FormResize()
{
    m_hidePanel->resize(std::max(0, m_toolBar->width() - ButtonGroupsWidth - SeparatorWidth),
                        HidePanelHeight);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        // A setting that cannot be written must not keep the program open.
        try {
            FormClose();
        } catch (const AppError& error) {
            ErrorReporter::showFailure(error);
        }
    }
    event->accept();
    Q_EMIT FormClosed();
}

void TMainForm::showEvent(QShowEvent* event)
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

void TMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TMainForm::FormActivate()
{
    PageControl1Change(this);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_toolBar && event->type() == QEvent::Resize) {
        FormResize();
    } else if (event->type() == QEvent::Resize) {
        for (int i = 0; i < 3; ++i)
            if (watched == m_tabSheets[i])
                LayoutPages();
    }
    if (ConsumeEditorShortcut(watched, event))
        return true;

    const bool isHide = watched == m_hidePanel;
    const bool isFilename =
        std::find(m_filenames.begin(), m_filenames.end(), watched) != m_filenames.end();
    if (!isHide && !isFilename)
        return QMainWindow::eventFilter(watched, event);

    if (event->type() == QEvent::MouseButtonPress) {
        m_pressedPanel = watched;
        if (isHide)
            HidePanelMouseDown();
        else
            Filename1MouseDown(watched);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* panel = static_cast<QWidget*>(watched);
        const bool click = m_pressedPanel == watched && mouse->button() == Qt::LeftButton &&
                           panel->rect().contains(mouse->position().toPoint());
        m_pressedPanel = nullptr;
        if (isHide)
            HidePanelMouseUp();
        else
            Filename1MouseUp(watched);
        if (click) {
            if (isHide)
                HidePanelClick(watched);
            else
                SetFileButtonClick(watched);
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::HidePanelMouseDown()
{
    setHidePanelLook(m_hidePanel, true);
}

void TMainForm::HidePanelMouseUp()
{
    setHidePanelLook(m_hidePanel, false);
}

void TMainForm::Filename1MouseDown(QObject* sender)
{
    if (auto* panel = qobject_cast<QFrame*>(sender))
        setPanelLook(panel, true);
}

void TMainForm::Filename1MouseUp(QObject* sender)
{
    if (auto* panel = qobject_cast<QFrame*>(sender))
        setPanelLook(panel, false);
}

QAction* TMainForm::Item(const QString& name) const
{
    return findChild<QAction*>(name);
}

QToolButton* TMainForm::Button(const QString& name) const
{
    return findChild<QToolButton*>(name);
}

void TMainForm::SetStatusText(const QString& text)
{
    m_statusText->setText(text);
}

QString TMainForm::StatusText() const
{
    const QString notice = statusBar()->currentMessage();
    return notice.isEmpty() ? m_statusText->text() : notice;
}
