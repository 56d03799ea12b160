// The resource script as the dialog manager and the menu functions read it: every dialog's
// controls in creation order with their identifiers, classes, styles and places in dialog units
// (converted by MapDialogRect), the context menus against the core's menu table, and the string
// table against the core's messages.
#include <gtest/gtest.h>
#include <windows.h>

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
    DWORD kind;   // the control's own style bits that matter (button kind, text alignment)
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
          {IDC_OTHER_PORT_NAME, "Edit", ES_AUTOHSCROLL | ES_UPPERCASE, WS_TABSTOP | WS_DISABLED, 50,
           50, 60, 12},
          {IDC_STATIC, "Button", kGroupBox, 0, 5, 75, 230, 45},
          {IDC_SPEED_12000, "Button", kRadio, WS_GROUP | WS_TABSTOP, 15, 90, 36, 10},
          {IDC_SPEED_9600, "Button", kRadio, 0, 15, 105, 32, 10},
          {IDC_STATIC, "Static", SS_LEFT, WS_GROUP, 65, 90, 165, 25},
          {IDOK, "Button", kDefault, WS_TABSTOP, 185, 5, 50, 14},
          {IDCANCEL, "Button", kPush, WS_TABSTOP, 185, 20, 50, 14}}},
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
            const DWORD kindMask = std::string(c.className) == "Edit" ? c.kind : 0x1F;
            EXPECT_EQ(style & kindMask, c.kind);
            EXPECT_EQ(style & (WS_GROUP | WS_TABSTOP | WS_DISABLED), c.flags);

            RECT placed{};
            GetWindowRect(child, &placed);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
            const RECT expected = InDialogPixels(dialog, c.x, c.y, c.width, c.height);
            if (c.kind != SS_ICON) {  // an icon control takes the icon's own size
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
    ExpectMenuMatches(IDR_MENU_FILE, FileMenu());
    const RightClick kinds[] = {RightClick::PowerMenu,       RightClick::AudioMenu,
                                RightClick::VideoMenu,       RightClick::TapeMonitorMenu,
                                RightClick::MultiSourceMenu, RightClick::ModeMenu};
    for (RightClick kind : kinds) {
        const MenuDefinition* definition = HotSpotMenu(kind);
        ASSERT_NE(definition, nullptr);
        ExpectMenuMatches(MenuResourceFor(kind), *definition);
    }
    for (RightClick kind : {RightClick::None, RightClick::LevelsPopup, RightClick::TonePopup})
        EXPECT_EQ(MenuResourceFor(kind), 0);
}

TEST(StringTable, HoldsTheCoresMessagesAndTheTitle) {
    for (int id : {IDS_PORT_OPEN_FAILED, IDS_PORT_CONFIGURE_FAILED, IDS_THREAD_FAILED,
                   IDS_FIRST_RUN, IDS_NAMES_READ_FAILED, IDS_NAMES_WRITE_FAILED}) {
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
