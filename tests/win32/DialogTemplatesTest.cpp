// The resource script's dialogs against the core's templates, which the Qt front end builds its
// dialogs from: each control in creation order with its identifier, class, key styles, text
// and place (converted by MapDialogRect), so that the two front ends can't disagree.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/DialogTemplates.h"
#include "win32/Win32Resources.h"

namespace r512::test {
namespace {

// What the dialog manager makes of a template item: its window class, and its own style bits
// under a mask (button kind, text alignment, the field styles the template sets).
struct Made {
    const char* className;
    DWORD style;
    DWORD mask;
};

Made MadeFrom(const DialogItem& item) {
    constexpr DWORD kButtonKind = 0x0F;  // BS_TYPEMASK
    constexpr DWORD kStaticKind = SS_TYPEMASK;
    constexpr DWORD kFieldStyles = 0x3FFF;  // an edit field's or a drop-down's own styles
    const bool autoMark = (item.flags & kAutoMark) != 0;
    const bool upper = (item.flags & kUppercase) != 0;
    switch (item.kind) {
        case ControlKind::Label:
            return {"Static", SS_LEFT, kStaticKind};
        case ControlKind::CentredLabel:
            return {"Static", SS_CENTER, kStaticKind};
        case ControlKind::Icon:
            return {"Static", SS_ICON, kStaticKind};
        case ControlKind::GroupBox:
            return {"Button", BS_GROUPBOX, kButtonKind};
        // Every field scrolls sideways, as the Qt field does, and has no style the template
        // doesn't name.
        case ControlKind::Edit:
            return {"Edit",
                    ES_AUTOHSCROLL | ((item.flags & kReadOnly) != 0 ? ES_READONLY : 0u) |
                        (upper ? ES_UPPERCASE : 0u),
                    kFieldStyles};
        case ControlKind::ComboBox:
            return {"ComboBox", CBS_DROPDOWN | CBS_AUTOHSCROLL | (upper ? CBS_UPPERCASE : 0u),
                    kFieldStyles};
        case ControlKind::CheckBox:
            return {"Button", static_cast<DWORD>(autoMark ? BS_AUTOCHECKBOX : BS_CHECKBOX),
                    kButtonKind};
        case ControlKind::RadioButton:
            return {"Button", static_cast<DWORD>(autoMark ? BS_AUTORADIOBUTTON : BS_RADIOBUTTON),
                    kButtonKind};
        case ControlKind::PushButton:
            return {"Button", BS_PUSHBUTTON, kButtonKind};
        case ControlKind::DefaultButton:
            return {"Button", BS_DEFPUSHBUTTON, kButtonKind};
        case ControlKind::UpDown:
            return {"msctls_updown32", 0, 0};
    }
    return {"", 0, 0};
}

DWORD WindowStyleFrom(std::uint16_t flags) {
    return ((flags & kGroupStart) != 0 ? WS_GROUP : 0u) |
           ((flags & kTabStop) != 0 ? WS_TABSTOP : 0u) |
           ((flags & kDisabled) != 0 ? WS_DISABLED : 0u);
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

void ExpectResourceMatches(int resource, const DialogTemplate& layout) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), nullptr,
                                     QuietDialog, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();
    EXPECT_FALSE(IsWindowVisible(dialog));  // made hidden, shown when needed

    char text[256] = {};
    GetWindowTextA(dialog, text, sizeof(text));
    EXPECT_STREQ(text, layout.caption);
    const DWORD frame = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    const bool captioned = layout.caption[0] != '\0';
    EXPECT_EQ((frame & WS_CAPTION) == WS_CAPTION, captioned);
    EXPECT_EQ((frame & WS_SYSMENU) != 0, captioned);
    EXPECT_NE(frame & WS_POPUP, 0u);
    RECT client{};
    GetClientRect(dialog, &client);
    const RECT size = InDialogPixels(dialog, 0, 0, layout.width, layout.height);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    HWND child = GetWindow(dialog, GW_CHILD);
    for (std::size_t i = 0; i < layout.items.size(); ++i) {
        const DialogItem& item = layout.items[i];
        SCOPED_TRACE("item " + std::to_string(i) + " id " + std::to_string(item.id) + " \"" +
                     item.text + "\"");
        ASSERT_NE(child, nullptr) << "fewer controls than the template lists";
        EXPECT_EQ(static_cast<short>(GetDlgCtrlID(child)), item.id);
        const Made made = MadeFrom(item);
        char className[32] = {};
        GetClassNameA(child, className, sizeof(className));
        EXPECT_STREQ(className, made.className);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        EXPECT_EQ(style & made.mask, made.style);
        EXPECT_EQ(style & (WS_GROUP | WS_TABSTOP | WS_DISABLED), WindowStyleFrom(item.flags));
        if (item.kind != ControlKind::Icon) {  // an icon control's text names its icon
            GetWindowTextA(child, text, sizeof(text));
            EXPECT_STREQ(text, item.text);
        }

        RECT placed{};
        GetWindowRect(child, &placed);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
        const RECT expected = InDialogPixels(dialog, item.x, item.y, item.width, item.height);
        EXPECT_EQ(placed.left, expected.left);
        EXPECT_EQ(placed.top, expected.top);
        if (item.kind != ControlKind::Icon) {  // an icon control takes the icon's own size
            EXPECT_EQ(placed.right, expected.right);
        }
        // A drop-down's template height is its opened list's; closed, it is as tall as its font
        // makes its field.
        if (item.kind != ControlKind::Icon && item.kind != ControlKind::ComboBox) {
            EXPECT_EQ(placed.bottom, expected.bottom);
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more controls than the template lists";
    DestroyWindow(dialog);
}

TEST(DialogTemplates, ResourceScriptHoldsTheCoresTemplates) {
    struct Pair {
        int resource;
        const DialogTemplate& layout;
    };
    for (const Pair& pair : {Pair{IDD_NAMES, NamesTemplate()}, Pair{IDD_CONFIG, ConfigTemplate()},
                             Pair{IDD_ABOUT, AboutTemplate()}, Pair{IDD_TONE, ToneTemplate()},
                             Pair{IDD_LEVELS, LevelsTemplate()}}) {
        SCOPED_TRACE("dialog " + std::to_string(pair.resource));
        ExpectResourceMatches(pair.resource, pair.layout);
    }
}

}  // namespace
}  // namespace r512::test
