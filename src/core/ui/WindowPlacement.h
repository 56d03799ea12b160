#pragma once

#include <vector>

#include "base/Profile.h"
#include "base/SettingsLayout.h"
#include "ui/HotSpotTable.h"

namespace r512 {

struct WindowPosition {
    int x = 0;
    int y = 0;
};

// A window's outer size, frame and caption included.
struct WindowSize {
    int width = 0, height = 0;
};

// The two windows whose places the profile keeps: the remote window and its Control Panel.
enum class PlacedWindow { Remote, ControlPanel };

// A window's place as the profile keeps it: the top-left corner of its normal (restored) frame,
// -1 when never stored, and whether it was left open (the remote window always is). Before the
// program has been configured the corner is not read: the window opens at its first-run place.
struct StoredPlacement {
    PlacedWindow window = PlacedWindow::Remote;
    bool firstRun = true;
    WindowPosition corner{settings::kNoPosition, settings::kNoPosition};
    bool visible = false;
};

// Reads `which` from the "Position" section ("main.x", "main.y"; "control.x", "control.y" and
// "control.visible", which is read on the first run too).
StoredPlacement LoadPlacement(Profile& profile, PlacedWindow which);

// Stores where `which` comes back (its normal rectangle's corner, also while it is minimised)
// and, for the Control Panel, whether the user left it open.
void SavePlacement(Profile& profile, PlacedWindow which, WindowPosition corner, bool visible);

// Where a window of `size` opens among the monitors' work areas (`workAreas`, the primary
// monitor's first; an empty list stands for one area at the origin of the window's size).
// Once the program has been configured, the stored rectangle goes to the monitor it overlaps
// most, or, on none (its monitor is gone), the nearest one, and is pulled back so that the
// window lies on that work area as far as the area is large enough (the upper bound first, so
// an area smaller than the window places it at the area's corner); a position never stored
// (-1) thereby lands on the primary's corner. On the first run the window is centred
// horizontally on the primary and placed some fifteenths of its free height down (1 for the
// remote window, 13 for the Control Panel).
WindowPosition PlaceOnMonitors(const StoredPlacement& stored, WindowSize size,
                               const std::vector<Rect>& workAreas);

// Adds a monitor's work area to a list that keeps the primary monitor's first.
void AddWorkArea(std::vector<Rect>& areas, const Rect& area, bool primary);

}  // namespace r512
