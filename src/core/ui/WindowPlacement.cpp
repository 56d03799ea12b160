#include "ui/WindowPlacement.h"

#include <algorithm>

namespace r512 {

WindowPosition PlaceWindow(bool configured, int storedX, int storedY, int width, int height,
                           int desktopWidth, int desktopHeight, int fifteenths) {
    const int maxX = desktopWidth - width;
    const int maxY = desktopHeight - height;
    if (!configured) {
        // Integer division truncating toward zero, the division before the multiplication.
        return {maxX / 2, (maxY / 15) * fifteenths};
    }
    return {std::max(std::min(storedX, maxX), 0), std::max(std::min(storedY, maxY), 0)};
}

}  // namespace r512
