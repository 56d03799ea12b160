// The resource script as the dialog manager and the menu functions read it: the dialogs' frames
// (their controls are held to the core's templates by DialogTemplateMatch), the context menus
// against the core's menu table, and the string table against the core's messages.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/Messages.h"
#include "base/SettingsLayout.h"
#include "ui/MenuTable.h"
#include "win32/MenuResources.h"
#include "win32/Win32Resources.h"

namespace r512::test {
namespace {

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

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
