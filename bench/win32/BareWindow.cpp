// The baseline of the start-up benchmark: the least a Win32 program can do to show the same
// picture, one 775 x 168 popup window painted from one bitmap resource.
#include <windows.h>

namespace {

HBITMAP g_picture = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ original = SelectObject(memory, g_picture);
            BitBlt(dc, 0, 0, 775, 168, memory, 0, 0, SRCCOPY);
            SelectObject(memory, original);
            DeleteDC(memory);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_picture = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "BareWindow";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "BareWindow", "Bare Window", WS_POPUP | WS_VISIBLE, 0, 0, 775, 168, nullptr,
                    nullptr, instance, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
