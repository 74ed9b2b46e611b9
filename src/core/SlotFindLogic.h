#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

// The widget-free parts of finding text in a slot editor: the search
// itself and where the find dialog goes.
namespace SlotFindLogic {

struct Options
{
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
};

// Searches text (as the editor holds it) for pattern around the selection
// [selectionStart, selectionEnd). Down: the first match starting at or after
// selectionEnd. Up: the last match ending at or before selectionStart. No
// wrap-around. Whole words: the characters on either side of the match are
// not letters, digits or '_'. Returns the match's start or -1; an empty
// pattern never matches.
qsizetype findMatch(const QString& text, const QString& pattern, qsizetype selectionStart,
                    qsizetype selectionEnd, const Options& options);

// Where the dialog opens the first time: centred horizontally on screen,
// its top at a third of the height the screen has left beside the dialog.
QPoint initialDialogPosition(const QRect& screen, const QSize& dialog);

// After a match found from the dialog: matchStart is the screen position of
// the top-left corner of the match's first character, afterMatch that of
// the character just after the match. Returns the dialog's new top edge
// when it has to move off the match, nothing when it stays.
std::optional<int> dialogTopAfterMatch(const QRect& dialogFrame, const QPoint& matchStart,
                                       const QPoint& afterMatch, const QRect& screen);

} // namespace SlotFindLogic
