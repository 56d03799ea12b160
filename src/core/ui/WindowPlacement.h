#pragma once

#include <cstddef>
#include <vector>

#include "ui/HotSpotTable.h"

namespace r512 {

struct WindowPosition {
    int x = 0;
    int y = 0;
};

// Where a window of size (width, height) opens among the monitors' work areas (`workAreas`,
// the primary monitor's first; an empty list stands for one area at the origin of the window's
// size). Once the program has been configured, the stored rectangle goes to the monitor it
// overlaps most, or, on none (its monitor is gone), the nearest one, and is pulled back so that
// the window lies on that work area as far as the area is large enough (the upper bound first,
// so an area smaller than the window places it at the area's corner); a position never stored
// (-1) thereby lands on the primary's corner. On the first run the window is centred
// horizontally on the primary and placed `fifteenths` fifteenths of its free height down (1 for
// the remote window, 13 for the Control Panel).
WindowPosition PlaceWindowOnMonitors(bool configured, int storedX, int storedY, int width,
                                     int height, const std::vector<Rect>& workAreas,
                                     int fifteenths);

// The same on one desktop of size (desktopWidth, desktopHeight) at the origin.
WindowPosition PlaceWindow(bool configured, int storedX, int storedY, int width, int height,
                           int desktopWidth, int desktopHeight, int fifteenths);

// The index in `areas` of the area that a window's rectangle belongs to: the one it overlaps
// most, or, overlapping none, the nearest; 0 for an empty list.
std::size_t NearestArea(const Rect& window, const std::vector<Rect>& areas);

}  // namespace r512
