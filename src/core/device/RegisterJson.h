#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace r512 {

// A quoted string literal for single-byte text: quotes and backslashes escaped with a backslash,
// control bytes and bytes from 0x7F up written with `byteEscape`, a printf format of one byte
// (JSON's \u%04X, the names file's \x%02X).
std::string QuoteText(std::string_view text, const char* byteEscape);

// A JSON string literal; bytes from 0x80 up, which the device's texts never hold, as \u00XX.
inline std::string JsonQuote(std::string_view text) { return QuoteText(text, "\\u%04X"); }

// The unit of a register's number as the user reads it: "dB" for the volumes, tone and speaker
// levels, "" for every register whose number is no level.
const char* RegisterUnit(std::uint8_t code);

// One register as a JSON object, the one shape that every program of the system writes
// (r512ctl's --json, r512d's JSON clients and web page, r512-mqtt):
//   {"code":225,"name":"RS_VOLUME","value":65,"display":-35,"unit":"dB","text":"vol: -35"}
// "value" is the device's byte, "display" the number the display shows for it, "unit" as
// RegisterUnit ("" where there is none), "text" the program's words for it. A register the
// device has not reported has null for value, display and text.
std::string RegisterJson(std::uint8_t code, std::uint8_t value, bool reported);

}  // namespace r512
