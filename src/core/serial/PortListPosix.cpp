#include <glob.h>

#include <algorithm>

#include "serial/PortList.h"

namespace r512 {

namespace {

std::vector<std::string> Glob(const char* pattern) {
    std::vector<std::string> paths;
    glob_t found{};
    if (::glob(pattern, 0, nullptr, &found) == 0) {
        for (std::size_t i = 0; i < found.gl_pathc; ++i) paths.emplace_back(found.gl_pathv[i]);
    }
    ::globfree(&found);
    return paths;
}

}  // namespace

std::vector<std::string> ListSerialPorts() {
    std::vector<std::string> ports;
    for (const char* pattern :
         {"/dev/serial/by-id/*", "/dev/ttyUSB*", "/dev/ttyACM*", "/dev/ttyS*"}) {
        std::vector<std::string> paths = Glob(pattern);
        std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
            // ttyS2 before ttyS10.
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        });
        ports.insert(ports.end(), paths.begin(), paths.end());
    }
    return ports;
}

bool PortNamesAreCaseSensitive() { return true; }

}  // namespace r512
