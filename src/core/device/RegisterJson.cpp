#include "device/RegisterJson.h"

#include <cstdio>

#include "device/Protocol.h"
#include "device/RegisterText.h"
#include "device/ValuePresentation.h"

namespace r512 {

std::string QuoteText(std::string_view text, const char* byteEscape) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, byteEscape, byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const char* RegisterUnit(std::uint8_t code) {
    switch (code) {
        case RS_VOLUME:
        case RS_ZONE_VOLUME:
        case RS_TREBLE:
        case RS_BASS:
        case RS_CENTER:
        case RS_SURROUND:
        case RS_SUBWOOFER:
            return "dB";
        default:
            return "";
    }
}

std::string RegisterJson(std::uint8_t code, std::uint8_t value, bool reported) {
    std::string json = "{\"code\":" + std::to_string(code) +
                       ",\"name\":" + JsonQuote(RegisterName(code)) + ",\"value\":";
    const std::string unit = JsonQuote(RegisterUnit(code));
    if (!reported) return json + "null,\"display\":null,\"unit\":" + unit + ",\"text\":null}";
    return json + std::to_string(value) +
           ",\"display\":" + std::to_string(DisplayValue(value, code)) + ",\"unit\":" + unit +
           ",\"text\":" + JsonQuote(RegisterText(code, value)) + "}";
}

}  // namespace r512
