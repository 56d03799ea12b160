#include "ui/PortChoice.h"

#include <cctype>

namespace r512 {

PortChoice PortChoice::FromSettings(const std::string& port, int speed) {
    PortChoice choice;
    if (port.size() == 4 && port.compare(0, 3, "COM") == 0 && port[3] >= '1' && port[3] <= '4') {
        choice.port = port[3] - '1';
    } else {
        choice.port = 4;
        choice.otherName = port;
    }
    choice.speed = speed == 9600 ? 1 : 0;
    return choice;
}

std::string PortChoice::PortName() const {
    if (port >= 0 && port < 4) return "COM" + std::to_string(port + 1);
    std::string name = otherName;
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
    return name;
}

}  // namespace r512
