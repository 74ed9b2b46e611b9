#include "core/WindowFit.h"

#include <QRegion>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace WindowFit {

namespace {

// Far beyond any screen, and small enough that a place plus a size of this
// order never overflows an int.
constexpr std::int64_t MaxCoordinate = std::int64_t(1) << 24;

int clamped(std::int64_t value, std::int64_t low, std::int64_t high)
{
    return int(std::clamp(value, low, std::max(low, high)));
}

// The distance between two rectangles, squared; 0 when they touch.
std::int64_t distanceSquared(const QRect& a, const QRect& b)
{
    auto gap = [](std::int64_t lowA, std::int64_t highA, std::int64_t lowB, std::int64_t highB) {
        return std::max<std::int64_t>({0, lowB - highA, lowA - highB});
    };
    const std::int64_t dx = gap(a.left(), a.right(), b.left(), b.right());
    const std::int64_t dy = gap(a.top(), a.bottom(), b.top(), b.bottom());
    return dx * dx + dy * dy;
}

std::int64_t overlap(const QRect& a, const QRect& b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : std::int64_t(both.width()) * both.height();
}

// One edge pair kept within [low, high]: the far edge first, so that where
// the frame is longer than the room its near edge (the title bar, the left
// border) stays reachable.
int placed(int position, int length, int low, int high)
{
    const std::int64_t far = std::int64_t(position) + length - 1;
    std::int64_t start = position;
    if (far > high)
        start -= far - high;
    return int(std::max<std::int64_t>(start, low));
}

} // namespace

QSize extent(const QList<QRect>& areas)
{
    QRect all;
    for (const QRect& area : areas)
        all = all.united(area);
    return all.size();
}

QRect storedFrame(const std::array<int, 4>& edges, QSize minimum, QSize limit)
{
    const std::int64_t left = edges[0];
    const std::int64_t top = edges[1];
    const std::int64_t width = std::int64_t(edges[2]) - left;
    const std::int64_t height = std::int64_t(edges[3]) - top;
    const std::int64_t maxWidth = limit.width() > 0 ? limit.width() : MaxCoordinate;
    const std::int64_t maxHeight = limit.height() > 0 ? limit.height() : MaxCoordinate;
    const int w = clamped(width, std::max(1, minimum.width()), std::min(maxWidth, MaxCoordinate));
    const int h =
        clamped(height, std::max(1, minimum.height()), std::min(maxHeight, MaxCoordinate));
    return QRect(clamped(left, -MaxCoordinate, MaxCoordinate),
                 clamped(top, -MaxCoordinate, MaxCoordinate), w, h);
}

QRect ontoScreens(const QRect& frame, const QList<QRect>& areas, bool resizable)
{
    if (areas.isEmpty() || frame.isEmpty())
        return frame;
    QRegion outside(frame);
    for (const QRect& area : areas)
        outside -= area;
    if (outside.isEmpty())
        return frame;

    const QRect* best = &areas.front();
    std::int64_t bestOverlap = -1;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (const QRect& area : areas) {
        const std::int64_t shared = overlap(frame, area);
        const std::int64_t distance = distanceSquared(frame, area);
        if (shared > bestOverlap || (shared == bestOverlap && distance < bestDistance)) {
            best = &area;
            bestOverlap = shared;
            bestDistance = distance;
        }
    }
    const QRect& area = *best;
    QSize size = frame.size();
    if (resizable)
        size = size.boundedTo(area.size());
    const int left = placed(frame.left(), size.width(), area.left(), area.right());
    const int top = placed(frame.top(), size.height(), area.top(), area.bottom());
    return QRect(QPoint(left, top), size);
}

} // namespace WindowFit
