// Finding text in a slot editor: its own modeless find dialog and the
// repeat of its last search.
#include "ui/editor/SlotEditor.h"

#include "core/SlotFindLogic.h"
#include "ui/editor/SlotFindDialog.h"

#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>

void SlotEditor::openFindDialog(const QString& initialText)
{
    if (m_findDialog == nullptr) {
        m_findDialog = new SlotFindDialog(this);
        connect(m_findDialog, &SlotFindDialog::findNextRequested, this, [this] { runFind(true); });
    }
    if (!initialText.isEmpty())
        m_findDialog->setFindText(initialText);
    if (m_findDialog->isVisible()) {
        m_findDialog->raise();
        m_findDialog->activateWindow();
        return;
    }
    if (!m_findDialogPlaced) {
        m_findDialog->adjustSize();
        const QScreen* screen = window()->screen();
        m_findDialog->move(
            SlotFindLogic::initialDialogPosition(screen->geometry(), m_findDialog->size()));
        m_findDialogPlaced = true;
    } else {
        m_findDialog->move(m_findDialog->lastPosition());
    }
    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
}

bool SlotEditor::repeatFind()
{
    if (!m_hasLastSearch || m_findDialog == nullptr || m_findDialog->findText().isEmpty())
        return false;
    return runFind(false);
}

bool SlotEditor::runFind(bool fromDialog)
{
    QString pattern = m_findDialog->findText();
    if (pattern.isEmpty())
        return false;
    m_hasLastSearch = true;

    // One '\n' per line break, as in the text.
    pattern = SlotText::lfBreaks(std::move(pattern));
    const QString text = m_text->textLf();
    const QTextCursor selection = textCursor();
    SlotFindLogic::Options options;
    options.down = m_findDialog->searchDown();
    options.matchCase = m_findDialog->matchCase();
    options.wholeWord = m_findDialog->wholeWord();
    const qsizetype at = SlotFindLogic::findMatch(text, pattern, selection.selectionStart(),
                                                  selection.selectionEnd(), options);
    if (at < 0)
        return false;

    QTextCursor match(document());
    match.setPosition(int(at));
    match.setPosition(int(at + pattern.size()), QTextCursor::KeepAnchor);
    setTextCursor(match);
    ensureCursorVisible();
    if (fromDialog)
        moveFindDialogOffMatch(match);
    return true;
}

void SlotEditor::moveFindDialogOffMatch(const QTextCursor& match)
{
    if (!m_findDialog->isVisible())
        return;
    QTextCursor start(document());
    start.setPosition(match.selectionStart());
    QTextCursor after(document());
    after.setPosition(match.selectionEnd());
    const QPoint matchStart = viewport()->mapToGlobal(cursorRect(start).topLeft());
    const QPoint afterMatch = viewport()->mapToGlobal(cursorRect(after).topLeft());
    const QRect frame = m_findDialog->frameGeometry();
    const QRect screen = m_findDialog->screen()->geometry();
    if (const auto top = SlotFindLogic::dialogTopAfterMatch(frame, matchStart, afterMatch, screen))
        m_findDialog->move(frame.left(), *top);
}
