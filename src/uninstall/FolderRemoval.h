#pragma once
// Removes the installation folder and its parent (the maker's folder, typically), each only when
// it is empty.

namespace r512::uninstall {

// installFolder ends in a backslash. Makes the Windows folder the current directory first, since
// a process can't remove its own current directory.
void RemoveInstallationFolders(const char* installFolder);

}  // namespace r512::uninstall
