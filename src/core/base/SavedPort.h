#pragma once

#include <string>

namespace r512 {

// The port and speed the desktop program saved ("Config" section), read without its toolkit:
// the settings file on Linux (SavedPortPosix.cpp), the registry on Windows (SavedPortWin32.cpp).
// What is missing or unreadable takes the program's default ("COM1", 12000).
struct SavedPort {
    std::string port;
    int speed;
};

SavedPort ReadSavedPort();

}  // namespace r512
