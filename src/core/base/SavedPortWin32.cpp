// The desktop program's saved port and speed on Windows: its registry key, strings as REG_SZ and
// numbers as REG_DWORD; a value of another type reads as missing.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

#include "base/SavedPort.h"
#include "base/SettingsLayout.h"

namespace r512 {

namespace {

std::string ConfigKey() {
    return std::string("Software\\") + settings::kOrganisation + "\\" + settings::kApplication +
           "\\" + settings::kConfig;
}

}  // namespace

SavedPort ReadSavedPort() {
    SavedPort saved{settings::kDefaultPort, settings::kDefaultSpeed};
    const std::string key = ConfigKey();
    char text[MAX_PATH] = "";
    DWORD size = sizeof text;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), settings::kPort, RRF_RT_REG_SZ, nullptr, text,
                     &size) == ERROR_SUCCESS)
        saved.port = text;
    DWORD speed = 0;
    size = sizeof speed;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), settings::kSpeed, RRF_RT_REG_DWORD, nullptr,
                     &speed, &size) == ERROR_SUCCESS)
        saved.speed = static_cast<int>(speed);
    return saved;
}

}  // namespace r512
