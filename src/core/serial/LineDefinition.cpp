#include "serial/LineDefinition.h"

#include <cctype>
#include <charconv>
#include <string>
#include <vector>

namespace r512 {

namespace {

std::string Lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

bool ParseUnsigned(std::string_view text, std::uint32_t& value) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

// The two-digit abbreviations of the classic mode command: "96" is 9600, "19" 19200, and so on.
std::uint32_t ExpandBaud(std::uint32_t value) {
    switch (value) {
        case 11:
            return 110;
        case 15:
            return 150;
        case 30:
            return 300;
        case 60:
            return 600;
        case 12:
            return 1200;
        case 24:
            return 2400;
        case 48:
            return 4800;
        case 96:
            return 9600;
        case 19:
            return 19200;
        default:
            return value;
    }
}

bool ParseBaud(std::string_view text, LineSettings& settings) {
    std::uint32_t value = 0;
    if (!ParseUnsigned(text, value) || value == 0) return false;
    settings.baud = ExpandBaud(value);
    return true;
}

bool ParseParity(std::string_view text, LineSettings& settings) {
    const std::string p = Lower(text);
    if (p == "n")
        settings.parity = LineSettings::Parity::None;
    else if (p == "e")
        settings.parity = LineSettings::Parity::Even;
    else if (p == "o")
        settings.parity = LineSettings::Parity::Odd;
    else if (p == "m")
        settings.parity = LineSettings::Parity::Mark;
    else if (p == "s")
        settings.parity = LineSettings::Parity::Space;
    else
        return false;
    return true;
}

bool ParseDataBits(std::string_view text, LineSettings& settings) {
    std::uint32_t value = 0;
    if (!ParseUnsigned(text, value) || value < 5 || value > 8) return false;
    settings.dataBits = static_cast<std::uint8_t>(value);
    return true;
}

bool ParseStopBits(std::string_view text, LineSettings& settings) {
    if (text == "1")
        settings.stopBits = LineSettings::StopBits::One;
    else if (text == "1.5")
        settings.stopBits = LineSettings::StopBits::OnePointFive;
    else if (text == "2")
        settings.stopBits = LineSettings::StopBits::Two;
    else
        return false;
    return true;
}

bool IsSwitch(std::string_view key, std::string_view value) {
    static const char* const kSwitches[] = {"to", "xon", "odsr", "octs", "dtr", "rts", "idsr"};
    bool known = false;
    for (const char* name : kSwitches) known = known || key == name;
    if (!known) return false;
    const std::string v = Lower(value);
    return v == "on" || v == "off" || v == "hs" || v == "tg";
}

std::vector<std::string_view> Split(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find_first_of(separators, start);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        if (stop > start) parts.push_back(text.substr(start, stop - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return parts;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// "9600,n,8,1": baud, then optionally parity, data bits and stop bits, by position.
bool ParsePositional(std::string_view text, LineSettings& settings) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(Trim(text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (fields.size() > 5 || fields[0].empty() || !ParseBaud(fields[0], settings)) return false;
    if (fields.size() > 1 && !fields[1].empty() && !ParseParity(fields[1], settings)) return false;
    if (fields.size() > 2 && !fields[2].empty() && !ParseDataBits(fields[2], settings))
        return false;
    if (fields.size() > 3 && !fields[3].empty() && !ParseStopBits(fields[3], settings))
        return false;
    if (fields.size() > 4 && !fields[4].empty()) {
        const std::string handshake = Lower(fields[4]);
        if (handshake != "x" && handshake != "p") return false;
    }
    return true;
}

}  // namespace

bool ParseLineDefinition(std::string_view definition, LineSettings& settings) {
    std::string_view text = Trim(definition);
    // An optional "COMn:" prefix names the port; the settings follow it.
    if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
        const std::string prefix = Lower(Trim(text.substr(0, colon)));
        if (prefix.rfind("com", 0) != 0) return false;
        text = Trim(text.substr(colon + 1));
    }
    if (text.empty()) return false;

    if (text.find('=') == std::string_view::npos) return ParsePositional(text, settings);

    for (std::string_view item : Split(text, " \t")) {
        const std::size_t eq = item.find('=');
        if (eq == std::string_view::npos || eq == 0) return false;
        const std::string key = Lower(item.substr(0, eq));
        const std::string_view value = item.substr(eq + 1);
        bool ok = false;
        if (key == "baud")
            ok = ParseBaud(value, settings);
        else if (key == "parity")
            ok = ParseParity(value, settings);
        else if (key == "data")
            ok = ParseDataBits(value, settings);
        else if (key == "stop")
            ok = ParseStopBits(value, settings);
        else
            ok = IsSwitch(key, value);
        if (!ok) return false;
    }
    return true;
}

}  // namespace r512
