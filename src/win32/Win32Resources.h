// The numbers of the program's Windows resources: bitmaps, cursors, icon, menus, dialog
// templates and the application's name in the string table. Plain macros, because the resource
// script reads this header too. The control and command identifiers are in ui/ResourceIds.h.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The application icon, also shown in the About box.
#define IDI_R512 128

// Cursors: the pointing hand over the buttons, the hands turning the knob down and up.
#define IDCUR_HAND 134
#define IDCUR_KNOB_DOWN 147
#define IDCUR_KNOB_UP 148

// Bitmaps: the display's font strip, the caption buttons' faces and the panel's skin.
#define IDB_FONT 151
#define IDB_MINIMIZE_UP 154
#define IDB_CLOSE_UP 155
#define IDB_CLOSE_DOWN 156
#define IDB_MINIMIZE_DOWN 157
#define IDB_SKIN 159

// Context menus, each holding one popup.
#define IDR_MENU_VIDEO 131
#define IDR_MENU_AUDIO 132
#define IDR_MENU_TAPE_MONITOR 135
#define IDR_MENU_FILE 136
#define IDR_MENU_POWER 137
#define IDR_MENU_MULTI_SOURCE 140
#define IDR_MENU_MODE 146

// Dialog templates.
#define IDD_CONFIG 158
#define IDD_CONTROL_PANEL 165
#define IDD_TONE 183
#define IDD_LEVELS 184
#define IDD_NAMES 185
#define IDD_ABOUT 186

// The application's title in the string table.
#define IDS_APPLICATION_TITLE 57344
