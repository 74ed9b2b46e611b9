#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <array>

// Where a window goes that was stored somewhere the screens may no longer
// be: its frame limited to what the screens can show. Frames here are
// outer frames (title bar and borders included); areas are the screens'
// available areas. The stored numbers may be anything a settings file can
// hold: every computation on them is done in 64 bits.
namespace WindowFit {

// The bounding size of all areas; empty when there are none.
QSize extent(const QList<QRect>& areas);

// The frame a stored left, top, right and bottom ask for (right = left +
// width, bottom = top + height), its width and height limited to between
// minimum and limit. A limit smaller than minimum gives way to minimum.
QRect storedFrame(const std::array<int, 4>& edges, QSize minimum, QSize limit);

// frame moved, and shrunk where it is larger (only when resizable), so
// that all of it lies on the area it overlaps most, or on the nearest area
// when it overlaps none. A frame already lying wholly within the areas
// (one screen, or spanning several) stays as it is. A fixed frame larger
// than the area keeps its top left corner on it.
QRect ontoScreens(const QRect& frame, const QList<QRect>& areas, bool resizable);

} // namespace WindowFit
