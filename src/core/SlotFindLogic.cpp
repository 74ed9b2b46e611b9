#include "core/SlotFindLogic.h"

namespace SlotFindLogic {

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isWholeWord(const QString& text, qsizetype start, qsizetype length)
{
    if (start > 0 && isWordCharacter(text.at(start - 1)))
        return false;
    const qsizetype end = start + length;
    return end >= text.size() || !isWordCharacter(text.at(end));
}

} // namespace

qsizetype findMatch(const QString& text, const QString& pattern, qsizetype selectionStart,
                    qsizetype selectionEnd, const Options& options)
{
    const qsizetype length = pattern.size();
    if (length == 0 || length > text.size())
        return -1;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (options.down) {
        qsizetype from = std::max<qsizetype>(selectionEnd, 0);
        while (from + length <= text.size()) {
            const qsizetype at = text.indexOf(pattern, from, cs);
            if (at < 0)
                return -1;
            if (!options.wholeWord || isWholeWord(text, at, length))
                return at;
            from = at + 1;
        }
        return -1;
    }
    qsizetype from = std::min<qsizetype>(selectionStart, text.size()) - length;
    while (from >= 0) {
        const qsizetype at = text.lastIndexOf(pattern, from, cs);
        if (at < 0)
            return -1;
        if (!options.wholeWord || isWholeWord(text, at, length))
            return at;
        from = at - 1;
    }
    return -1;
}

QPoint initialDialogPosition(const QRect& screen, const QSize& dialog)
{
    return {screen.left() + (screen.width() - dialog.width()) / 2,
            screen.top() + (screen.height() - dialog.height()) / 3};
}

std::optional<int> dialogTopAfterMatch(const QRect& dialogFrame, const QPoint& matchStart,
                                       const QPoint& afterMatch, const QRect& screen)
{
    const QPoint below = afterMatch + QPoint(0, 20);
    if (!dialogFrame.contains(matchStart) && !dialogFrame.contains(below))
        return std::nullopt;
    const int height = dialogFrame.height();
    // Vertical positions relative to the screen's top edge, so that a
    // screen below or above the primary one behaves like the primary one.
    const int y = matchStart.y() - screen.top();
    if (height + 20 < y)
        return screen.top() + y - 20 - height;
    if (height + y < screen.height())
        return screen.top() + y + 40;
    return std::nullopt;
}

} // namespace SlotFindLogic
