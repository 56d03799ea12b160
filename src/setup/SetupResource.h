#pragma once
// Identifiers of setup's dialog template (resources/setup.rc) and its controls. Plain macros:
// the resource compiler reads this file too.

#define IDD_SETUP 101
#define IDC_START_MENU_SHORTCUT 1000
#define IDC_DESKTOP_SHORTCUT 1001
#define IDC_RUN_PROGRAM 1002

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
