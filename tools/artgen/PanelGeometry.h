// Where the window expects things on the skin. The window's hot-spot table and display child use
// the same numbers; the artwork has to put its buttons, knob and display window exactly there.
// Boxes are (left, top, right, bottom) with right and bottom exclusive, as the window's regions.
#pragma once

#include <array>

namespace artgen {

struct Box {
    int left, top, right, bottom;
    double centreX() const { return (left + right) / 2.0; }
    double centreY() const { return (top + bottom) / 2.0; }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

inline constexpr int kSkinWidth = 775;
inline constexpr int kSkinHeight = 168;

inline constexpr Box kStandby{52, 67, 86, 100};
inline constexpr Box kKnob{647, 51, 715, 119};
inline constexpr Box kDisplay{315, 55, 455, 73};
inline constexpr Box kMinimize{721, 4, 737, 20};
inline constexpr Box kClose{755, 4, 771, 20};

struct SmallButton {
    Box box;
    const char* label;  // printed under the button; '\n' splits it over two lines
};

inline constexpr std::array<SmallButton, 10> kSmallButtons{{
    {{200, 100, 218, 118}, "AUDIO"},
    {{239, 100, 257, 118}, "VIDEO"},
    {{278, 100, 295, 118}, "TAPE\nMONITOR"},
    {{317, 100, 335, 118}, "MULTI\nSOURCE"},
    {{356, 100, 374, 118}, "SPEAKERS"},
    {{395, 100, 413, 118}, "DELAY"},
    {{434, 100, 452, 118}, "LEVELS"},
    {{473, 100, 491, 118}, "BRIGHTNESS"},
    {{511, 100, 530, 118}, "TONE"},
    {{551, 100, 569, 118}, "MODE"},
}};

// Background and lit-dot colours of the display; the skin's display area is the background.
inline constexpr unsigned kDisplayBackground = 0xff040404u;
inline constexpr unsigned kDisplayForeground = 0xff66ccffu;

}  // namespace artgen
