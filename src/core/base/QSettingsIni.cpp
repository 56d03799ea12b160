#include "base/QSettingsIni.h"

#include <cctype>

namespace r512 {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Section and key names: "%XX" stands for a byte, "%UXXXX" for a character (as UTF-8).
std::string UnescapeName(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '%' && i + 5 < name.size() && name[i + 1] == 'U') {
            unsigned code = 0;
            bool ok = true;
            for (std::size_t j = i + 2; j <= i + 5; ++j) {
                const int digit = HexDigit(name[j]);
                ok = ok && digit >= 0;
                code = code * 16 + static_cast<unsigned>(digit < 0 ? 0 : digit);
            }
            if (ok) {
                AppendUtf8(out, code);
                i += 5;
                continue;
            }
        }
        if (name[i] == '%' && i + 2 < name.size() && HexDigit(name[i + 1]) >= 0 &&
            HexDigit(name[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(name[i + 1]) * 16 + HexDigit(name[i + 2]));
            i += 2;
            continue;
        }
        out += name[i];
    }
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// The value after "=": unquoted blanks at either end are dropped, quoted parts are kept as they
// stand, an unquoted comma makes a list (no plain string), and backslash escapes apply
// everywhere.
std::optional<std::string> UnescapeValue(std::string_view raw) {
    raw = Trim(raw);
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (c == ',' && !quoted) return std::nullopt;  // a list of strings
        if (c != '\\' || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const char e = raw[++i];
        switch (e) {
            case 'a':
                out += '\a';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'v':
                out += '\v';
                break;
            case 'x': {
                unsigned code = 0;
                while (i + 1 < raw.size() && HexDigit(raw[i + 1]) >= 0)
                    code = code * 16 + static_cast<unsigned>(HexDigit(raw[++i]));
                out += static_cast<char>(code & 0xFF);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned code = static_cast<unsigned>(e - '0');
                    while (i + 1 < raw.size() && raw[i + 1] >= '0' && raw[i + 1] <= '7')
                        code = code * 8 + static_cast<unsigned>(raw[++i] - '0');
                    out += static_cast<char>(code & 0xFF);
                } else {
                    out += e;  // \" \\ \' \? and anything else stand for themselves
                }
                break;
        }
    }
    if (out.size() >= 2 && out[0] == '@' && out[1] == '@') return out.substr(1);
    if (!out.empty() && out[0] == '@') return std::nullopt;  // a typed value, not a string
    return out;
}

}  // namespace

std::optional<std::string> IniStringValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
    // A file saved by an editor that marks UTF-8 starts with a byte order mark.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    bool inSection = false;
    std::optional<std::string> found;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        line = Trim(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            inSection = close != std::string_view::npos &&
                        UnescapeName(line.substr(1, close - 1)) == section;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) continue;
        if (UnescapeName(Trim(line.substr(0, equals))) != key) continue;
        // The last of several lines for one key holds, as when the file is read back.
        found = UnescapeValue(line.substr(equals + 1));
    }
    return found;
}

}  // namespace r512
