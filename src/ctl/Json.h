#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace r512::ctl {

// A quoted string literal for single-byte text: quotes and backslashes escaped with a backslash,
// control bytes and bytes from 0x7F up written with `byteEscape`, a printf format of one byte
// (JSON's \u%04X, the names file's \x%02X).
inline std::string QuoteText(std::string_view text, const char* byteEscape) {
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

// A JSON string literal; bytes from 0x80 up, which the device's texts never hold, as \u00XX.
inline std::string JsonQuote(std::string_view text) { return QuoteText(text, "\\u%04X"); }

}  // namespace r512::ctl
