#pragma once

namespace r512 {

struct WindowPosition {
    int x = 0;
    int y = 0;
};

// Where a window of size (width, height) opens on a desktop of size (desktopWidth,
// desktopHeight). Once the program has been configured, the stored position is pulled back so
// that the window lies on the desktop as far as the desktop is large enough (the upper bound
// first, so a desktop smaller than the window places it at 0); a position never stored (-1)
// becomes 0. On the first run the window is centred horizontally and placed `fifteenths`
// fifteenths of the free height down (1 for the remote window, 13 for the Control Panel).
WindowPosition PlaceWindow(bool configured, int storedX, int storedY, int width, int height,
                           int desktopWidth, int desktopHeight, int fifteenths);

}  // namespace r512
