#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace r512 {

// The system's words for a Win32 or Winsock error code, on one line and without the closing
// full stop, to stand in parentheses after a message ("Access is denied").
inline std::string SystemErrorText(DWORD code) {
    char text[512] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string line(text, length);
    while (!line.empty() &&
           (line.back() == '\n' || line.back() == '\r' || line.back() == ' ' || line.back() == '.'))
        line.pop_back();
    return line.empty() ? "error " + std::to_string(code) : line;
}

}  // namespace r512
