#include "device/NamesText.h"

#include <cstdio>
#include <sstream>
#include <string_view>

#include "device/RegisterJson.h"

namespace r512::names_text {

namespace {

constexpr const char* kFieldNames[names_fields::kCount] = {
    "source-1", "source-2", "source-3",  "source-4",  "source-5",  "source-6", "source-7",
    "source-8", "source-9", "welcome-1", "welcome-2", "standby-1", "standby-2"};

std::string TrimmedRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string Quoted(const std::string& text) { return QuoteText(text, "\\x%02X"); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The text between the quotes of `value`; false for a value that is not one quoted text.
bool Unquote(const std::string& value, std::string& text) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return false;
    text.clear();
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        char c = value[i];
        if (c == '"') return false;  // a quote inside must be escaped
        if (c == '\\') {
            if (i + 2 >= value.size()) return false;
            c = value[++i];
            if (c == 'x') {
                if (i + 3 >= value.size() || HexDigit(value[i + 1]) < 0 ||
                    HexDigit(value[i + 2]) < 0)
                    return false;
                c = static_cast<char>(HexDigit(value[i + 1]) * 16 + HexDigit(value[i + 2]));
                i += 2;
            } else if (c != '"' && c != '\\') {
                return false;
            }
        }
        text += c;
    }
    return true;
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

const char* FieldName(int index) {
    return index >= 0 && index < names_fields::kCount ? kFieldNames[index] : "";
}

std::string Format(const names_fields::Texts& texts) {
    std::string out;
    for (int i = 0; i < names_fields::kCount; ++i)
        out += std::string(kFieldNames[i]) + " = " + Quoted(TrimmedRight(texts[i])) + "\n";
    return out;
}

std::string FormatJson(const names_fields::Texts& texts) {
    std::string out = "{";
    for (int i = 0; i < names_fields::kCount; ++i) {
        if (i > 0) out += ',';
        out += JsonQuote(kFieldNames[i]);
        out += ':';
        out += JsonQuote(TrimmedRight(texts[i]));
    }
    return out + "}\n";
}

std::optional<ParseError> Parse(const std::string& file, names_fields::Texts& texts) {
    // Editors on Windows start a UTF-8 file with a byte order mark; it is no part of the text.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    const bool marked = std::string_view(file).substr(0, kByteOrderMark.size()) == kByteOrderMark;
    std::istringstream lines(marked ? file.substr(kByteOrderMark.size()) : file);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) { return ParseError{number, what}; };
    names_fields::Texts result = texts;
    int givenOn[names_fields::kCount] = {};  // the line that gave each field; 0: none yet
    while (std::getline(lines, line)) {
        ++number;
        const std::string content = Trim(line);
        if (content.empty() || content.front() == '#') continue;
        const std::size_t equals = content.find('=');
        if (equals == std::string::npos) return fail("expected field = \"text\"");
        const std::string name = Trim(content.substr(0, equals));
        int index = -1;
        for (int i = 0; i < names_fields::kCount; ++i) {
            if (name == kFieldNames[i]) index = i;
        }
        if (index < 0)
            return fail("no field '" + name + "' (source-1..9, welcome-1/2, standby-1/2)");
        // Which of two texts the user meant is not for the program to guess.
        int& first = givenOn[static_cast<std::size_t>(index)];
        if (first != 0)
            return fail(name + " is given twice (first on line " + std::to_string(first) + ")");
        first = number;
        std::string text;
        if (!Unquote(Trim(content.substr(equals + 1)), text))
            return fail(name + ": the text must stand in double quotes (\\\" for a quote)");
        const int width = names_fields::kFields[static_cast<std::size_t>(index)].width;
        if (static_cast<int>(text.size()) > width) {
            return fail(name + ": " + std::to_string(text.size()) + " characters, at most " +
                        std::to_string(width));
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (!names_fields::IsValidByte(static_cast<std::uint8_t>(text[i]))) {
                char byte[8];
                std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(text[i]));
                return fail(name + ": character " + std::to_string(i + 1) + " (" + byte +
                            ") can't be stored in the device (only 0x14 to 0x7F)");
            }
        }
        result[static_cast<std::size_t>(index)] = text;
    }
    texts = result;
    return std::nullopt;
}

}  // namespace r512::names_text
