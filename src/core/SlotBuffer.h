#pragma once

#include <QFont>
#include <QString>

// One slot's text as the capture and the slot file see it. The slot editor
// implements it; the capture reaches the editor only through this.
//
// Positions and lengths count characters, each line break as one.
class SlotBuffer
{
public:
    // The most characters a buffer holds.
    static constexpr int MaxCharacters = 16'777'215;

    virtual ~SlotBuffer() = default;

    // Replaces the whole text (CR LF, lone CR and lone LF are line breaks)
    // and discards the undo history.
    virtual void setText(const QString& text) = 0;
    // Empties the buffer and discards the undo history.
    virtual void clearText() = 0;
    // Number of characters. O(1).
    virtual int length() const = 0;
    // The whole text with '\n' line breaks.
    virtual QString textLf() const = 0;
    // The text from position to the end, every line break as CR LF.
    virtual QString textFrom(int position) const = 0;
    // Adds s as a new last line; the caret ends at the end of the text.
    virtual void appendLine(const QString& s) = 0;
    // Inserts text at the caret, replacing the selection and cut to the
    // capacity. Not recorded for undo: the capture, its caller, discards the
    // history right after, and a large text would cost a step per line.
    virtual void insertText(const QString& text) = 0;
    // Adds one line break at the end and discards the undo history.
    virtual void appendLineBreakAndResetUndo() = 0;
    // Remembers the current text as the one last written out.
    virtual void markUnchanged() = 0;
    virtual int markedLength() const = 0;
    // How much of the beginning of the text is certainly unchanged since
    // markUnchanged(); equal to markedLength() when text was only added at
    // the end.
    virtual int unchangedPrefixLength() const = 0;
    // The font a rich-text slot file records.
    virtual QFont textFont() const = 0;
};
