#include "ui/editor/SlotSelectionBar.h"

#include "ui/editor/SlotEditor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>

SlotSelectionBar::SlotSelectionBar(SlotEditor* editor) : QWidget(editor), m_editor(editor)
{
    setCursor(Qt::ArrowCursor);
}

int SlotSelectionBar::barWidth() const
{
    return 8;
}

void SlotSelectionBar::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), m_editor->palette().brush(QPalette::Base));
}

int SlotSelectionBar::lineAt(int y) const
{
    // The strip and the viewport share their vertical origin.
    return m_editor->cursorForPosition(QPoint(0, y)).blockNumber();
}

void SlotSelectionBar::selectLines(int fromLine, int toLine)
{
    QTextDocument* doc = m_editor->document();
    const QTextBlock first = doc->findBlockByNumber(std::min(fromLine, toLine));
    const QTextBlock last = doc->findBlockByNumber(std::max(fromLine, toLine));
    if (!first.isValid() || !last.isValid())
        return;
    const int start = first.position();
    const int end =
        last.next().isValid() ? last.next().position() : last.position() + last.length() - 1;
    QTextCursor cursor(doc);
    if (toLine < fromLine) {
        cursor.setPosition(end);
        cursor.setPosition(start, QTextCursor::KeepAnchor);
    } else {
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
    }
    m_editor->setTextCursor(cursor);
}

void SlotSelectionBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_editor->setFocus(Qt::MouseFocusReason);
    const int line = lineAt(event->position().toPoint().y());
    if ((event->modifiers() & Qt::ShiftModifier) && m_anchorLine >= 0) {
        selectLines(m_anchorLine, line);
    } else {
        m_anchorLine = line;
        selectLines(line, line);
    }
    event->accept();
}

void SlotSelectionBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_anchorLine < 0) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    selectLines(m_anchorLine, lineAt(event->position().toPoint().y()));
    event->accept();
}

void SlotSelectionBar::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}
