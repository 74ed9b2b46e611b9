#include "ui/AgreementDialog.h"

#include "core/FirstRun.h"
#include "core/ProgramInfo.h"
#include "settings/Settings.h"
#include "ui/Icons.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// The sizes the dialog was designed with: the least it takes; where the
// desktop's font needs more room, the layout grows it.
constexpr QSize TextMinimumSize(320, 280);
constexpr QSize ButtonMinimumSize(120, 25);
constexpr QMargins DialogMargins(16, 16, 17, 15);
// The buttons stand 16 pixels in from the text's edges, at least 48 apart.
constexpr int ButtonIndent = 16;
constexpr int ButtonGap = 48;

} // namespace

AgreementDialog::AgreementDialog(Settings& settings, const QString& text, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("agreementDialog"));
    setWindowTitle(QCoreApplication::translate("AgreementDialog", "Clipstow License Agreement"));
    // A fixed dialog border with only the close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    m_textView = new QPlainTextEdit(this);
    m_textView->setObjectName(QStringLiteral("agreementText"));
    m_textView->setReadOnly(true);
    //: The agreement's text for screen readers
    m_textView->setAccessibleName(QCoreApplication::translate("AgreementDialog", "Terms"));
    m_textView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_textView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textView->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_textView->setTabChangesFocus(true);
    m_textView->setMinimumSize(TextMinimumSize);
    m_textView->setPlainText(text);

    m_agreeButton = new QPushButton(
        Icons::acceptGlyph(), QCoreApplication::translate("AgreementDialog", "I Accept"), this);
    m_agreeButton->setObjectName(QStringLiteral("acceptButton"));
    m_notAgreeButton =
        new QPushButton(Icons::cancelGlyph(),
                        QCoreApplication::translate("AgreementDialog", "I Do Not Accept"), this);
    m_notAgreeButton->setObjectName(QStringLiteral("declineButton"));
    // No default button: Enter answers only on a focused button (see
    // keyPressEvent), never from the text.
    for (QPushButton* button : {m_agreeButton, m_notAgreeButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setMinimumSize(ButtonMinimumSize);
    }
    connect(m_agreeButton, &QPushButton::clicked, this, &AgreementDialog::acceptClicked);
    connect(m_notAgreeButton, &QPushButton::clicked, this, &AgreementDialog::declineClicked);

    auto* buttons = new QHBoxLayout;
    buttons->addSpacing(ButtonIndent);
    buttons->addWidget(m_agreeButton);
    buttons->addSpacing(ButtonGap);
    buttons->addStretch(1);
    buttons->addWidget(m_notAgreeButton);
    buttons->addSpacing(ButtonIndent);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(DialogMargins);
    layout->setSpacing(ButtonIndent);
    layout->addWidget(m_textView);
    layout->addLayout(buttons);
    // A fixed dialog border: the size the contents need, no other.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ensurePolished();
    layout->activate();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
    m_textView->setFocus();
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
    // Enter presses the focused button, and does nothing elsewhere.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        for (QPushButton* button : {m_agreeButton, m_notAgreeButton})
            if (focusWidget() == button)
                button->click();
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
