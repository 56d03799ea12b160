// Hot spots of the three cursor images in resources/cursor/. The images are plain PNGs, which
// carry no hot spot of their own, so the window takes these when it builds its QCursors. The
// artwork generator draws the fingertip and arrow tips onto exactly these pixels.
#pragma once

namespace r512 {

struct CursorHotSpot {
    int x;
    int y;
};

inline constexpr int kCursorSize = 32;

// Pointing hand over the buttons: the tip of the index finger.
inline constexpr CursorHotSpot kHandHotSpot{12, 1};
// Hand turning the knob down ("Control -"): the tip of its anticlockwise arrow.
inline constexpr CursorHotSpot kKnobDownHotSpot{24, 7};
// Hand turning the knob up ("Control +"): the mirror image of the one above.
inline constexpr CursorHotSpot kKnobUpHotSpot{kCursorSize - 1 - kKnobDownHotSpot.x,
                                              kKnobDownHotSpot.y};

}  // namespace r512
