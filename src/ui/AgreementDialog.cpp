#include "ui/AgreementDialog.h"

#include "core/FirstRun.h"
#include "core/ProgramInfo.h"
#include "settings/Settings.h"
#include "ui/Icons.h"

#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace {

constexpr QSize ClientSize(353, 352);
constexpr QRect MemoGeometry(16, 16, 320, 280);
constexpr QPoint AgreePosition(32, 312);
constexpr QPoint NotAgreePosition(200, 312);
constexpr QSize ButtonSize(120, 25);
// Margins of the design kept when the buttons grow.
constexpr int MinimumButtonGap = 16;
constexpr int RightMargin = 33;
constexpr int BottomMargin = 15;

// A button at least as large as the design asks, larger where the
// desktop's font needs more room for the caption and glyph.
QSize buttonSize(const QPushButton* button)
{
    return ButtonSize.expandedTo(button->sizeHint());
}

} // namespace

AgreementDialog::AgreementDialog(Settings& settings, const QString& text, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("LicenseForm"));
    setWindowTitle(QStringLiteral("Clipstow License Agreement"));
    // A fixed dialog border with only the close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setReadOnly(true);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_memo->setTabChangesFocus(true);
    m_memo->setPlainText(text);

    m_agreeButton = new QPushButton(Icons::acceptGlyph(), QStringLiteral("I Accept"), this);
    m_agreeButton->setObjectName(QStringLiteral("AgreeBtn"));
    m_notAgreeButton =
        new QPushButton(Icons::cancelGlyph(), QStringLiteral("I Do Not Accept"), this);
    m_notAgreeButton->setObjectName(QStringLiteral("NotAgreeBtn"));
    // Enter in the text must not answer for the user.
    for (QPushButton* button : {m_agreeButton, m_notAgreeButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(m_agreeButton, &QPushButton::clicked, this, &AgreementDialog::acceptClicked);
    connect(m_notAgreeButton, &QPushButton::clicked, this, &AgreementDialog::declineClicked);

    // The design's places, moved apart and the window grown where the
    // captions need wider buttons.
    const QSize agree = buttonSize(m_agreeButton);
    const QSize notAgree = buttonSize(m_notAgreeButton);
    const int height = std::max(agree.height(), notAgree.height());
    m_agreeButton->setGeometry(QRect(AgreePosition, QSize(agree.width(), height)));
    const int notAgreeLeft =
        std::max(NotAgreePosition.x(), AgreePosition.x() + agree.width() + MinimumButtonGap);
    m_notAgreeButton->setGeometry(notAgreeLeft, NotAgreePosition.y(), notAgree.width(), height);
    const int width = std::max(ClientSize.width(), notAgreeLeft + notAgree.width() + RightMargin);
    m_memo->setGeometry(MemoGeometry.adjusted(0, 0, width - ClientSize.width(), 0));
    setFixedSize(width,
                 std::max(ClientSize.height(), NotAgreePosition.y() + height + BottomMargin));

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
    m_memo->setFocus();
}

QString AgreementDialog::textForThisStart(const Settings& settings)
{
    FirstRun::AgreementFacts facts;
    for (int slot = 1; slot <= 3; ++slot)
        facts.slotFiles << QDir::toNativeSeparators(
            QDir::current().absoluteFilePath(settings.slotFileName(slot)));
    facts.licenseText = ProgramInfo::licenseText();
    return FirstRun::agreementText(facts);
}

AgreementDialog::Outcome AgreementDialog::run(Settings& settings, QWidget* parent)
{
    AgreementDialog dialog(settings, textForThisStart(settings), parent);
    dialog.exec();
    return dialog.outcome();
}

void AgreementDialog::keyPressEvent(QKeyEvent* event)
{
    // Esc answers as "I Do Not Accept" does; only the close box leaves the
    // setting as it was.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_notAgreeButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AgreementDialog::acceptClicked()
{
    m_settings.setAcceptedLicense(
        FirstRun::acceptanceText(QDateTime::currentDateTime(), RegionalSettings::system()));
    m_outcome = Outcome::Accepted;
    accept();
}

void AgreementDialog::declineClicked()
{
    m_settings.setAgreementDeclined();
    m_outcome = Outcome::Declined;
    reject();
}
