#include "ui/editor/SlotEditor.h"

#include "core/slotfile/SlotFile.h"
#include "ui/editor/SlotEditorText.h"
#include "ui/editor/SlotFindDialog.h"
#include "ui/editor/SlotSelectionBar.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// Longest run of characters without a space or tab that the view still wraps
// at word boundaries. Laying out a line that holds a longer one scans from
// each screen line's start to the run's end, time that grows with the square
// of the run's length (a 300 KB copy without a break took 10 s, and again at
// each resize); wrapping anywhere lays it out in linear time.
constexpr int UnbreakableRun = 1000;

// Insertions longer than this are laid out when shown, not in the edit.
constexpr int LongInsertion = 10'000;

bool hasUnbreakableRun(const QString& text)
{
    int run = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t'))
            run = 0;
        else if (++run > UnbreakableRun)
            return true;
    }
    return false;
}

// A cursor at the end of the text. Moving a cursor lays out the line it
// lands on, to know its place on the screen, except inside an edit block;
// the appends need no screen place, and the last line may be long.
QTextCursor cursorAtEnd(QTextDocument* doc)
{
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    cursor.endEditBlock();
    return cursor;
}

} // namespace

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
    // Emitted before the document lays out the changed lines, so the wrap
    // mode is switched before a long run is laid out the slow way.
    connect(doc, &QTextDocument::contentsChange, this, [this](int position, int, int added) {
        m_lowestChangeSinceMark = std::min(m_lowestChangeSinceMark, position);
        wrapAnywhereForLongRuns(position, added);
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

void SlotEditor::wrapAnywhereForLongRuns(int position, int length)
{
    if (m_wrapsAnywhere)
        return;
    QTextDocument* doc = document();
    const QTextBlock last = doc->findBlock(position + length);
    for (QTextBlock block = doc->findBlock(position); block.isValid(); block = block.next()) {
        if (block.length() > UnbreakableRun && hasUnbreakableRun(block.text())) {
            m_wrapsAnywhere = true;
            // The text keeps its lines whole: only where the view breaks
            // them on the screen changes.
            setWordWrapMode(QTextOption::WrapAnywhere);
            return;
        }
        if (block == last)
            break;
    }
}

void SlotEditor::rewrapWholeText()
{
    if (!m_wrapsAnywhere)
        return;
    // Word wrapping is restored only after the old text is gone: switching
    // the mode lays out again what the document holds.
    m_wrapsAnywhere = false;
    wrapAnywhereForLongRuns(0, length());
    if (!m_wrapsAnywhere)
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void SlotEditor::loadPlain(QString text)
{
    if (text.size() > MaxCharacters)
        text.truncate(MaxCharacters);
    setPlainText(text); // discards the undo history
    rewrapWholeText();
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
    QTextCursor cursor = cursorAtEnd(doc);
    // Edits made while undo is off are not recorded; switching it off
    // clears the history that exists, which QTextDocument offers no way
    // around.
    doc->setUndoRedoEnabled(false);
    cursor.insertText(added);
    doc->setUndoRedoEnabled(true);
    doc->setModified(wasModified);
    m_undoDepth = 0;
    placeCaret(cursor);
}

void SlotEditor::appendLineBreakAndResetUndo()
{
    QTextDocument* doc = document();
    QTextCursor cursor = cursorAtEnd(doc);
    doc->setUndoRedoEnabled(false);
    if (length() < MaxCharacters)
        cursor.insertText(QStringLiteral("\n"));
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    m_undoDepth = 0;
    placeCaret(cursor);
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
    // The document lays out a line changed on its own in the edit itself;
    // for a long line that costs as much as a whole capture should, and the
    // capture's next append discards that layout again.
    if (inserted.size() > LongInsertion && !inserted.contains(QLatin1Char('\n')))
        deferLayout(cursor.block());
    cursor.endEditBlock();
    placeCaret(cursor);
}

void SlotEditor::deferLayout(const QTextBlock& block)
{
    // An edit that spans two lines only marks them for layout.
    const QTextBlock neighbour = block.previous().isValid() ? block.previous() : block.next();
    if (!neighbour.isValid())
        return;
    QTextCursor touch(neighbour);
    touch.setBlockFormat(neighbour.blockFormat());
}

void SlotEditor::placeCaret(const QTextCursor& cursor)
{
    if (!isVisible())
        m_followCaretWhenShown = true;
    const QTextCursor caret = textCursor();
    if (caret.position() != cursor.position() || caret.anchor() != cursor.anchor()) {
        setTextCursor(cursor);
        return;
    }
    if (m_caretFollowPending)
        return;
    m_caretFollowPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_caretFollowPending = false;
            ensureCursorVisible();
        },
        Qt::QueuedConnection);
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
    rewrapWholeText();
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
