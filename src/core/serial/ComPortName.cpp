#include "serial/ComPortName.h"

#include <cctype>

namespace r512 {

std::string SystemPortPath(const std::string& portName) {
    // "COM" in any letter case, then a number of at least two digits without a leading zero.
    if (portName.size() < 5) return portName;
    for (int i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(portName[static_cast<std::size_t>(i)])) !=
            "COM"[i])
            return portName;
    }
    if (portName[3] == '0') return portName;
    for (std::size_t i = 3; i < portName.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(portName[i]))) return portName;
    }
    return "\\\\.\\" + portName;
}

}  // namespace r512
