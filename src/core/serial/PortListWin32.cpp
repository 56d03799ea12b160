#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "serial/PortList.h"

namespace r512 {

namespace {

// The number of a "COMn" name, or 0 for any other name.
unsigned long ComNumber(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return 0;
    for (std::size_t i = 3; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
    return std::strtoul(name.c_str() + 3, nullptr, 10);
}

// COM ports by their number (COM2 before COM10), then any other names in alphabetical order.
bool ComesBefore(const std::string& a, const std::string& b) {
    const unsigned long x = ComNumber(a), y = ComNumber(b);
    if ((x != 0) != (y != 0)) return x != 0;
    if (x != y) return x < y;
    return a < b;
}

}  // namespace

// The serial-port map that the port drivers keep in the registry: one value per port present
// now, its data the port's name (a USB adapter appears while it is plugged in).
std::vector<std::string> ListSerialPorts() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return {};
    std::vector<std::string> ports;
    for (DWORD index = 0;; ++index) {
        char valueName[256];
        DWORD valueNameSize = sizeof(valueName);
        char data[64] = {};
        DWORD dataSize = sizeof(data) - 1;  // room for a terminator the data may lack
        DWORD type = REG_NONE;
        const LONG result = RegEnumValueA(key, index, valueName, &valueNameSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        // An overlong or odd value names no port that could be typed either: skipped.
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;
        const std::string name(data);  // up to the first terminator
        if (!name.empty() && std::find(ports.begin(), ports.end(), name) == ports.end())
            ports.push_back(name);
    }
    RegCloseKey(key);
    std::sort(ports.begin(), ports.end(), ComesBefore);
    return ports;
}

bool PortNamesAreCaseSensitive() { return false; }

}  // namespace r512
