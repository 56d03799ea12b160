#include "ui/PortChoice.h"

#include <cctype>

#include "base/SettingsLayout.h"

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

PortChoice PortChoice::Load(Profile& profile) {
    using namespace settings;
    return FromSettings(profile.GetProfileString(kConfig, kPort, kDefaultPort),
                        profile.GetProfileInt(kConfig, kSpeed, kDefaultSpeed));
}

void PortChoice::Store(Profile& profile) const {
    profile.WriteProfileString(settings::kConfig, settings::kPort, PortName());
    profile.WriteProfileInt(settings::kConfig, settings::kSpeed, Speed());
}

std::string PortChoice::PortName() const {
    if (port >= 0 && port < 4) return "COM" + std::to_string(port + 1);
    std::string name = otherName;
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
    return name;
}

}  // namespace r512
