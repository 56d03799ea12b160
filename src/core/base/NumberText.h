#pragma once

#include <cstdlib>
#include <string>

namespace r512 {

// A whole decimal number given on a command line or in a setting: the whole text must be the
// number, and it must lie within [low, high].
inline bool ParseIntInRange(const std::string& text, long low, long high, int& value) {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < low || number > high) return false;
    value = static_cast<int>(number);
    return true;
}

}  // namespace r512
