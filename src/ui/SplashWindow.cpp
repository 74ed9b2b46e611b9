#include "ui/SplashWindow.h"

#include "base/AppError.h"
#include "core/ProgramInfo.h"
#include "core/SplashLayout.h"
#include "platform/Shell.h"
#include "ui/Icons.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

SplashWindow::SplashWindow(Mode mode, QWidget* parent) : QDialog(parent), m_mode(mode)
{
    setObjectName(QStringLiteral("splashWindow"));
    setWindowTitle(QCoreApplication::translate("SplashWindow", "Clipstow Splash"));
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
    buildButtons();
    buildLabels();
    buildLayout();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("closeTimer"));
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
        throw AppError(
            QCoreApplication::translate("SplashWindow", "Cannot decode the splash picture"));
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setPixmap(QPixmap::fromImage(image));
    m_picture->setFixedSize(image.size());
    m_picture->installEventFilter(this);
}

namespace {

// A smaller font for a text that would not fit the room beside the picture.
void fitFont(QLabel* label, int room)
{
    QFont font = label->font();
    while (QFontMetrics(font).horizontalAdvance(label->text()) > room && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
}

} // namespace

void SplashWindow::buildLabels()
{
    m_creditLabel = new QLabel(ProgramInfo::creditLine(), this);
    m_creditLabel->setObjectName(QStringLiteral("creditLabel"));
    m_creditLabel->setAlignment(Qt::AlignCenter);
    // A link only when the program has a support address.
    if (!ProgramInfo::supportMailAddress().isEmpty()) {
        m_creditLabel->setCursor(Qt::PointingHandCursor);
        m_creditLabel->setToolTip(ProgramInfo::supportMailAddress());
    }
    m_creditLabel->installEventFilter(this);
    fitFont(m_creditLabel, SplashLayout::CreditRoom);
    highlightCredit(false);

    m_buildLabel = new QLabel(this);
    m_buildLabel->setObjectName(QStringLiteral("buildLabel"));
    m_buildLabel->setAlignment(Qt::AlignCenter);
    m_buildLabel->setText(
        SplashLayout::buildLabelText(ProgramInfo::buildDate(), RegionalSettings::system()));
    fitFont(m_buildLabel, SplashLayout::CreditRoom);
}

void SplashWindow::buildButtons()
{
    m_webSiteButton = new QToolButton(this);
    m_webSiteButton->setObjectName(QStringLiteral("webSiteButton"));
    m_webSiteButton->setAutoRaise(true);
    m_webSiteButton->setFixedSize(SplashLayout::WebSiteSize);
    m_webSiteButton->setCursor(Qt::PointingHandCursor);
    m_webSiteButton->setToolTip(ProgramInfo::webSite());
    m_webSiteButton->setAccessibleName(QCoreApplication::translate("SplashWindow", "Web site"));
    m_webSiteButton->setFocusPolicy(Qt::NoFocus);
    connect(m_webSiteButton, &QToolButton::clicked, this,
            [] { Shell::openLink(QUrl(ProgramInfo::webSite())); });
    // Without a web site there is nowhere to go; the picture keeps its
    // place for the texts below it.
    QSizePolicy keepPlace = m_webSiteButton->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_webSiteButton->setSizePolicy(keepPlace);
    m_webSiteButton->setVisible(!ProgramInfo::webSite().isEmpty());

    // The window system's title-bar button size stands for the caption
    // buttons the design was measured against.
    const int titleButton = style()->pixelMetric(QStyle::PM_TitleBarButtonSize, nullptr, this);
    m_closeButton = new QToolButton(this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setIcon(Icons::closeGlyph());
    m_closeButton->setToolTip(QCoreApplication::translate("SplashWindow", "Close this window"));
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setFixedSize(SplashLayout::closeButtonSize(QSize(titleButton, titleButton)));
    const int glyph = std::max(8, m_closeButton->height() - 4);
    m_closeButton->setIconSize(QSize(glyph, glyph));
    connect(m_closeButton, &QToolButton::clicked, this, &QDialog::reject);
}

// The picture fills the window behind the rest. Three columns: left of the
// credit line's band, the band, right of it. The web-site button, the
// credit line and the build label are centred in the band at the picture's
// places; the close button sits in the top right corner. A text wider
// than the band widens it over the picture; only a text wider or taller
// than the picture widens or lengthens the window. Nothing is cut.
void SplashWindow::buildLayout()
{
    using namespace SplashLayout;
    enum Row
    {
        TopGap,
        WebSite,
        CreditGap,
        Credit,
        BuildGap,
        Build,
        Rest,
        RowCount
    };
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(m_picture, 0, 0, RowCount, 3, Qt::AlignLeft | Qt::AlignTop);
    // The picture's width is shared out in the design's proportions, so
    // that the band stays centred where it was drawn also when a text
    // widens it.
    grid->setColumnMinimumWidth(1, CreditWidth);
    grid->setColumnStretch(0, CreditLeft);
    grid->setColumnStretch(2, Icons::SplashWidth - CreditLeft - CreditWidth);

    grid->setRowMinimumHeight(TopGap, WebSiteTop);
    grid->addWidget(m_webSiteButton, WebSite, 1, Qt::AlignHCenter | Qt::AlignTop);
    grid->setRowMinimumHeight(CreditGap, CreditTop - WebSiteTop - WebSiteSize.height());
    grid->addWidget(m_creditLabel, Credit, 1);
    grid->setRowMinimumHeight(
        BuildGap, std::max(0, BuildLabelTop - CreditTop - m_creditLabel->sizeHint().height()));
    grid->addWidget(m_buildLabel, Build, 1, Qt::AlignHCenter);
    grid->setRowStretch(Rest, 1);

    auto* corner = new QVBoxLayout;
    corner->setContentsMargins(0, CloseButtonInset, CloseButtonInset, 0);
    corner->addWidget(m_closeButton, 0, Qt::AlignRight | Qt::AlignTop);
    corner->addStretch(1);
    grid->addLayout(corner, TopGap, 2, Credit, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->activate();
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
