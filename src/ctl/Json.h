#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace r512::ctl {

// A JSON string literal for single-byte text: quotes, backslashes and control bytes escaped;
// bytes from 0x80 up, which the device's texts never hold, as \u00XX.
inline std::string JsonQuote(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace r512::ctl
