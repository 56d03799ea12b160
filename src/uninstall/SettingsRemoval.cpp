#include "SettingsRemoval.h"

namespace r512::uninstall {
namespace {

// Opens path under root and deletes its subkey child; false when path can't be opened.
bool DeleteSubkey(HKEY root, const char* path, const char* child) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegDeleteKeyA(key, child);
    RegCloseKey(key);
    return true;
}

}  // namespace

void RemoveSettings(HKEY userRoot) {
    // The sections first: a key that still has subkeys can't be deleted.
    HKEY application = nullptr;
    if (RegOpenKeyExA(userRoot, "Software\\ZEL\\R512 Control Software", 0, KEY_ALL_ACCESS,
                      &application) == ERROR_SUCCESS) {
        RegDeleteKeyA(application, "Config");
        RegDeleteKeyA(application, "Position");
        RegCloseKey(application);
    }

    HKEY maker = nullptr;
    if (RegOpenKeyExA(userRoot, "Software\\ZEL", 0, KEY_ALL_ACCESS, &maker) != ERROR_SUCCESS) {
        return;
    }
    RegDeleteKeyA(maker, "R512 Control Software");
    DWORD subkeys = 0;
    const LONG queried = RegQueryInfoKeyA(maker, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(maker);
    // Another product of the maker still has settings here: its key stays.
    if (queried == ERROR_SUCCESS && subkeys == 0) {
        DeleteSubkey(userRoot, "Software", "ZEL");
    }
}

}  // namespace r512::uninstall
