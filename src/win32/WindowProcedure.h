#pragma once

#include <windows.h>

namespace r512 {

// The window procedure of a window created with its object as the creation parameter: kept in
// the user data at WM_NCCREATE (its handle in `Handle`), the object gets every later message;
// those before, and after it has cleared the user data, get the default handling.
template <class Owner, LRESULT (Owner::*OnMessage)(UINT, WPARAM, LPARAM), HWND Owner::*Handle>
LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* owner =
            static_cast<Owner*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        owner->*Handle = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!owner) return DefWindowProcA(hwnd, message, wParam, lParam);
    return (owner->*OnMessage)(message, wParam, lParam);
}

// The dialog procedure of a dialog created with its object as the initialisation parameter:
// kept in the user data at WM_INITDIALOG, the object gets that and every later message.
template <class Owner, INT_PTR (Owner::*OnMessage)(HWND, UINT, WPARAM, LPARAM)>
INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    return owner ? (owner->*OnMessage)(hwnd, message, wParam, lParam) : FALSE;
}

}  // namespace r512
