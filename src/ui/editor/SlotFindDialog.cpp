#include "ui/editor/SlotFindDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

SlotFindDialog::SlotFindDialog(QWidget* parent)
    : QDialog(parent), m_findField(new QLineEdit(this)),
      m_wholeWord(new QCheckBox(tr("Match &whole word only"), this)),
      m_matchCase(new QCheckBox(tr("Match &case"), this)), m_up(new QRadioButton(tr("&Up"))),
      m_down(new QRadioButton(tr("&Down"))), m_findNext(new QPushButton(tr("&Find Next"), this))
{
    setWindowTitle(tr("Find"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_findField->setMaxLength(MaxFindText);
    auto* label = new QLabel(tr("Fi&nd what:"), this);
    label->setBuddy(m_findField);

    auto* direction = new QGroupBox(tr("Direction"), this);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);
    m_down->setChecked(true);

    m_cancel = new QPushButton(tr("Cancel"), this);
    QPushButton* cancel = m_cancel;
    m_findNext->setDefault(true);
    m_findNext->setEnabled(false);

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(label);
    findRow->addWidget(m_findField, 1);

    auto* options = new QVBoxLayout;
    options->addWidget(m_wholeWord);
    options->addWidget(m_matchCase);
    auto* lower = new QHBoxLayout;
    lower->addLayout(options);
    lower->addWidget(direction);

    auto* left = new QVBoxLayout;
    left->addLayout(findRow);
    left->addLayout(lower);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    // The direction buttons exclude each other and make one Tab stop: the
    // first of them in the focus chain. That is the chosen one, as arrows
    // move between them, so that Tab reaches "Down" while it is chosen.
    setTabOrder(m_findField, m_wholeWord);
    setTabOrder(m_wholeWord, m_matchCase);
    orderDirectionButtons();
    connect(m_down, &QRadioButton::toggled, this, &SlotFindDialog::orderDirectionButtons);

    connect(m_findField, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_findNext->setEnabled(!text.isEmpty()); });
    connect(m_findNext, &QPushButton::clicked, this, &SlotFindDialog::findNextRequested);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SlotFindDialog::orderDirectionButtons()
{
    QRadioButton* chosen = m_down->isChecked() ? m_down : m_up;
    QRadioButton* other = chosen == m_down ? m_up : m_down;
    setTabOrder(m_matchCase, chosen);
    setTabOrder(chosen, other);
    setTabOrder(other, m_findNext);
    setTabOrder(m_findNext, m_cancel);
}

QString SlotFindDialog::findText() const
{
    return m_findField->text();
}

void SlotFindDialog::setFindText(const QString& text)
{
    m_findField->setText(text.left(MaxFindText));
    m_findField->selectAll();
}

bool SlotFindDialog::matchCase() const
{
    return m_matchCase->isChecked();
}

void SlotFindDialog::setMatchCase(bool on)
{
    m_matchCase->setChecked(on);
}

bool SlotFindDialog::wholeWord() const
{
    return m_wholeWord->isChecked();
}

bool SlotFindDialog::searchDown() const
{
    return m_down->isChecked();
}

void SlotFindDialog::setSearchDown(bool down)
{
    (down ? m_down : m_up)->setChecked(true);
}

void SlotFindDialog::hideEvent(QHideEvent* event)
{
    m_lastPosition = pos();
    QDialog::hideEvent(event);
}
