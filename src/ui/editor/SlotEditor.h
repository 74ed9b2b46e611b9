#pragma once

#include "core/SlotText.h"

#include <QPlainTextEdit>
#include <memory>
#include <vector>

class QPrinter;
class QTextBlock;
class SlotFindDialog;
class SlotSelectionBar;

// The multi-line plain-text editor of one slot. It shows and edits a
// SlotText, the slot's (showText), which holds the text, its modified flag
// and its undo steps; until it is given one it shows a text of its own.
//
// Positions and lengths count characters, each line break as one character.
// The text never holds more than SlotText::MaxCharacters of them: typing,
// pasting and dropping cut their input off there.
//
// Words wrap at the widget's width (anywhere, while the text holds a run of
// more than 1,000 characters without a space or tab: laying that out at word
// boundaries takes time growing with the square of its length; the text
// keeps its lines whole either way), the vertical scroll bar shows only while
// the text does not fit, there is no horizontal scroll bar, the selection is
// invisible while the editor lacks the focus, and a narrow strip at the left
// edge selects whole lines (a click selects a line with its line break, a
// drag extends the selection line by line). When the text is replaced the
// caret goes to its start; when text is added at its end (a capture) the
// caret goes to the end and the view follows it.
class SlotEditor final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit SlotEditor(QWidget* parent = nullptr);
    ~SlotEditor() override;

    // Shows and edits text from now on; nullptr: a text of the editor's own.
    // A text destroyed while shown is replaced by the editor's own.
    void showText(SlotText* text);
    SlotText& slotText() const { return *m_text; }

    // The text's (see SlotText).
    QString text() const { return m_text->text(); }
    QString textLf() const { return m_text->textLf(); }
    void setText(const QString& text) { m_text->setText(text); }
    int length() const { return m_text->length(); }
    bool isModified() const { return m_text->isModified(); }
    void clearText() { m_text->clearText(); }

    // Inserts the clipboard's plain text at the caret; undoable.
    void pasteClipboard();
    void cutSelection();
    void copySelection();
    void selectAllText();
    // Undoes the latest of at most SlotText::UndoSteps recorded steps; no
    // redo.
    void undoLast();
    // The selected text, every line break as CR LF.
    QString selectedText() const;
    void openFindDialog(const QString& initialText);
    bool repeatFind();
    // Prints to printer (as the print dialog set it up) under title.
    void printText(const QString& title, QPrinter& printer);

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
    static constexpr int MaxCharacters = SlotText::MaxCharacters;

    // Characters that may still be added when the selection is replaced.
    int roomReplacingSelection() const;
    // Inserts text ('\n' or CR LF line breaks) at the caret as one undo
    // step, replacing the selection and cut to the capacity.
    void insertAtCaret(const QString& text);
    // The text was replaced: caret at the start, view at the top.
    void showReplacedText();
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
    std::unique_ptr<SlotText> m_ownText;
    SlotText* m_text = nullptr;
    std::vector<QMetaObject::Connection> m_textConnections;
    bool m_hasLastSearch = false;
    bool m_findDialogPlaced = false;
    bool m_adjustingPalette = false;
    bool m_wrapsAnywhere = false;
    bool m_caretFollowPending = false;
    // The caret moved while the editor was hidden, where the view cannot
    // follow it: it does so when the editor is shown, laid out at its size.
    bool m_followCaretWhenShown = false;
};
