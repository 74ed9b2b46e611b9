#pragma once

#include "core/SlotBuffer.h"

#include <QPlainTextEdit>
#include <climits>

class QPrinter;
class QTextBlock;
class SlotFindDialog;
class SlotSelectionBar;

// The multi-line plain-text editor of one slot. Its text is the slot's
// buffer; its write and read operations fix the bytes of slot files.
//
// Positions and lengths count characters, each line break as one character.
// The text never holds more than MaxCharacters of them: typing, pasting,
// dropping, setText, readFromFile and appendLine cut their input off there.
//
// Words wrap at the widget's width (anywhere, while the text holds a run of
// more than 1,000 characters without a space or tab: laying that out at word
// boundaries takes time growing with the square of its length; the text
// keeps its lines whole either way), the vertical scroll bar shows only while
// the text does not fit, there is no horizontal scroll bar, the selection is
// invisible while the editor lacks the focus, and a narrow strip at the left
// edge selects whole lines (a click selects a line with its line break, a
// drag extends the selection line by line).
//
// Modified flag: user edits set it; clearText, setText, readFromFile and
// appendLineBreakAndResetUndo clear it; appendLine leaves it as it was.
class SlotEditor final : public QPlainTextEdit, public SlotBuffer
{
    Q_OBJECT

public:
    static constexpr int UndoSteps = 100;

    explicit SlotEditor(QWidget* parent = nullptr);
    ~SlotEditor() override;

    // The whole text, every line break as CR LF.
    QString text() const;
    // Replaces the whole text (CR LF, lone CR and lone LF are line breaks)
    // and discards the undo history.
    void setText(const QString& text) override;
    // Adds s as a new last line; not recorded for undo. QTextDocument cannot
    // leave an edit out of its history, so the history is discarded (the
    // capture, the only caller, discards it anyway when it ends the pasted
    // text with appendLineBreakAndResetUndo).
    // The caret ends at the end of the text and the view follows it.
    void appendLine(const QString& s) override;
    // Inserts the clipboard's plain text at the caret; undoable.
    void pasteClipboard();
    // Inserts text at the caret, replacing the selection and cut to the
    // capacity, and discards the undo history; an empty text does nothing.
    void insertText(const QString& text) override;
    void cutSelection();
    void copySelection();
    void selectAllText();
    // Undoes the latest of at most UndoSteps recorded steps; no redo.
    void undoLast();
    bool isModified() const;
    void clearText() override;
    // The selected text, every line break as CR LF.
    QString selectedText() const;
    // Raise AppError with the messages of the slot file layer.
    void writeToFile(const QString& fileName);
    void readFromFile(const QString& fileName);
    void openFindDialog(const QString& initialText);
    bool repeatFind();
    // Prints to printer (as the print dialog set it up) under title.
    void printText(const QString& title, QPrinter& printer);

    // --- For the capture: cheap operations on large texts ---------------

    // Number of characters, each line break counting one. O(1).
    int length() const override;
    // The whole text with '\n' line breaks: one character per break, so
    // positions in it are the editor's positions (SlotFileWriter::write).
    QString textLf() const override;
    // The text from position to the end, every line break as CR LF.
    // Costs O(length of the result).
    QString textFrom(int position) const override;
    // Same resulting text, history and modified flag as
    // setText(text() + "\r\n"), without copying the whole text: adds one
    // line break at the end (if there is room) and discards the undo
    // history. The caret goes to the end.
    void appendLineBreakAndResetUndo() override;
    // Remembers the current text as the one last written out. Afterwards
    // unchangedPrefixLength() tells how much of the beginning of the text is
    // certainly still the same; when it equals markedLength() the text was
    // only added to at its end, and textFrom(markedLength()) is what a file
    // holding the marked text lacks.
    void markUnchanged() override;
    int markedLength() const override { return m_markedLength; }
    int unchangedPrefixLength() const override;
    // The editor's font.
    QFont textFont() const override { return font(); }

    // The dialog of openFindDialog, or nullptr before its first use.
    SlotFindDialog* findDialog() const { return m_findDialog; }

Q_SIGNALS:
    // Raised after each change of the text.
    void contentChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The text as the document holds it: one paragraph separator (U+2029)
    // per line break.
    QString documentText() const;
    // Characters that may still be added when the selection is replaced.
    int roomReplacingSelection() const;
    // Inserts text ('\n' or CR LF line breaks) at the caret as one undo
    // step, replacing the selection and cut to the capacity.
    void insertAtCaret(const QString& text);
    // Loads text with '\n' line breaks, caret at start, history discarded.
    void loadPlain(QString text);
    // Switches the view to wrapping anywhere once the changed lines hold a
    // run of more than UnbreakableRun characters with no space or tab in it.
    void wrapAnywhereForLongRuns(int position, int length);
    // After the whole text was replaced: back to word boundaries unless the
    // new text holds such a run.
    void rewrapWholeText();
    // Makes cursor the caret. When the caret already is there (an edit at
    // the caret moves it along), the view follows it only once control is
    // back in the event loop: a capture's several appends then lay out a
    // long last line once, for the screen, instead of in every step.
    void placeCaret(const QTextCursor& cursor);
    // Within an edit that changed only block: records an unchanged format on
    // the line before or after it, so that the document lays block out when
    // it is next shown instead of at once (see insertAtCaret).
    static void deferLayout(const QTextBlock& block);
    void hideInactiveSelection();
    void placeSelectionBar();
    bool runFind(bool fromDialog);
    void moveFindDialogOffMatch(const QTextCursor& match);

    SlotSelectionBar* m_selectionBar = nullptr;
    SlotFindDialog* m_findDialog = nullptr;
    bool m_hasLastSearch = false;
    bool m_findDialogPlaced = false;
    int m_undoDepth = 0;
    int m_lowestChangeSinceMark = INT_MAX;
    int m_markedLength = 0;
    bool m_adjustingPalette = false;
    bool m_wrapsAnywhere = false;
    bool m_caretFollowPending = false;
    // The caret moved while the editor was hidden, where the view cannot
    // follow it: it does so when the editor is shown, laid out at its size.
    bool m_followCaretWhenShown = false;
};
