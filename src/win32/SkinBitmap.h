#pragma once

#include <windows.h>

namespace r512 {

// The panel's picture: the skin bitmap (resource 159) as a DIB section, kept selected in a
// memory DC for painting, and the palette it is shown with on a palette display.
class SkinBitmap {
public:
    SkinBitmap() = default;
    ~SkinBitmap();
    SkinBitmap(const SkinBitmap&) = delete;
    SkinBitmap& operator=(const SkinBitmap&) = delete;

    // Loads the bitmap and builds its palette: exactly its own colours for a skin of at most
    // 256 colours, the halftone palette for a deeper one. False when the resource is missing.
    bool Load(HINSTANCE instance, int resourceId);
    // Selects the bitmap into a memory DC compatible with `windowDc`.
    bool SelectInto(HDC windowDc);

    HDC MemoryDc() const { return memoryDc_; }
    HPALETTE Palette() const { return palette_; }

private:
    HBITMAP bitmap_ = nullptr;
    HPALETTE palette_ = nullptr;
    HDC memoryDc_ = nullptr;
    HGDIOBJ originalBitmap_ = nullptr;
};

}  // namespace r512
