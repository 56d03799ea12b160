#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace r512 {

// Reads one string value from the text of an INI file as the desktop program's settings
// library writes it: "[Section]" headers and "key=value" lines, names with %XX escapes, values
// with quoted parts (kept whole, spaces and all), backslash escapes (\" \\ \t \n \xHH ...),
// "@@" for a leading "@". Returns nothing when the key is missing or holds no plain string
// (a list, or a typed "@Variant(...)" value).
std::optional<std::string> IniStringValue(std::string_view text, std::string_view section,
                                          std::string_view key);

}  // namespace r512
