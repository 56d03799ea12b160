#pragma once
// Which folders the uninstaller may remove when they are empty. The installation folder and its
// parent come from a command line, so they may be anything: a drive's root, or a folder the
// system and the user need even when it happens to be empty.
#include "ShellFolders.h"

namespace r512::uninstall {

// False for a folder that must never be removed: an empty path, a path that is not a full one
// (a bare drive "D:", which the system reads as the current folder on drive D, or a relative
// path), the root of a drive or of a network share, and the shell's special folders (the
// desktop, the Programs folder and the Start Menu, the user's profile and documents, Program
// Files, Windows, ...), as folders reports them. A trailing backslash is ignored.
bool IsRemovableFolder(const char* folder, installer::ShellFolders& folders);

}  // namespace r512::uninstall
