#pragma once

#include <QFont>
#include <QObject>
#include <QString>
#include <climits>
#include <memory>

class QTextDocument;

// One slot's text: what the capture appends to, what the slot file is
// written from and read into, and what the slot's editor shows (it shows
// document() and edits it in place). It keeps what the slot file needs to
// know besides the text: how much of its beginning is unchanged since the
// text was last marked as written out, and the modified flag.
//
// Positions and lengths count characters, each line break as one. The text
// never holds more than MaxCharacters of them. Text comes in with CR LF, lone
// CR or lone LF line breaks; textLf() gives '\n' ones, text() CR LF.
//
// Modified flag: edits in the editor set it; setText, clearText and
// appendAtEnd clear it.
class SlotText final : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxCharacters = 16'777'215;
    // Undo steps the editor offers.
    static constexpr int UndoSteps = 100;

    explicit SlotText(QObject* parent = nullptr);
    ~SlotText() override;

    // The document that holds the text. Without an editor it lays nothing
    // out; an editor gives it the layout it shows it with (and takes it back
    // when it stops showing it, useOwnLayout).
    QTextDocument* document() const { return m_document; }
    void useOwnLayout();

    // Number of characters. O(1).
    int length() const;
    // The whole text, every line break as CR LF.
    QString text() const;
    // The whole text with '\n' line breaks: one character per break, so
    // positions in it are the text's positions.
    QString textLf() const;
    // The text from position to its end, with '\n' line breaks; costs about
    // the length of the result.
    QString textLfFrom(qsizetype position) const;
    // The font a rich-text slot file records: the editor's.
    QFont font() const;

    // Replaces the whole text (cut to the capacity), discards the undo
    // history and clears the modified flag. Tells views: replaced().
    void setText(const QString& text);
    void clearText() { setText(QString()); }
    // Adds text ('\n' breaks) at the end, cut to the capacity; not recorded
    // for undo (the history is discarded) and the modified flag cleared.
    // Tells views: appended().
    void appendAtEnd(const QString& text);
    // Whether the text keeps s exactly as given (the document makes some
    // characters line breaks: CR, U+2029, U+FDD0, U+FDD1).
    static bool keepsAsGiven(QStringView s);

    bool isModified() const;

    // Line breaks between the outside (CR LF, lone CR, lone LF) and a
    // document, which holds one paragraph separator (U+2029) per break:
    // CR LF and lone CR become '\n'; each separator becomes CR LF.
    static QString lfBreaks(QString text);
    static QString withCrLf(const QString& documentText);

    // Remembers the current text as the one last written out. Afterwards
    // unchangedPrefixLength() tells how much of the beginning of the text is
    // certainly still the same; when it equals markedLength() the text was
    // only added to at its end, and textLfFrom(markedLength()) is what a
    // file holding the marked text lacks.
    void markUnchanged();
    int markedLength() const { return m_markedLength; }
    int unchangedPrefixLength() const;
    // Text typed or changed since the last markUnchanged().
    bool hasUnsavedText() const;

    // Undo as the editor offers it: at most UndoSteps steps. takeUndoStep()
    // counts one step as undone and tells whether there was one to undo.
    bool canUndo() const;
    bool takeUndoStep();

Q_SIGNALS:
    // The whole text was replaced: the caret goes to the start, the view to
    // the top.
    void replaced();
    // Text was added at the end: the caret goes to the end and the view
    // follows it.
    void appended();

private:
    // The text as the document holds it: one paragraph separator (U+2029)
    // per line break.
    QString documentText() const;

    QTextDocument* m_document = nullptr;
    int m_undoDepth = 0;
    int m_lowestChangeSinceMark = INT_MAX;
    int m_markedLength = 0;
};
