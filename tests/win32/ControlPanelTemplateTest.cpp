// The resource script's Control Panel against the core's template of it, the one the Qt panel is
// built from: where the two disagree, the two programs would show different panels.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "DialogTemplateMatch.h"
#include "ui/ControlPanelTemplate.h"
#include "win32/Win32Resources.h"

namespace r512::test {
namespace {

TEST(ControlPanelTemplate, ResourceScriptHoldsTheCoresTemplate) {
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));  // its up-down controls
    ExpectResourceMatches(IDD_CONTROL_PANEL, kControlPanelTemplate);
}

}  // namespace
}  // namespace r512::test
