#include "DialogTemplateMatch.h"

#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <string>

namespace r512::test {

namespace {

// What the dialog manager makes of a control kind: its window class and the style bits that
// say its kind (compared under the mask).
struct Win32Control {
    const char* className;
    DWORD mask;
    DWORD style;
};

Win32Control Expected(const DialogItem& item) {
    const bool autoMark = (item.flags & kAutoMark) != 0;
    const DWORD upper = (item.flags & kUppercase) ? ES_UPPERCASE : 0;  // CBS_UPPERCASE too
    switch (item.kind) {
        case ControlKind::Label:
            return {"Static", SS_TYPEMASK, SS_LEFT};
        case ControlKind::CentredLabel:
            return {"Static", SS_TYPEMASK, SS_CENTER};
        case ControlKind::Icon:
            return {"Static", SS_TYPEMASK, SS_ICON};
        case ControlKind::GroupBox:
            return {"Button", BS_TYPEMASK, BS_GROUPBOX};
        case ControlKind::Edit:
            return {"Edit", ES_READONLY | ES_UPPERCASE,
                    ((item.flags & kReadOnly) ? ES_READONLY : 0) | upper};
        case ControlKind::ComboBox:
            return {"ComboBox", CBS_DROPDOWNLIST | CBS_UPPERCASE,
                    static_cast<DWORD>(CBS_DROPDOWN | (upper ? CBS_UPPERCASE : 0))};
        case ControlKind::CheckBox:
            return {"Button", BS_TYPEMASK,
                    static_cast<DWORD>(autoMark ? BS_AUTOCHECKBOX : BS_CHECKBOX)};
        case ControlKind::RadioButton:
            return {"Button", BS_TYPEMASK,
                    static_cast<DWORD>(autoMark ? BS_AUTORADIOBUTTON : BS_RADIOBUTTON)};
        case ControlKind::PushButton:
            return {"Button", BS_TYPEMASK, BS_PUSHBUTTON};
        case ControlKind::DefaultButton:
            return {"Button", BS_TYPEMASK, BS_DEFPUSHBUTTON};
        case ControlKind::UpDown:
            // Beside the control before it, arrow keys, and it never writes into its buddy.
            return {UPDOWN_CLASSA, 0xFF, UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS};
    }
    return {"", 0, 0};
}

DWORD ExpectedFlags(const DialogItem& item) {
    return ((item.flags & kGroupStart) ? WS_GROUP : 0) |
           ((item.flags & kTabStop) ? WS_TABSTOP : 0) |
           ((item.flags & kDisabled) ? WS_DISABLED : 0);
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The dialog manager converts a control's place and its size each on its own.
RECT InDialogPixels(HWND dialog, int x, int y, int width, int height) {
    RECT place{x, y, 0, 0};
    RECT size{0, 0, width, height};
    MapDialogRect(dialog, &place);
    MapDialogRect(dialog, &size);
    return RECT{place.left, place.top, place.left + size.right, place.top + size.bottom};
}

RECT PlaceInDialog(HWND dialog, HWND control) {
    RECT placed{};
    GetWindowRect(control, &placed);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
    return placed;
}

// An up-down control moves into its buddy's right edge (over the buddy's border at most), as
// tall as the buddy, which gives up the room: its own place in the template is not kept.
void ExpectAlignedInBuddy(HWND dialog, HWND upDown, const RECT& field) {
    const RECT placed = PlaceInDialog(dialog, upDown);
    const int border = GetSystemMetrics(SM_CXEDGE);
    EXPECT_LE(placed.right, field.right);
    EXPECT_GE(placed.right, field.right - border);
    EXPECT_EQ(placed.top, field.top);
    EXPECT_EQ(placed.bottom, field.bottom);
    const RECT buddy = PlaceInDialog(dialog, GetWindow(upDown, GW_HWNDPREV));
    EXPECT_LE(buddy.right, placed.left + border);
    EXPECT_EQ(buddy.left, field.left);
}

}  // namespace

void ExpectResourceMatches(int templateId, const DialogTemplate& expected) {
    SCOPED_TRACE("dialog " + std::to_string(templateId));
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                     nullptr, QuietDialog, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();
    EXPECT_FALSE(IsWindowVisible(dialog));  // made hidden, shown when needed
    char text[256] = {};
    GetWindowTextA(dialog, text, sizeof(text));
    EXPECT_STREQ(text, expected.caption);
    RECT client{};
    GetClientRect(dialog, &client);
    const RECT size = InDialogPixels(dialog, 0, 0, expected.width, expected.height);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    HWND child = GetWindow(dialog, GW_CHILD);
    const auto& items = expected.items;
    for (std::size_t i = 0; i < items.size(); ++i, child = GetWindow(child, GW_HWNDNEXT)) {
        const DialogItem& item = items[i];
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + item.text + "\" id " +
                     std::to_string(item.id));
        ASSERT_NE(child, nullptr) << "fewer controls than the template lists";
        EXPECT_EQ(static_cast<short>(GetDlgCtrlID(child)), item.id);
        const Win32Control kind = Expected(item);
        char className[32] = {};
        GetClassNameA(child, className, sizeof(className));
        EXPECT_STREQ(className, kind.className);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        EXPECT_EQ(style & kind.mask, kind.style);
        EXPECT_EQ(style & (WS_GROUP | WS_TABSTOP | WS_DISABLED), ExpectedFlags(item));
        if (item.kind != ControlKind::Icon) {  // an icon's text names its resource
            GetWindowTextA(child, text, sizeof(text));
            EXPECT_STREQ(text, item.text);
        }

        const RECT field = InDialogPixels(dialog, item.x, item.y, item.width, item.height);
        if (item.kind == ControlKind::UpDown) {
            ASSERT_GT(i, 0u);
            const DialogItem& b = items[i - 1];
            ExpectAlignedInBuddy(dialog, child,
                                 InDialogPixels(dialog, b.x, b.y, b.width, b.height));
            continue;
        }
        const RECT placed = PlaceInDialog(dialog, child);
        EXPECT_EQ(placed.left, field.left);
        EXPECT_EQ(placed.top, field.top);
        const bool hasUpDown = i + 1 < items.size() && items[i + 1].kind == ControlKind::UpDown;
        // Its width is checked with the up-down beside it; an icon control takes the icon's own
        // size; a combo box's height in the template is its opened list's.
        if (!hasUpDown && item.kind != ControlKind::Icon) {
            EXPECT_EQ(placed.right - placed.left, field.right - field.left);
        }
        if (item.kind != ControlKind::Icon && item.kind != ControlKind::ComboBox) {
            EXPECT_EQ(placed.bottom - placed.top, field.bottom - field.top);
        }
    }
    EXPECT_EQ(child, nullptr) << "more controls than the template lists";
    DestroyWindow(dialog);
}

}  // namespace r512::test
