#include "ui/editor/SlotEditor.h"

#include "core/slotfile/SlotFile.h"
#include "ui/editor/SlotEditorText.h"
#include "ui/editor/SlotFindDialog.h"
#include "ui/editor/SlotSelectionBar.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

SlotEditor::SlotEditor(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    hideInactiveSelection();

    m_selectionBar = new SlotSelectionBar(this);
    setViewportMargins(m_selectionBar->barWidth(), 0, 0, 0);
    placeSelectionBar();

    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(true);
    // QTextDocument keeps every step; only the latest UndoSteps of them may
    // be undone. A new step after undoing drops the redo steps, so counting
    // new steps up and undone steps down gives the reachable depth.
    connect(doc, &QTextDocument::undoCommandAdded, this,
            [this] { m_undoDepth = std::min(m_undoDepth + 1, UndoSteps); });
    connect(doc, &QTextDocument::undoAvailable, this, [this](bool available) {
        if (!available)
            m_undoDepth = 0;
    });
    connect(doc, &QTextDocument::contentsChange, this, [this](int position, int, int) {
        m_lowestChangeSinceMark = std::min(m_lowestChangeSinceMark, position);
    });
    connect(this, &QPlainTextEdit::textChanged, this, &SlotEditor::contentChanged);
}

SlotEditor::~SlotEditor() = default;

int SlotEditor::length() const
{
    return document()->characterCount() - 1;
}

QString SlotEditor::documentText() const
{
    QString raw = document()->toRawText();
    raw.truncate(length());
    return raw;
}

QString SlotEditor::text() const
{
    return SlotEditorText::withCrLf(documentText());
}

QString SlotEditor::textLf() const
{
    QString text = documentText();
    SlotEditorText::toLf(text);
    return text;
}

QString SlotEditor::textFrom(int position) const
{
    const int size = length();
    position = std::clamp(position, 0, size);
    if (position == size)
        return {};
    QTextCursor cursor(document());
    cursor.setPosition(position);
    cursor.setPosition(size, QTextCursor::KeepAnchor);
    return SlotEditorText::withCrLf(cursor.selectedText());
}

void SlotEditor::setText(const QString& text)
{
    loadPlain(SlotEditorText::normalizeBreaks(text));
}

void SlotEditor::loadPlain(QString text)
{
    if (text.size() > MaxCharacters)
        text.truncate(MaxCharacters);
    setPlainText(text); // discards the undo history
    QTextCursor start(document());
    setTextCursor(start);
    verticalScrollBar()->setValue(0);
    document()->setModified(false);
    m_undoDepth = 0;
}

void SlotEditor::appendLine(const QString& s)
{
    QString added = SlotEditorText::normalizeBreaks(s);
    const int size = length();
    if (size == 0 || document()->characterAt(size - 1) == QChar::ParagraphSeparator)
        added.append(QLatin1Char('\n'));
    else
        added.prepend(QLatin1Char('\n'));
    added.truncate(std::max(0, MaxCharacters - size));

    QTextDocument* doc = document();
    const bool wasModified = doc->isModified();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    // Edits made while undo is off are not recorded; switching it off
    // clears the history that exists, which QTextDocument offers no way
    // around.
    doc->setUndoRedoEnabled(false);
    cursor.insertText(added);
    doc->setUndoRedoEnabled(true);
    doc->setModified(wasModified);
    m_undoDepth = 0;
    setTextCursor(cursor);
}

void SlotEditor::appendLineBreakAndResetUndo()
{
    QTextDocument* doc = document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    doc->setUndoRedoEnabled(false);
    if (length() < MaxCharacters)
        cursor.insertText(QStringLiteral("\n"));
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    m_undoDepth = 0;
    setTextCursor(cursor);
}

void SlotEditor::markUnchanged()
{
    m_markedLength = length();
    m_lowestChangeSinceMark = INT_MAX;
}

int SlotEditor::unchangedPrefixLength() const
{
    return std::min({m_lowestChangeSinceMark, m_markedLength, length()});
}

int SlotEditor::roomReplacingSelection() const
{
    const QTextCursor cursor = textCursor();
    return MaxCharacters - length() + (cursor.selectionEnd() - cursor.selectionStart());
}

void SlotEditor::insertAtCaret(const QString& text)
{
    QString inserted = SlotEditorText::normalizeBreaks(text);
    inserted.truncate(std::max(0, roomReplacingSelection()));
    if (inserted.isEmpty())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(inserted);
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void SlotEditor::pasteClipboard()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    insertAtCaret(text);
}

void SlotEditor::insertText(const QString& text)
{
    if (text.isEmpty())
        return;
    // Nothing is recorded: switching undo off clears the history, which the
    // capture discards right after anyway.
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false);
    insertAtCaret(text);
    doc->setUndoRedoEnabled(true);
    m_undoDepth = 0;
}

void SlotEditor::cutSelection()
{
    cut();
}

void SlotEditor::copySelection()
{
    copy();
}

void SlotEditor::selectAllText()
{
    selectAll();
}

void SlotEditor::undoLast()
{
    if (m_undoDepth <= 0 || !document()->isUndoAvailable())
        return;
    --m_undoDepth;
    undo();
}

bool SlotEditor::isModified() const
{
    return document()->isModified();
}

void SlotEditor::clearText()
{
    clear();
    document()->setModified(false);
    m_undoDepth = 0;
}

QString SlotEditor::selectedText() const
{
    return SlotEditorText::withCrLf(textCursor().selectedText());
}

void SlotEditor::writeToFile(const QString& fileName)
{
    SlotFile::writeText(fileName, textLf(), font());
}

void SlotEditor::readFromFile(const QString& fileName)
{
    // readText raises before anything here changes.
    loadPlain(SlotFile::readText(fileName));
}
