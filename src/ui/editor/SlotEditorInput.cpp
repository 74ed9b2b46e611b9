// Keyboard, input method, clipboard and drop input of the slot editor:
// everything that reaches the text is cut off at the capacity, undo goes
// through the limited history and redo is not offered.
#include "ui/editor/SlotEditor.h"

#include "ui/editor/SlotSelectionBar.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>

namespace {

bool insertsLineBreak(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

bool insertsText(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    return text.at(0).isPrint() || text.at(0) == QLatin1Char('\t');
}

} // namespace

void SlotEditor::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Undo)) {
        undoLast();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Redo)) {
        event->accept();
        return;
    }
    if (insertsLineBreak(event)) {
        if (roomReplacingSelection() < 1) {
            event->accept();
            return;
        }
        if (event->modifiers() & Qt::ShiftModifier) {
            // Shift+Enter would insert a line separator inside the
            // paragraph, which is not a line break of the slot's text.
            QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                            event->text(), event->isAutoRepeat(), ushort(event->count()));
            QPlainTextEdit::keyPressEvent(&plain);
            event->setAccepted(plain.isAccepted());
            return;
        }
    } else if (insertsText(event) && roomReplacingSelection() < event->text().size()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void SlotEditor::inputMethodEvent(QInputMethodEvent* event)
{
    const int room = roomReplacingSelection();
    if (event->commitString().size() <= room) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(event->commitString().left(std::max(0, room)), event->replacementStart(),
                        event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&cut);
    event->setAccepted(cut.isAccepted());
}

void SlotEditor::insertFromMimeData(const QMimeData* source)
{
    // Plain text only: no formatting and no embedded objects.
    if (source == nullptr || !source->hasText())
        return;
    insertAtCaret(source->text());
}

QMimeData* SlotEditor::createMimeDataFromSelection() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

void SlotEditor::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu(event->pos());
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (action->objectName() == QLatin1String("edit-redo")) {
            menu->removeAction(action);
        } else if (action->objectName() == QLatin1String("edit-undo")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            action->setEnabled(m_text->canUndo());
            connect(action, &QAction::triggered, this, &SlotEditor::undoLast);
        }
    }
    menu->exec(event->globalPos());
    delete menu;
}

void SlotEditor::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    placeSelectionBar();
}

void SlotEditor::showEvent(QShowEvent* event)
{
    QPlainTextEdit::showEvent(event);
    if (!std::exchange(m_followCaretWhenShown, false))
        return;
    QMetaObject::invokeMethod(
        this, [this] { ensureCursorVisible(); }, Qt::QueuedConnection);
}

void SlotEditor::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_adjustingPalette)
        hideInactiveSelection();
}

void SlotEditor::hideInactiveSelection()
{
    // Without the focus the selection is drawn in the Inactive colours;
    // making them the plain text colours hides it.
    QPalette p = palette();
    const QColor base = p.color(QPalette::Inactive, QPalette::Base);
    const QColor text = p.color(QPalette::Inactive, QPalette::Text);
    if (p.color(QPalette::Inactive, QPalette::Highlight) == base &&
        p.color(QPalette::Inactive, QPalette::HighlightedText) == text)
        return;
    p.setColor(QPalette::Inactive, QPalette::Highlight, base);
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
    m_adjustingPalette = true;
    setPalette(p);
    m_adjustingPalette = false;
}

void SlotEditor::placeSelectionBar()
{
    const QRect area = contentsRect();
    m_selectionBar->setGeometry(area.left(), area.top(), m_selectionBar->barWidth(), area.height());
}
