#include "ctl/RegisterLine.h"

#include <cstdio>

#include "ctl/Json.h"
#include "device/Protocol.h"
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

std::string RegisterJson(std::uint8_t code, std::uint8_t value, bool reported) {
    std::string json = "{\"code\":" + std::to_string(code) +
                       ",\"name\":" + JsonQuote(RegisterName(code)) + ",\"value\":";
    if (!reported) return json + "null,\"text\":null}";
    return json + std::to_string(value) + ",\"text\":" + JsonQuote(RegisterText(code, value)) + "}";
}

}  // namespace r512::ctl
