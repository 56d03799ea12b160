#include "win32/DialogPlacement.h"

#include <algorithm>
#include <vector>

namespace r512 {

void CenterOnOwner(HWND dialog) {
    RECT area{};
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own{};
    GetWindowRect(dialog, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    x = std::max(0, std::min(x, screenWidth - width));
    y = std::max(0, std::min(y, screenHeight - height));
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GrowToFitText(HWND dialog, HWND text, HWND group) {
    if (!text) return;
    RECT place{};
    GetWindowRect(text, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    const int length = GetWindowTextLengthA(text);
    std::vector<char> words(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(text, words.data(), length + 1);

    HDC dc = GetDC(text);
    HGDIOBJ original =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(text, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, place.right - place.left, 0};
    DrawTextA(dc, words.data(), length, &needed, DT_CALCRECT | DT_WORDBREAK | DT_LEFT);
    SelectObject(dc, original);
    ReleaseDC(text, dc);

    const int extra = needed.bottom - (place.bottom - place.top);
    if (extra <= 0) return;
    auto grow = [extra](HWND window, HWND parent) {
        RECT r{};
        GetWindowRect(window, &r);
        if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + extra,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    grow(text, dialog);
    if (group) grow(group, dialog);
    grow(dialog, nullptr);
}

}  // namespace r512
