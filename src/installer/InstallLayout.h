#pragma once
// The names of everything that setup creates and uninstall removes. Both programs must agree on
// them to the letter, so they live in one place.

namespace r512::installer {

// Caption of uninstall's message boxes and description of the shortcuts.
inline constexpr char kProductName[] = "R512 Control Software";

// The system's list of installed programs, under HKEY_LOCAL_MACHINE, and our entry in it.
inline constexpr char kUninstallListKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char kUninstallEntryName[] = "R512 Control";

// Appended to the Programs folder: the maker's Start Menu folder.
inline constexpr char kMakerFolderTail[] = "\\ZEL";
// Appended to the maker's Start Menu folder and to the desktop folder.
inline constexpr char kShortcutTail[] = "\\R512 Control Software.lnk";

}  // namespace r512::installer
