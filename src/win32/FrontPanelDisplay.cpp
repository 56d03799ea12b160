#include "win32/FrontPanelDisplay.h"

#include "win32/Win32Resources.h"
#include "win32/WindowProcedure.h"

namespace r512 {

namespace {
constexpr const char* kClassName = "R512FrontPanelDisplay";
}  // namespace

FrontPanelDisplay::~FrontPanelDisplay() {
    if (fontDc_) {
        SelectObject(fontDc_, fontDcOriginal_);
        DeleteDC(fontDc_);
    }
    if (font_) DeleteObject(font_);
}

bool FrontPanelDisplay::Create(HWND parent, const RECT& rect, HINSTANCE instance) {
    instance_ = instance;
    WNDCLASSA windowClass{};
    if (!GetClassInfoA(instance, kClassName, &windowClass)) {
        windowClass.lpfnWndProc = WindowProcedure<FrontPanelDisplay, &FrontPanelDisplay::OnMessage,
                                                  &FrontPanelDisplay::hwnd_>;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassA(&windowClass)) return false;
    }
    hwnd_ = CreateWindowExA(0, kClassName, "display", WS_CHILD, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                            instance, this);
    return hwnd_ != nullptr;
}

bool FrontPanelDisplay::LoadFontBitmap() {
    HDC windowDc = GetDC(hwnd_);
    font_ = static_cast<HBITMAP>(
        LoadImageA(instance_, MAKEINTRESOURCEA(IDB_FONT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    fontDc_ = CreateCompatibleDC(windowDc);
    if (font_ && fontDc_) fontDcOriginal_ = SelectObject(fontDc_, font_);
    ReleaseDC(hwnd_, windowDc);
    return font_ != nullptr && fontDc_ != nullptr;
}

void FrontPanelDisplay::SetLine(const char* text, int line, bool redraw) {
    if (!text_.SetLine(text, line)) return;
    if (redraw && hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void FrontPanelDisplay::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    HPALETTE oldPalette = nullptr;
    if (palette_) {
        oldPalette = SelectPalette(dc, palette_, FALSE);
        RealizePalette(dc);
    }
    constexpr int w = FrontPanelText::kCellWidth;
    constexpr int h = FrontPanelText::kCellHeight;
    for (int line = 0; line < FrontPanelText::kLines; ++line) {
        for (int column = 0; column < FrontPanelText::kColumns; ++column) {
            const int cellX = FrontPanelText::FontCellX(text_.At(line, column));
            if (fontDc_) {
                BitBlt(dc, column * w, line * h, w, h, fontDc_, cellX, 0, SRCCOPY);
            } else {
                PatBlt(dc, column * w, line * h, w, h, BLACKNESS);
            }
        }
    }
    if (oldPalette) SelectPalette(dc, oldPalette, FALSE);
    EndPaint(hwnd_, &paint);
}

LRESULT FrontPanelDisplay::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return TRUE;  // the paint covers every pixel
        case WM_PAINT:
            Paint();
            return 0;
        default:
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

}  // namespace r512
