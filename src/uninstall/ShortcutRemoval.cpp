#include "ShortcutRemoval.h"

#include "InstallLayout.h"
#include "PathText.h"

namespace r512::uninstall {

using installer::AppendText;
using installer::CopyText;

void RemoveShortcuts(installer::ShellFolders& folders) {
    char folder[MAX_PATH];
    if (folders.PathOf(CSIDL_PROGRAMS, folder) && AppendText(folder, installer::kMakerFolderTail)) {
        char link[MAX_PATH];
        if (CopyText(link, folder) && AppendText(link, installer::kShortcutTail)) {
            DeleteFileA(link);
        }
        // Leaves the folder when other shortcuts of the maker are still in it.
        RemoveDirectoryA(folder);
    }
    char link[MAX_PATH];
    if (folders.PathOf(CSIDL_DESKTOPDIRECTORY, link) &&
        AppendText(link, installer::kShortcutTail)) {
        DeleteFileA(link);
    }
}

}  // namespace r512::uninstall
