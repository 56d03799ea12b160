#include "ctl/RegisterLine.h"

#include <cstdio>

#include "device/Protocol.h"
#include "device/RegisterJson.h"
#include "device/RegisterText.h"

namespace r512::ctl {

std::string RegisterLine(std::uint8_t code, std::uint8_t value, bool reported) {
    char line[128];
    if (reported) {
        std::snprintf(line, sizeof line, "%-21s %3u  %s", RegisterName(code), value,
                      RegisterText(code, value).c_str());
    } else {
        std::snprintf(line, sizeof line, "%-21s   -  (not reported)", RegisterName(code));
    }
    return line;
}

}  // namespace r512::ctl
