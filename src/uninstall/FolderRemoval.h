#pragma once
// Removes the installation folder and its parent (the maker's folder, typically), each only when
// it is empty.
#include "ShellFolders.h"

namespace r512::uninstall {

// installFolder ends in a backslash. Makes the Windows folder the current directory first, since
// a process can't remove its own current directory. Neither folder is removed when it is a
// drive, a root or one of the shell's special folders (see IsRemovableFolder), so that an
// installation at "D:\R512" or on the desktop never takes "D:" or the desktop with it.
void RemoveInstallationFolders(const char* installFolder, installer::ShellFolders& folders);

}  // namespace r512::uninstall
