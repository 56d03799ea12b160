#pragma once

#include <array>
#include <cstdint>

namespace r512 {

// A rectangle in client coordinates; right and bottom are outside it.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// A clickable area: the ellipse inscribed in a box, optionally cut to a rectangle.
struct HotSpotRegion {
    Rect ellipse;
    Rect clip;  // empty (all zero) for none
    bool Contains(int x, int y) const;
};

// What a right click opens: on a hot spot, its menu, popup or nothing; on the body, the File menu.
enum class RightClick {
    None,
    FileMenu,
    PowerMenu,
    AudioMenu,
    VideoMenu,
    TapeMonitorMenu,
    MultiSourceMenu,
    ModeMenu,
    LevelsPopup,
    TonePopup
};

// The pointer shape over the panel: a hot spot's own, the arrow over a caption button, and the
// body's (the arrow, or the wait cursor during a names transfer).
enum class PanelCursor { Hand, KnobDown, KnobUp, Arrow, Body };

struct HotSpot {
    const char* name;  // tooltip text
    HotSpotRegion region;
    std::uint8_t code;  // command sent when the left button goes down on it
    RightClick rightClick;
    PanelCursor cursor;
    bool repeat;  // the command repeats while the button is held
};

// The thirteen hot spots of the front panel, in the order every hit test searches them: the
// standby button, the ten small buttons, and the two halves of the knob (a strip two pixels
// wide down the knob's middle belongs to neither).
const std::array<HotSpot, 13>& HotSpots();

// The index of the first hot spot containing the point, or -1 (the body).
int HitHotSpot(int x, int y);

// The two small buttons drawn in the top-right corner.
struct CaptionButtonGeometry {
    const char* name;
    Rect rect;  // hit tests: right and bottom excluded
};
const std::array<CaptionButtonGeometry, 2>& CaptionButtons();  // Minimize, Close
int HitCaptionButton(int x, int y);                            // index, or -1

// The display child's place on the panel: 20 cells of 7 by 2 rows of 9 pixels.
inline constexpr Rect kDisplayRect{315, 55, 455, 73};
inline constexpr int kWindowWidth = 775;
inline constexpr int kWindowHeight = 168;

}  // namespace r512
