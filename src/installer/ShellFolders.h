#pragma once
// Where the user's Programs (Start Menu) and desktop folders are. Behind an interface so that
// tests can put the shortcuts into scratch folders instead of the real ones.
#include <windows.h>

#include <shlobj.h>  // CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY

namespace r512::installer {

class ShellFolders {
public:
    virtual ~ShellFolders() = default;
    // Fills path with the folder of the shell's special folder csidl (CSIDL_PROGRAMS,
    // CSIDL_DESKTOPDIRECTORY). False when the shell does not know the folder.
    virtual bool PathOf(int csidl, char (&path)[MAX_PATH]) = 0;
};

// The shell's own answer, from SHGetSpecialFolderLocation and SHGetPathFromIDListA.
class SystemShellFolders final : public ShellFolders {
public:
    bool PathOf(int csidl, char (&path)[MAX_PATH]) override;
};

}  // namespace r512::installer
