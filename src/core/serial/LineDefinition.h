#pragma once

#include <cstdint>
#include <string_view>

namespace r512 {

// The line settings that a definition string such as "baud=11520 parity=N data=8 stop=1"
// describes. The older "9600,n,8,1" form is understood as well.
struct LineSettings {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OnePointFive, Two };

    std::uint32_t baud = 9600;
    Parity parity = Parity::None;
    std::uint8_t dataBits = 8;
    StopBits stopBits = StopBits::One;
};

// Parses a line definition. Settings that the text doesn't name keep the values that
// `settings` holds on entry. Returns false (settings then undefined) for a text that names an
// unknown setting or an impossible value; flow-control and time-out switches (xon, odsr, octs,
// dtr, rts, idsr, to) are accepted and ignored, since the link sets flow control itself.
bool ParseLineDefinition(std::string_view definition, LineSettings& settings);

}  // namespace r512
