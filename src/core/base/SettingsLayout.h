#pragma once

namespace r512::settings {

// Where the settings live: organisation and application, which name the registry key
// HKEY_CURRENT_USER\Software\ZEL\R512 Control Software (or ~/.config/ZEL/...).
inline constexpr const char* kOrganisation = "ZEL";
inline constexpr const char* kApplication = "R512 Control Software";

inline constexpr const char* kConfig = "Config";
inline constexpr const char* kPort = "Port";              // string, "COM1"
inline constexpr const char* kSpeed = "Speed";            // integer, 12000 (or 9600)
inline constexpr const char* kConfigured = "Configured";  // integer, 0 until the first run

inline constexpr const char* kPosition = "Position";
inline constexpr const char* kMainX = "main.x";  // integers, -1 when never saved
inline constexpr const char* kMainY = "main.y";
inline constexpr const char* kControlX = "control.x";
inline constexpr const char* kControlY = "control.y";
inline constexpr const char* kControlVisible = "control.visible";  // 0 or 1

inline constexpr const char* kDefaultPort = "COM1";
inline constexpr int kDefaultSpeed = 12000;
inline constexpr int kNoPosition = -1;

}  // namespace r512::settings
