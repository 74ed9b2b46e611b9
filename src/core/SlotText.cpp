#include "core/SlotText.h"

#include <QAbstractTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// The layout of a text no editor shows: it lays nothing out. (A document
// without a layout makes a full one on first use, and tells no one of its
// changes, contentsChange included.)
class TextOnlyLayout final : public QAbstractTextDocumentLayout
{
public:
    using QAbstractTextDocumentLayout::QAbstractTextDocumentLayout;
    void draw(QPainter*, const PaintContext&) override {}
    int hitTest(const QPointF&, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame*) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock&) const override { return {}; }

protected:
    void documentChanged(int, int, int) override {}
};

// A cursor at the end of the text. Moving a cursor lays out the line it
// lands on (when an editor shows the text), except inside an edit block; the
// appends need no screen place, and the last line may be long.
QTextCursor cursorAtEnd(QTextDocument* document)
{
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    cursor.endEditBlock();
    return cursor;
}

} // namespace

SlotText::SlotText(QObject* parent) : QObject(parent), m_document(new QTextDocument(this))
{
    useOwnLayout();
    m_document->setUndoRedoEnabled(true);
    // QTextDocument keeps every step; only the latest UndoSteps of them may
    // be undone. A new step after undoing drops the redo steps, so counting
    // new steps up and undone steps down gives the reachable depth.
    connect(m_document, &QTextDocument::undoCommandAdded, this,
            [this] { m_undoDepth = std::min(m_undoDepth + 1, UndoSteps); });
    connect(m_document, &QTextDocument::undoAvailable, this, [this](bool available) {
        if (!available)
            m_undoDepth = 0;
    });
    connect(m_document, &QTextDocument::contentsChange, this, [this](int position, int, int) {
        m_lowestChangeSinceMark = std::min(m_lowestChangeSinceMark, position);
    });
}

SlotText::~SlotText() = default;

void SlotText::useOwnLayout()
{
    m_document->setDocumentLayout(new TextOnlyLayout(m_document));
}

int SlotText::length() const
{
    return m_document->characterCount() - 1;
}

QString SlotText::documentText() const
{
    QString raw = m_document->toRawText();
    raw.truncate(length());
    return raw;
}

QString SlotText::text() const
{
    return withCrLf(documentText());
}

QString SlotText::textLf() const
{
    QString text = documentText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

QString SlotText::textLfFrom(qsizetype position) const
{
    const int size = length();
    position = std::clamp<qsizetype>(position, 0, size);
    if (position == size)
        return QString();
    // When the end is most of the text (a large capture), the whole text is
    // taken and cut: several times faster than a selection of the end.
    if (position == 0 || size - position > size / 2) {
        QString text = textLf();
        text.remove(0, position);
        return text;
    }
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    cursor.setPosition(int(position));
    cursor.setPosition(size, QTextCursor::KeepAnchor);
    cursor.endEditBlock();
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

QFont SlotText::font() const
{
    return m_document->defaultFont();
}

void SlotText::setText(const QString& text)
{
    QString plain = lfBreaks(text);
    if (plain.size() > MaxCharacters)
        plain.truncate(MaxCharacters);
    m_document->setPlainText(plain); // discards the undo history
    m_document->setModified(false);
    m_undoDepth = 0;
    Q_EMIT replaced();
}

void SlotText::appendAtEnd(const QString& text)
{
    const QString added = text.left(std::max(0, MaxCharacters - length()));
    QTextCursor cursor = cursorAtEnd(m_document);
    // Edits made while undo is off are not recorded; switching it off
    // clears the history that exists, which QTextDocument offers no way
    // around.
    m_document->setUndoRedoEnabled(false);
    cursor.insertText(added);
    m_document->setUndoRedoEnabled(true);
    m_document->setModified(false);
    m_undoDepth = 0;
    Q_EMIT appended();
}

bool SlotText::keepsAsGiven(QStringView s)
{
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1)
            return false;
    }
    return true;
}

bool SlotText::isModified() const
{
    return m_document->isModified();
}

void SlotText::markUnchanged()
{
    m_markedLength = length();
    m_lowestChangeSinceMark = INT_MAX;
}

int SlotText::unchangedPrefixLength() const
{
    return std::min({m_lowestChangeSinceMark, m_markedLength, length()});
}

bool SlotText::hasUnsavedText() const
{
    return length() != m_markedLength || unchangedPrefixLength() != m_markedLength;
}

bool SlotText::canUndo() const
{
    return m_undoDepth > 0 && m_document->isUndoAvailable();
}

bool SlotText::takeUndoStep()
{
    if (!canUndo())
        return false;
    --m_undoDepth;
    return true;
}

QString SlotText::lfBreaks(QString text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString SlotText::withCrLf(const QString& documentText)
{
    const qsizetype breaks = documentText.count(QChar::ParagraphSeparator);
    if (breaks == 0)
        return documentText;
    QString out(documentText.size() + breaks, Qt::Uninitialized);
    QChar* o = out.data();
    for (const QChar c : documentText) {
        if (c == QChar::ParagraphSeparator) {
            *o++ = QLatin1Char('\r');
            *o++ = QLatin1Char('\n');
        } else {
            *o++ = c;
        }
    }
    return out;
}
