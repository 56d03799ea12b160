#include "ui/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

namespace r512 {

namespace {

std::int64_t Overlap(const Rect& a, const Rect& b) {
    const std::int64_t w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const std::int64_t h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// The square of the gap between two rectangles (0 when they touch or overlap).
std::int64_t GapSquared(const Rect& a, const Rect& b) {
    const std::int64_t dx = std::max({0, b.left - a.right, a.left - b.right});
    const std::int64_t dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

}  // namespace

std::size_t NearestArea(const Rect& window, const std::vector<Rect>& areas) {
    std::size_t best = 0;
    std::int64_t bestOverlap = 0;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const std::int64_t overlap = Overlap(window, areas[i]);
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = i;
        }
    }
    if (bestOverlap > 0) return best;
    for (std::size_t i = 1; i < areas.size(); ++i) {
        if (GapSquared(window, areas[i]) < GapSquared(window, areas[best])) best = i;
    }
    return best;
}

WindowPosition PlaceWindowOnMonitors(bool configured, int storedX, int storedY, int width,
                                     int height, const std::vector<Rect>& workAreas,
                                     int fifteenths) {
    const std::vector<Rect> areas =
        workAreas.empty() ? std::vector<Rect>{Rect{0, 0, width, height}} : workAreas;
    const Rect& area =
        configured
            ? areas[NearestArea(Rect{storedX, storedY, storedX + width, storedY + height}, areas)]
            : areas.front();
    const int maxX = area.right - area.left - width;
    const int maxY = area.bottom - area.top - height;
    if (!configured) {
        // Integer division truncating toward zero, the division before the multiplication.
        return {area.left + maxX / 2, area.top + (maxY / 15) * fifteenths};
    }
    return {area.left + std::max(std::min(storedX - area.left, maxX), 0),
            area.top + std::max(std::min(storedY - area.top, maxY), 0)};
}

WindowPosition PlaceWindow(bool configured, int storedX, int storedY, int width, int height,
                           int desktopWidth, int desktopHeight, int fifteenths) {
    return PlaceWindowOnMonitors(configured, storedX, storedY, width, height,
                                 {Rect{0, 0, desktopWidth, desktopHeight}}, fifteenths);
}

}  // namespace r512
