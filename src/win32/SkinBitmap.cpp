#include "win32/SkinBitmap.h"

#include <vector>

#include "ui/SkinPalette.h"

namespace r512 {

SkinBitmap::~SkinBitmap() {
    if (memoryDc_) {
        SelectObject(memoryDc_, originalBitmap_);
        DeleteDC(memoryDc_);
    }
    if (palette_) DeleteObject(palette_);
    if (bitmap_) DeleteObject(bitmap_);
}

bool SkinBitmap::Load(HINSTANCE instance, int resourceId) {
    bitmap_ = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP,
                                              0, 0, LR_CREATEDIBSECTION));
    if (!bitmap_) return false;

    DIBSECTION section{};
    if (GetObjectA(bitmap_, sizeof(section), &section) != sizeof(section)) return true;
    const int depth = section.dsBmih.biBitCount;

    HDC screen = GetDC(nullptr);
    std::vector<PaletteColour> table;
    if (depth <= 8) {
        // The colour table is read through a memory DC holding the bitmap.
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ original = SelectObject(memory, bitmap_);
        RGBQUAD colours[256];
        const UINT count = GetDIBColorTable(memory, 0, 256, colours);
        for (UINT i = 0; i < count; ++i)
            table.push_back({colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue});
        SelectObject(memory, original);
        DeleteDC(memory);
    }
    const SkinPalette decided = BuildSkinPalette(depth, section.dsBmih.biClrUsed, table);
    if (decided.halftone) {
        palette_ = CreateHalftonePalette(screen);
    } else if (!decided.colours.empty()) {
        std::vector<BYTE> storage(sizeof(LOGPALETTE) +
                                  decided.colours.size() * sizeof(PALETTEENTRY));
        auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(decided.colours.size());
        for (std::size_t i = 0; i < decided.colours.size(); ++i) {
            logical->palPalEntry[i] = {decided.colours[i].red, decided.colours[i].green,
                                       decided.colours[i].blue, 0};
        }
        palette_ = CreatePalette(logical);
    }
    ReleaseDC(nullptr, screen);
    return true;
}

bool SkinBitmap::SelectInto(HDC windowDc) {
    memoryDc_ = CreateCompatibleDC(windowDc);
    if (!memoryDc_) return false;
    if (bitmap_) originalBitmap_ = SelectObject(memoryDc_, bitmap_);
    return bitmap_ != nullptr;
}

}  // namespace r512
