#include "ui/editor/SlotEditor.h"

#include "ui/editor/SlotFindDialog.h"
#include "ui/editor/SlotSelectionBar.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextDocumentLayout>
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

    connect(this, &QPlainTextEdit::textChanged, this, &SlotEditor::contentChanged);
    m_ownText = std::make_unique<SlotText>();
    showText(nullptr);
}

SlotEditor::~SlotEditor()
{
    // The text may outlive the editor: it gets its own layout back. Nobody
    // is told: the editor's users may be going too.
    const QSignalBlocker quiet(this);
    showText(nullptr);
}

void SlotEditor::showText(SlotText* text)
{
    if (text == nullptr)
        text = m_ownText.get();
    if (text == m_text)
        return;
    SlotText* const previous = m_text;
    for (const QMetaObject::Connection& connection : m_textConnections)
        disconnect(connection);
    m_textConnections.clear();

    m_text = text;
    QTextDocument* doc = text->document();
    if (qobject_cast<QPlainTextDocumentLayout*>(doc->documentLayout()) == nullptr)
        doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    setDocument(doc);
    if (previous != nullptr && previous != m_ownText.get())
        previous->useOwnLayout();
    // The editor's font is the text's (a rich-text slot file records it).
    doc->setDefaultFont(font());

    // Emitted before the document lays out the changed lines, so the wrap
    // mode is switched before a long run is laid out the slow way.
    m_textConnections.push_back(
        connect(doc, &QTextDocument::contentsChange, this, [this](int position, int, int added) {
            wrapAnywhereForLongRuns(position, added);
        }));
    m_textConnections.push_back(
        connect(text, &SlotText::replaced, this, &SlotEditor::showReplacedText));
    m_textConnections.push_back(connect(text, &SlotText::appended, this, [this] {
        QTextCursor end(document());
        end.beginEditBlock();
        end.movePosition(QTextCursor::End);
        end.endEditBlock();
        placeCaret(end);
    }));
    if (text != m_ownText.get()) {
        m_textConnections.push_back(connect(text, &QObject::destroyed, this, [this] {
            m_text = nullptr; // gone: nothing of it is to be touched
            showText(nullptr);
        }));
    }
    // Wrapped at word boundaries unless this text holds a long run.
    m_wrapsAnywhere = true;
    rewrapWholeText();
    Q_EMIT contentChanged();
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

void SlotEditor::showReplacedText()
{
    rewrapWholeText();
    setTextCursor(QTextCursor(document()));
    verticalScrollBar()->setValue(0);
}

int SlotEditor::roomReplacingSelection() const
{
    const QTextCursor cursor = textCursor();
    return MaxCharacters - length() + (cursor.selectionEnd() - cursor.selectionStart());
}

void SlotEditor::insertAtCaret(const QString& text)
{
    QString inserted = SlotText::lfBreaks(text);
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
    if (m_text->takeUndoStep())
        undo();
}

QString SlotEditor::selectedText() const
{
    return SlotText::withCrLf(textCursor().selectedText());
}
