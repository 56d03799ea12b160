#include "ui/SkinPalette.h"

#include <algorithm>

namespace r512 {

SkinPalette BuildSkinPalette(int bitsPerPixel, std::uint32_t coloursUsed,
                             const std::vector<PaletteColour>& colourTable) {
    std::uint64_t count = coloursUsed;
    if (count == 0) count = bitsPerPixel >= 32 ? UINT64_MAX : (std::uint64_t{1} << bitsPerPixel);
    SkinPalette palette;
    if (count > 256) {
        palette.halftone = true;
        return palette;
    }
    // A table shorter than it claims gives what it has, never a read beyond its end.
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(count), colourTable.size());
    palette.colours.assign(colourTable.begin(), colourTable.begin() + static_cast<long>(n));
    return palette;
}

}  // namespace r512
