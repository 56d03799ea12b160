// The desktop program's saved port and speed on Linux: its settings file, found where its
// settings library looks: the user's file, then the organisation-wide one, then the same two in
// each system configuration folder.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/QSettingsIni.h"
#include "base/SavedPort.h"
#include "base/SettingsLayout.h"

namespace r512 {

namespace {

std::vector<std::string> ConfigFolders() {
    std::vector<std::string> folders;
    const char* home = std::getenv("HOME");
    const char* user = std::getenv("XDG_CONFIG_HOME");
    if (user != nullptr && *user != '\0') {
        folders.push_back(user);
    } else if (home != nullptr) {
        folders.push_back(std::string(home) + "/.config");
    }
    const char* system = std::getenv("XDG_CONFIG_DIRS");
    std::string list = system != nullptr && *system != '\0' ? system : "/etc/xdg";
    std::stringstream parts(list);
    for (std::string folder; std::getline(parts, folder, ':');) {
        if (!folder.empty()) folders.push_back(folder);
    }
    return folders;
}

std::optional<std::string> Lookup(const char* key) {
    const std::string organisation = settings::kOrganisation;
    for (const std::string& folder : ConfigFolders()) {
        for (const std::string& file :
             {folder + "/" + organisation + "/" + settings::kApplication + ".conf",
              folder + "/" + organisation + ".conf"}) {
            std::ifstream in(file, std::ios::binary);
            if (!in) continue;
            std::stringstream text;
            text << in.rdbuf();
            if (auto value = IniStringValue(text.str(), settings::kConfig, key)) return value;
        }
    }
    return std::nullopt;
}

}  // namespace

SavedPort ReadSavedPort() {
    SavedPort saved{settings::kDefaultPort, settings::kDefaultSpeed};
    if (auto port = Lookup(settings::kPort)) saved.port = *port;
    if (auto speed = Lookup(settings::kSpeed)) {
        // A value that is no number (edited by hand, say) reads as missing.
        char* end = nullptr;
        const long number = std::strtol(speed->c_str(), &end, 10);
        if (end != speed->c_str() && *end == '\0') saved.speed = static_cast<int>(number);
    }
    return saved;
}

}  // namespace r512
