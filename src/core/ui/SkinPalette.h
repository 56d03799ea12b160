#pragma once

#include <cstdint>
#include <vector>

namespace r512 {

struct PaletteColour {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const PaletteColour&) const = default;
};

// The palette the skin is shown with on a palette display: a skin of at most 256 colours gets
// exactly its own colour table (the colour count is the bitmap's "colours used", or 2 to the
// power of its depth when that is 0); a deeper skin gets the system's halftone palette.
struct SkinPalette {
    bool halftone = false;
    std::vector<PaletteColour> colours;
};

SkinPalette BuildSkinPalette(int bitsPerPixel, std::uint32_t coloursUsed,
                             const std::vector<PaletteColour>& colourTable);

}  // namespace r512
