#include "UninstallEntryRemoval.h"

#include "InstallLayout.h"

namespace r512::uninstall {

bool RemoveUninstallEntry(HKEY machineRoot) {
    HKEY list = nullptr;
    if (RegOpenKeyExA(machineRoot, installer::kUninstallListKey, 0, KEY_ALL_ACCESS, &list) !=
        ERROR_SUCCESS) {
        return false;
    }
    const bool deleted = RegDeleteKeyA(list, installer::kUninstallEntryName) == ERROR_SUCCESS;
    RegCloseKey(list);
    return deleted;
}

}  // namespace r512::uninstall
