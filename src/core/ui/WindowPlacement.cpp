#include "ui/WindowPlacement.h"

#include <algorithm>
#include <cstddef>
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

// Each window's keys (no "visible" for the remote window: it is always open) and how far down
// it opens on the first run, in fifteenths of the primary's free height.
struct PlacementKeys {
    const char *x, *y, *visible;
    int fifteenths;
};
constexpr PlacementKeys kKeys[] = {
    {settings::kMainX, settings::kMainY, nullptr, 1},
    {settings::kControlX, settings::kControlY, settings::kControlVisible, 13}};

const PlacementKeys& KeysOf(PlacedWindow which) { return kKeys[static_cast<int>(which)]; }

// The index in `areas` of the area that a window's rectangle belongs to: the one it overlaps
// most, or, overlapping none, the nearest; 0 for an empty list.
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

}  // namespace

StoredPlacement LoadPlacement(Profile& profile, PlacedWindow which) {
    using namespace settings;
    const PlacementKeys& keys = KeysOf(which);
    StoredPlacement stored{which, profile.GetProfileInt(kConfig, kConfigured, 0) == 0};
    if (!stored.firstRun)
        stored.corner = {profile.GetProfileInt(kPosition, keys.x, kNoPosition),
                         profile.GetProfileInt(kPosition, keys.y, kNoPosition)};
    stored.visible = !keys.visible || profile.GetProfileInt(kPosition, keys.visible, 0) != 0;
    return stored;
}

void SavePlacement(Profile& profile, PlacedWindow which, WindowPosition corner, bool visible) {
    using settings::kPosition;
    const PlacementKeys& keys = KeysOf(which);
    profile.WriteProfileInt(kPosition, keys.x, corner.x);
    profile.WriteProfileInt(kPosition, keys.y, corner.y);
    if (keys.visible) profile.WriteProfileInt(kPosition, keys.visible, visible ? 1 : 0);
}

WindowPosition PlaceOnMonitors(const StoredPlacement& stored, WindowSize size,
                               const std::vector<Rect>& workAreas) {
    const auto [x, y] = stored.corner;
    const auto [width, height] = size;
    const std::vector<Rect> areas =
        workAreas.empty() ? std::vector<Rect>{Rect{0, 0, width, height}} : workAreas;
    const Rect& area = stored.firstRun
                           ? areas.front()
                           : areas[NearestArea(Rect{x, y, x + width, y + height}, areas)];
    const int maxX = area.right - area.left - width;
    const int maxY = area.bottom - area.top - height;
    if (stored.firstRun) {
        // Integer division truncating toward zero, the division before the multiplication.
        return {area.left + maxX / 2, area.top + (maxY / 15) * KeysOf(stored.window).fifteenths};
    }
    return {area.left + std::max(std::min(x - area.left, maxX), 0),
            area.top + std::max(std::min(y - area.top, maxY), 0)};
}

void AddWorkArea(std::vector<Rect>& areas, const Rect& area, bool primary) {
    areas.insert(primary ? areas.begin() : areas.end(), area);
}

}  // namespace r512
