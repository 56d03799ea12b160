// The resource script as the dialog manager and the menu functions read it: every dialog's
// controls in creation order with their identifiers, classes, styles and places in dialog units
// (converted by MapDialogRect), the context menus against the core's menu table, and the string
// table against the core's messages.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/Messages.h"
#include "base/SettingsLayout.h"
#include "ui/MenuTable.h"
#include "ui/ResourceIds.h"
#include "win32/MenuResources.h"
#include "win32/Win32Resources.h"

namespace r512::test {
namespace {

struct ControlSpec {
    int id;
    const char* className;
    DWORD kind;   // the control's own style bits (button kind, text alignment, edit styles)
    DWORD flags;  // WS_GROUP, WS_TABSTOP, WS_DISABLED as the template sets them
    int x, y, width, height;  // dialog units
};

struct DialogSpec {
    int templateId;
    int width, height;
    std::vector<ControlSpec> controls;
};

constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kPush = BS_PUSHBUTTON;
constexpr DWORD kDefault = BS_DEFPUSHBUTTON;
constexpr DWORD kGroupBox = BS_GROUPBOX;
constexpr DWORD kNameEdit = ES_AUTOHSCROLL;  // and no other edit style
constexpr const char* kUpDown = UPDOWN_CLASSA;
// Beside the control before it, arrow keys, and it never writes into its buddy.
constexpr DWORD kSpin = UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS;

const std::vector<DialogSpec>& Dialogs() {
    static const std::vector<DialogSpec> kDialogs = {
        {IDD_CONFIG,
         242,
         127,
         {{IDC_STATIC, "Button", kGroupBox, 0, 5, 5, 110, 65},
          {IDC_PORT_COM1, "Button", kRadio, WS_GROUP | WS_TABSTOP, 15, 20, 36, 10},
          {IDC_PORT_COM2, "Button", kRadio, 0, 70, 20, 36, 10},
          {IDC_PORT_COM3, "Button", kRadio, 0, 15, 35, 36, 10},
          {IDC_PORT_COM4, "Button", kRadio, 0, 70, 35, 36, 10},
          {IDC_PORT_OTHER, "Button", kRadio, 0, 15, 50, 33, 10},
          {IDC_OTHER_PORT_NAME, "ComboBox", CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_UPPERCASE,
           WS_TABSTOP | WS_DISABLED, 50, 50, 60, 80},
          {IDC_STATIC, "Button", kGroupBox, 0, 5, 75, 230, 45},
          {IDC_SPEED_12000, "Button", kRadio, WS_GROUP | WS_TABSTOP, 15, 90, 36, 10},
          {IDC_SPEED_9600, "Button", kRadio, 0, 15, 105, 32, 10},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 65, 90, 165, 25},
          {IDOK, "Button", kDefault, WS_TABSTOP, 185, 5, 50, 14},
          {IDCANCEL, "Button", kPush, WS_TABSTOP, 185, 20, 50, 14}}},
        {IDD_NAMES,
         182,
         161,
         {{IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 5, 5, 53, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 5, 20, 8, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 5, 35, 8, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 5, 50, 8, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 5, 65, 8, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 5, 80, 8, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 5, 95, 8, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 5, 110, 8, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 5, 125, 8, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 5, 140, 8, 8},
          {IDC_SOURCE_NAME_1 + 0, "Edit", kNameEdit, WS_TABSTOP, 15, 20, 45, 12},
          {IDC_SOURCE_NAME_1 + 1, "Edit", kNameEdit, WS_TABSTOP, 15, 36, 45, 12},
          {IDC_SOURCE_NAME_1 + 2, "Edit", kNameEdit, WS_TABSTOP, 15, 50, 45, 12},
          {IDC_SOURCE_NAME_1 + 3, "Edit", kNameEdit, WS_TABSTOP, 15, 65, 45, 12},
          {IDC_SOURCE_NAME_1 + 4, "Edit", kNameEdit, WS_TABSTOP, 15, 81, 45, 12},
          {IDC_SOURCE_NAME_1 + 5, "Edit", kNameEdit, WS_TABSTOP, 15, 95, 45, 12},
          {IDC_SOURCE_NAME_1 + 6, "Edit", kNameEdit, WS_TABSTOP, 15, 110, 45, 12},
          {IDC_SOURCE_NAME_1 + 7, "Edit", kNameEdit, WS_TABSTOP, 15, 126, 45, 12},
          {IDC_SOURCE_NAME_1 + 8, "Edit", kNameEdit, WS_TABSTOP, 15, 140, 45, 12},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 75, 5, 65, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 75, 20, 8, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 75, 35, 8, 8},
          {IDC_WELCOME_1, "Edit", kNameEdit, WS_TABSTOP, 85, 20, 85, 12},
          {IDC_WELCOME_2, "Edit", kNameEdit, WS_TABSTOP, 85, 36, 85, 12},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 75, 65, 65, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 75, 80, 8, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 75, 95, 8, 8},
          {IDC_STANDBY_1, "Edit", kNameEdit, WS_TABSTOP, 85, 80, 85, 12},
          {IDC_STANDBY_2, "Edit", kNameEdit, WS_TABSTOP, 85, 96, 85, 12},
          {IDC_DEFAULTS, "Button", kPush, WS_TABSTOP, 125, 120, 50, 14},
          {IDOK, "Button", kDefault, WS_TABSTOP, 70, 140, 50, 14},
          {IDCANCEL, "Button", kPush, WS_TABSTOP, 125, 140, 50, 14}}},
        {IDD_TONE,
         45,
         19,
         {{IDC_STATIC, "Static", SS_CENTER, WS_GROUP, 10, 0, 25, 8},
          {IDC_STATIC, "Static", SS_CENTER, WS_GROUP, 10, 10, 25, 8},
          {IDC_TREBLE_UP, "Button", kPush, WS_TABSTOP, 35, 0, 9, 10},
          {IDC_BASS_UP, "Button", kPush, WS_TABSTOP, 35, 10, 9, 10},
          {IDC_TREBLE_DOWN, "Button", kPush, WS_TABSTOP, 0, 0, 9, 10},
          {IDC_BASS_DOWN, "Button", kPush, WS_TABSTOP, 0, 10, 9, 10}}},
        {IDD_LEVELS,
         49,
         30,
         {{IDC_SUBWOOFER_DOWN, "Button", kPush, WS_TABSTOP, 0, 0, 9, 10},
          {IDC_CENTER_DOWN, "Button", kPush, WS_TABSTOP, 0, 10, 9, 10},
          {IDC_SURROUND_DOWN, "Button", kPush, WS_TABSTOP, 0, 20, 9, 10},
          {IDC_SUBWOOFER_UP, "Button", kPush, WS_TABSTOP, 40, 0, 9, 10},
          {IDC_CENTER_UP, "Button", kPush, WS_TABSTOP, 40, 10, 9, 10},
          {IDC_SURROUND_UP, "Button", kPush, WS_TABSTOP, 40, 20, 9, 10},
          {IDC_STATIC, "Static", SS_CENTER, WS_GROUP, 10, 0, 25, 8},
          {IDC_STATIC, "Static", SS_CENTER, WS_GROUP, 10, 10, 25, 8},
          {IDC_STATIC, "Static", SS_CENTER, WS_GROUP, 10, 20, 25, 8}}},
        {IDD_ABOUT,
         162,
         81,
         {{IDC_STATIC, "Static", SS_ICON, 0, 5, 5, 20, 20},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 48, 5, 89, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 71, 15, 19, 8},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 41, 40, 80, 8},
          {IDOK, "Button", kDefault, WS_TABSTOP, 56, 60, 50, 14}}},
    };
    return kDialogs;
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

TEST(DialogTemplates, ControlsSitAtTheirDialogUnitsInCreationOrder) {
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));  // the Control Panel's up-down controls
    for (const DialogSpec& spec : Dialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(spec.templateId));
        HWND dialog = CreateDialogParamA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(spec.templateId), nullptr, QuietDialog, 0);
        ASSERT_NE(dialog, nullptr) << GetLastError();
        EXPECT_FALSE(IsWindowVisible(dialog));  // made hidden, shown when needed

        RECT client{};
        GetClientRect(dialog, &client);
        const RECT size = InDialogPixels(dialog, 0, 0, spec.width, spec.height);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);

        HWND child = GetWindow(dialog, GW_CHILD);
        for (std::size_t i = 0; i < spec.controls.size(); ++i) {
            const ControlSpec& c = spec.controls[i];
            SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(c.id));
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(static_cast<short>(GetDlgCtrlID(child)), c.id);
            char className[32] = {};
            GetClassNameA(child, className, sizeof(className));
            EXPECT_STREQ(className, c.className);
            const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
            const std::string name = c.className;
            const DWORD kindMask = name == "Edit" || name == "ComboBox" ? 0x3FFF
                                   : name == kUpDown                    ? 0xFF
                                                                        : 0x1F;
            EXPECT_EQ(style & kindMask, c.kind);
            EXPECT_EQ(style & (WS_GROUP | WS_TABSTOP | WS_DISABLED), c.flags);

            RECT placed{};
            GetWindowRect(child, &placed);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
            const RECT expected = InDialogPixels(dialog, c.x, c.y, c.width, c.height);
            if (name == kUpDown) {
                // Moved into its buddy's right edge, as tall as the buddy, which gives up the
                // room.
                ASSERT_GT(i, 0u);
                const ControlSpec& b = spec.controls[i - 1];
                const RECT field = InDialogPixels(dialog, b.x, b.y, b.width, b.height);
                // Over the buddy's border at most, as the control places itself.
                const int border = GetSystemMetrics(SM_CXEDGE);
                EXPECT_LE(placed.right, field.right);
                EXPECT_GE(placed.right, field.right - border);
                EXPECT_EQ(placed.top, field.top);
                EXPECT_EQ(placed.bottom, field.bottom);
                RECT buddy{};
                GetWindowRect(GetWindow(child, GW_HWNDPREV), &buddy);
                MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&buddy), 2);
                EXPECT_LE(buddy.right, placed.left + border);
                EXPECT_EQ(buddy.left, field.left);
                child = GetWindow(child, GW_HWNDNEXT);
                continue;
            }
            const bool hasUpDown = i + 1 < spec.controls.size() &&
                                   std::string(spec.controls[i + 1].className) == kUpDown;
            if (hasUpDown) {
                // Its width is checked with the up-down beside it.
            } else if (name == "ComboBox") {
                // Its height in the template is the opened list's; closed, it is as tall as
                // its font makes its field.
                EXPECT_EQ(placed.right - placed.left, expected.right - expected.left);
            } else if (c.kind != SS_ICON) {  // an icon control takes the icon's own size
                EXPECT_EQ(placed.right - placed.left, expected.right - expected.left);
                EXPECT_EQ(placed.bottom - placed.top, expected.bottom - expected.top);
            }
            EXPECT_EQ(placed.left, expected.left);
            EXPECT_EQ(placed.top, expected.top);
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr) << "more controls than the layout lists";
        DestroyWindow(dialog);
    }
}

TEST(DialogTemplates, TitlesAndFrames) {
    struct Frame {
        int templateId;
        const char* title;
        bool caption;
    };
    for (const Frame& f :
         {Frame{IDD_CONFIG, "Program Configuration", true}, Frame{IDD_ABOUT, "About", true},
          Frame{IDD_CONTROL_PANEL, "R512 Control Panel", true}, Frame{IDD_NAMES, "R512", true},
          Frame{IDD_TONE, "", false}, Frame{IDD_LEVELS, "", false}}) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(f.templateId),
                                         nullptr, QuietDialog, 0);
        ASSERT_NE(dialog, nullptr);
        char title[64] = {};
        GetWindowTextA(dialog, title, sizeof(title));
        EXPECT_STREQ(title, f.title);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
        EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, f.caption) << f.templateId;
        EXPECT_EQ((style & WS_SYSMENU) != 0, f.caption) << f.templateId;
        EXPECT_NE(style & WS_POPUP, 0u);
        DestroyWindow(dialog);
    }
}

void ExpectMenuMatches(int resource, const MenuDefinition& definition) {
    SCOPED_TRACE(definition.title);
    HMENU bar = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 1);
    char text[64] = {};
    GetMenuStringA(bar, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, definition.title);
    HMENU popup = GetSubMenu(bar, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(definition.items.size()));
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        const MenuItem& item = definition.items[static_cast<std::size_t>(i)];
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
        ASSERT_TRUE(GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info));
        if (item.id == 0) {
            EXPECT_NE(info.fType & MFT_SEPARATOR, 0u) << "item " << i;
            continue;
        }
        EXPECT_EQ(static_cast<int>(info.wID), item.id) << "item " << i;
        EXPECT_EQ(info.fState & (MFS_CHECKED | MFS_DISABLED), 0u) << "item " << i;
        GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        EXPECT_STREQ(text, item.text);
    }
    DestroyMenu(bar);
}

TEST(Menus, ResourcesHoldTheItemsOfTheMenuTable) {
    const RightClick kinds[] = {RightClick::FileMenu,        RightClick::PowerMenu,
                                RightClick::AudioMenu,       RightClick::VideoMenu,
                                RightClick::TapeMonitorMenu, RightClick::MultiSourceMenu,
                                RightClick::ModeMenu};
    for (RightClick kind : kinds) {
        const MenuDefinition* definition = HotSpotMenu(kind);
        ASSERT_NE(definition, nullptr);
        ExpectMenuMatches(MenuResourceFor(kind), *definition);
    }
    for (RightClick kind : {RightClick::None, RightClick::LevelsPopup, RightClick::TonePopup})
        EXPECT_EQ(MenuResourceFor(kind), 0);
}

TEST(StringTable, HoldsTheCoresMessagesAndTheTitle) {
    for (int id :
         {IDS_PORT_OPEN_FAILED, IDS_PORT_CONFIGURE_FAILED, IDS_THREAD_FAILED, IDS_FIRST_RUN,
          IDS_NAMES_READ_FAILED, IDS_NAMES_WRITE_FAILED, IDS_NAMES_CONNECTION_LOST}) {
        char text[1024] = {};
        ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), text, sizeof(text)),
                  0)
            << id;
        EXPECT_STREQ(text, MessageText(id)) << id;
    }
    char title[64] = {};
    LoadStringA(GetModuleHandleA(nullptr), IDS_APPLICATION_TITLE, title, sizeof(title));
    EXPECT_STREQ(title, settings::kApplication);
}

}  // namespace
}  // namespace r512::test
