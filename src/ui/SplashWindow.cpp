#include "ui/SplashWindow.h"

#include "base/AppError.h"
#include "core/ProgramInfo.h"
#include "core/SplashLayout.h"
#include "platform/Shell.h"
#include "ui/Icons.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace {

constexpr QRect WebSiteButtonGeometry(114, 8, 155, 36);

} // namespace

SplashWindow::SplashWindow(Mode mode, QWidget* parent) : QDialog(parent), m_mode(mode)
{
    setObjectName(QStringLiteral("SplashForm"));
    setWindowTitle(QStringLiteral("Clipstow Splash"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    // The picture's free bands were drawn for text of this size.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    buildPicture();
    buildLabels();
    buildButtons();

    setFixedSize(Icons::SplashWidth, Icons::SplashHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(StartupDurationMs);
    connect(m_timer, &QTimer::timeout, this, &QDialog::reject);
    m_closeButton->setVisible(m_mode == Mode::About);
}

void SplashWindow::run(Mode mode, QWidget* parent)
{
    SplashWindow window(mode, parent);
    window.exec();
}

void SplashWindow::buildPicture()
{
    QImage image;
    if (!image.loadFromData(Icons::splashPictureData(), "JPEG"))
        throw AppError(QStringLiteral("Cannot decode the splash picture"));
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setPixmap(QPixmap::fromImage(image));
    m_picture->setGeometry(QRect(QPoint(0, 0), image.size()));
    m_picture->installEventFilter(this);
}

void SplashWindow::buildLabels()
{
    m_buildLabel = new QLabel(this);
    m_buildLabel->setObjectName(QStringLiteral("BuildLabel"));
    m_buildLabel->setAlignment(Qt::AlignCenter);
    m_buildLabel->setText(
        SplashLayout::buildLabelText(ProgramInfo::buildDate(), RegionalSettings::system()));
    m_buildLabel->adjustSize();
    m_buildLabel->move(SplashLayout::buildLabelLeft(m_buildLabel->width()),
                       SplashLayout::BuildLabelTop);

    m_creditLabel = new QLabel(ProgramInfo::creditLine(), this);
    m_creditLabel->setObjectName(QStringLiteral("RxLabel1"));
    m_creditLabel->setAlignment(Qt::AlignCenter);
    // A link only when the program has a support address.
    if (!ProgramInfo::supportMailAddress().isEmpty()) {
        m_creditLabel->setCursor(Qt::PointingHandCursor);
        m_creditLabel->setToolTip(ProgramInfo::supportMailAddress());
    }
    // The band is 145 pixels wide; a wider line grows on both sides rather
    // than being cut.
    const QSize hint = m_creditLabel->sizeHint();
    const int width = std::max(SplashLayout::CreditWidth, hint.width());
    m_creditLabel->setGeometry(SplashLayout::CreditLeft - (width - SplashLayout::CreditWidth) / 2,
                               SplashLayout::CreditTop, width, hint.height());
    m_creditLabel->installEventFilter(this);
    highlightCredit(false);
}

void SplashWindow::buildButtons()
{
    m_webSiteButton = new QToolButton(this);
    m_webSiteButton->setObjectName(QStringLiteral("SpeedButton1"));
    m_webSiteButton->setAutoRaise(true);
    m_webSiteButton->setGeometry(WebSiteButtonGeometry);
    m_webSiteButton->setCursor(Qt::PointingHandCursor);
    m_webSiteButton->setToolTip(ProgramInfo::webSite());
    m_webSiteButton->setAccessibleName(QStringLiteral("Web site"));
    m_webSiteButton->setFocusPolicy(Qt::NoFocus);
    connect(m_webSiteButton, &QToolButton::clicked, this,
            [] { Shell::openLink(QUrl(ProgramInfo::webSite())); });
    m_webSiteButton->setVisible(!ProgramInfo::webSite().isEmpty());

    // The window system's title-bar button size stands for the caption
    // buttons the design was measured against.
    const int titleButton = style()->pixelMetric(QStyle::PM_TitleBarButtonSize, nullptr, this);
    m_closeButton = new QToolButton(this);
    m_closeButton->setObjectName(QStringLiteral("CloseBtn"));
    m_closeButton->setIcon(Icons::closeGlyph());
    m_closeButton->setToolTip(QStringLiteral("Close this window"));
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setGeometry(
        SplashLayout::closeButtonGeometry(QSize(titleButton, titleButton), m_picture->width()));
    const int glyph = std::max(8, m_closeButton->height() - 4);
    m_closeButton->setIconSize(QSize(glyph, glyph));
    connect(m_closeButton, &QToolButton::clicked, this, &QDialog::reject);
}

void SplashWindow::highlightCredit(bool on)
{
    QPalette colours = m_creditLabel->palette();
    colours.setColor(QPalette::WindowText,
                     palette().color(on ? QPalette::Highlight : QPalette::WindowText));
    m_creditLabel->setPalette(colours);
    QFont font = m_creditLabel->font();
    font.setUnderline(on);
    m_creditLabel->setFont(font);
}

void SplashWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_mode == Mode::Startup)
        m_timer->start();
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_picture && event->type() == QEvent::MouseButtonDblClick) {
        reject();
        return true;
    }
    if (watched == m_creditLabel && !ProgramInfo::supportMailAddress().isEmpty()) {
        switch (event->type()) {
        case QEvent::Enter:
            highlightCredit(true);
            break;
        case QEvent::Leave:
            highlightCredit(false);
            break;
        case QEvent::MouseButtonPress:
            return true;
        case QEvent::MouseButtonRelease: {
            // A click: released over the line with the button that pressed it.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                m_creditLabel->rect().contains(mouse->position().toPoint()))
                Shell::openLink(ProgramInfo::supportMailUrl(ProgramInfo::supportMailAddress()));
            return true;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
