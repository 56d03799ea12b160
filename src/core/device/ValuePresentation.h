#pragma once

#include <cstdint>
#include <string>

namespace r512 {

// What the user sees of a register's raw byte. Only the low 8 bits of each argument count.

// The signed number shown for a register: volumes are the byte minus 100, tone and speaker
// levels the byte minus 12, everything else the byte itself.
int DisplayValue(unsigned value, unsigned registerCode);

// "Video 1" to "Video 6", "CD", "Aux", "Tuner", "Ext 5.1"; empty for any other value.
std::string SourceName(unsigned value);

// The listening mode, written for the front-panel font ("[]" draws the double-D mark, "@" ".1").
std::string ModeName(unsigned value);

std::string SignalTypeName(unsigned value);
std::string AudioInputName(unsigned value);
std::string VideoInputName(unsigned value);
std::string TvSystemName(unsigned value);

}  // namespace r512
