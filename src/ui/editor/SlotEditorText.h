#pragma once

#include <QString>

// Line-break conversions between the outside world (CR LF, lone CR, lone
// LF) and the editor's document, which holds one paragraph separator
// (U+2029) per line break and gives '\n' in its plain-text exports.
namespace SlotEditorText {

// CR LF and lone CR become '\n'.
QString normalizeBreaks(QString text);
// Each paragraph separator becomes CR LF.
QString withCrLf(const QString& documentText);
// Each paragraph separator becomes '\n', in place.
void toLf(QString& documentText);

} // namespace SlotEditorText
