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
    connect(this, &QPlainTextEdit::textChanged, this, &SlotEditor::OnChange);
}

SlotEditor::~SlotEditor() = default;

int SlotEditor::Length() const
{
    return document()->characterCount() - 1;
}

QString SlotEditor::documentText() const
{
    QString raw = document()->toRawText();
    raw.truncate(Length());
    return raw;
}

QString SlotEditor::Text() const
{
    return SlotEditorText::withCrLf(documentText());
}

QString SlotEditor::TextLf() const
{
    QString text = documentText();
    SlotEditorText::toLf(text);
    return text;
}

QString SlotEditor::TextFrom(int position) const
{
    const int length = Length();
    position = std::clamp(position, 0, length);
    if (position == length)
        return {};
    QTextCursor cursor(document());
    cursor.setPosition(position);
    cursor.setPosition(length, QTextCursor::KeepAnchor);
    return SlotEditorText::withCrLf(cursor.selectedText());
}

void SlotEditor::SetText(const QString& text)
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

void SlotEditor::AppendLine(const QString& s)
{
    QString added = SlotEditorText::normalizeBreaks(s);
    const int length = Length();
    if (length == 0 || document()->characterAt(length - 1) == QChar::ParagraphSeparator)
        added.append(QLatin1Char('\n'));
    else
        added.prepend(QLatin1Char('\n'));
    added.truncate(std::max(0, MaxCharacters - length));

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

void SlotEditor::AppendLineBreakAndResetUndo()
{
    QTextDocument* doc = document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    doc->setUndoRedoEnabled(false);
    if (Length() < MaxCharacters)
        cursor.insertText(QStringLiteral("\n"));
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    m_undoDepth = 0;
    setTextCursor(cursor);
}

void SlotEditor::MarkUnchanged()
{
    m_markedLength = Length();
    m_lowestChangeSinceMark = INT_MAX;
}

int SlotEditor::UnchangedPrefixLength() const
{
    return std::min({m_lowestChangeSinceMark, m_markedLength, Length()});
}

int SlotEditor::roomReplacingSelection() const
{
    const QTextCursor cursor = textCursor();
    return MaxCharacters - Length() + (cursor.selectionEnd() - cursor.selectionStart());
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

void SlotEditor::PasteClipboard()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    insertAtCaret(text);
}

void SlotEditor::CutSelection()
{
    cut();
}

void SlotEditor::CopySelection()
{
    copy();
}

void SlotEditor::SelectAllText()
{
    selectAll();
}

void SlotEditor::UndoLast()
{
    if (m_undoDepth <= 0 || !document()->isUndoAvailable())
        return;
    --m_undoDepth;
    undo();
}

bool SlotEditor::IsModified() const
{
    return document()->isModified();
}

void SlotEditor::ClearText()
{
    clear();
    document()->setModified(false);
    m_undoDepth = 0;
}

QString SlotEditor::SelectedText() const
{
    return SlotEditorText::withCrLf(textCursor().selectedText());
}

void SlotEditor::WriteToFile(const QString& fileName)
{
    SlotFile::writeText(fileName, TextLf(), font());
}

void SlotEditor::ReadFromFile(const QString& fileName)
{
    // readText raises before anything here changes.
    loadPlain(SlotFile::readText(fileName));
}
