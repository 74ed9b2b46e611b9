#include "ui/SlotPage.h"

#include "ui/editor/SlotEditor.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

constexpr int FileNamePanelHeight = 20;

void setPanelLook(QFrame* panel, bool pressed)
{
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(pressed ? QFrame::Sunken : QFrame::Raised);
    panel->setLineWidth(1);
}

} // namespace

SlotPage::SlotPage(SlotNumber slot, SlotText& text, QWidget* parent) : QWidget(parent), m_slot(slot)
{
    const QString number = QString::number(slot.number());
    setObjectName(QStringLiteral("slotPage") + number);

    m_fileNamePanel = new QLabel(this);
    m_fileNamePanel->setObjectName(QStringLiteral("fileNamePanel") + number);
    m_fileNamePanel->setTextFormat(Qt::PlainText);
    m_fileNamePanel->setAlignment(Qt::AlignCenter);
    m_fileNamePanel->setToolTip(QCoreApplication::translate("SlotPage", "Click to change"));
    m_fileNamePanel->setFixedHeight(FileNamePanelHeight);
    setPanelLook(m_fileNamePanel, false);
    m_fileNamePanel->installEventFilter(this);

    m_fileEndNote = new QLabel(fileEndNote(), this);
    m_fileEndNote->setObjectName(QStringLiteral("fileEndNote") + number);
    m_fileEndNote->setTextFormat(Qt::PlainText);
    m_fileEndNote->setWordWrap(true);
    m_fileEndNote->setFrameShape(QFrame::StyledPanel);
    m_fileEndNote->setAutoFillBackground(true);
    m_fileEndNote->setBackgroundRole(QPalette::ToolTipBase);
    m_fileEndNote->setForegroundRole(QPalette::ToolTipText);
    m_fileEndNote->hide();

    m_editor = new SlotEditor(this);
    m_editor->showText(&text);
    m_editor->setObjectName(QStringLiteral("slotEditor") + number);
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_fileNamePanel);
    column->addWidget(m_fileEndNote);
    column->addWidget(m_editor, 1);
}

QString SlotPage::fileEndNote()
{
    return QCoreApplication::translate(
        "SlotPage",
        "This file is longer than the editor holds: only its end is shown, and it cannot be "
        "edited here. Captures are added to the file whole. Choose another file for the slot to "
        "edit again.");
}

void SlotPage::showFileEnd(bool fileEnd)
{
    m_editor->setReadOnly(fileEnd);
    // Read-only hides the caret: the end stays easy to find without it.
    m_editor->setTextInteractionFlags(fileEnd
                                          ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                          : Qt::TextEditorInteraction);
    m_fileEndNote->setVisible(fileEnd);
}

bool SlotPage::showsFileEnd() const
{
    return !m_fileEndNote->isHidden();
}

void SlotPage::showFileName(const QString& fileName)
{
    m_fileNamePanel->setText(fileName);
}

// The panel looks pressed while a button is down on it; a left click on it
// is a request for another file.
bool SlotPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_fileNamePanel)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        m_panelPressed = true;
        setPanelLook(m_fileNamePanel, true);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool click = m_panelPressed && mouse->button() == Qt::LeftButton &&
                           m_fileNamePanel->rect().contains(mouse->position().toPoint());
        m_panelPressed = false;
        setPanelLook(m_fileNamePanel, false);
        if (click)
            Q_EMIT fileNameClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
