#pragma once

#include <windows.h>

#include "ui/FrontPanelText.h"

namespace r512 {

// The imitation of the device's two-line display: a child window of the remote window that
// paints its 2 x 20 characters cell by cell from the font strip (bitmap 151). It knows nothing
// of the device; the composer sets its lines.
class FrontPanelDisplay {
public:
    FrontPanelDisplay() = default;
    ~FrontPanelDisplay();
    FrontPanelDisplay(const FrontPanelDisplay&) = delete;
    FrontPanelDisplay& operator=(const FrontPanelDisplay&) = delete;

    // Creates the child window "display" at `rect` of `parent`, hidden.
    bool Create(HWND parent, const RECT& rect, HINSTANCE instance);
    // Loads the font strip into a memory DC kept for the window's life.
    bool LoadFontBitmap();
    // The palette the cells are drawn with (the skin's), or none.
    void SetPalette(HPALETTE palette) { palette_ = palette; }

    // Line 0 or 1; see DisplayLines. With `redraw` the window repaints before this returns.
    void SetLine(const char* text, int line, bool redraw);

    HWND Handle() const { return hwnd_; }
    const FrontPanelText& Text() const { return text_; }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    HINSTANCE instance_ = nullptr;
    HWND hwnd_ = nullptr;
    FrontPanelText text_;
    HBITMAP font_ = nullptr;
    HDC fontDc_ = nullptr;
    HGDIOBJ fontDcOriginal_ = nullptr;
    HPALETTE palette_ = nullptr;  // not owned
};

}  // namespace r512
