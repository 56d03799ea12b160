#pragma once

#include <cstdint>
#include <string>

namespace r512 {

// A register's value in words, as the front panel and the Control Panel show it: "vol: -35",
// "Dolby Digit.", "Bass +3", "on"/"off" for the switches. The listening modes are written as
// plain text (the panel font's double-D mark as "DD", its ".1" glyph as ".1"). A value that has
// no name reads as its number.
std::string RegisterText(std::uint8_t code, std::uint8_t value);

// A text of the panel font in plain text: its double-D mark ("[]") as "DD", its ".1" glyph ("@")
// as ".1".
std::string PlainPanelText(const std::string& text);

}  // namespace r512
