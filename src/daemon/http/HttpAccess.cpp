#include "http/HttpAccess.h"

#include <boost/asio/ip/address.hpp>
#include <cctype>

namespace r512::http {

namespace {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool IsTokenCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_' ||
           c == '~';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

}  // namespace

bool IsLoopbackAddress(std::string_view address) {
    if (address.size() >= 2 && address.front() == '[' && address.back() == ']') {
        address = address.substr(1, address.size() - 2);
    }
    if (SameTextIgnoringCase(address, "localhost")) return true;
    boost::system::error_code error;
    const auto parsed = boost::asio::ip::make_address(std::string(address), error);
    if (error) return false;
    if (parsed.is_v4()) return parsed.to_v4().is_loopback();
    const auto v6 = parsed.to_v6();
    if (v6.is_v4_mapped()) {
        return boost::asio::ip::make_address_v4(boost::asio::ip::v4_mapped, v6).is_loopback();
    }
    return v6.is_loopback();
}

TokenRule TokenRuleFor(std::string_view listenAddress, bool tokenFileGiven) {
    if (tokenFileGiven) return TokenRule::Required;
    return IsLoopbackAddress(listenAddress) ? TokenRule::NotNeeded : TokenRule::Missing;
}

std::string TokenFromFileText(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = Trim(text.substr(0, end));
    if (line.empty() || line.size() > 256) return {};
    for (char c : line) {
        if (!IsTokenCharacter(c)) return {};
    }
    return std::string(line);
}

bool SameToken(std::string_view given, std::string_view expected) {
    unsigned difference = given.size() == expected.size() ? 0 : 1;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const char g = i < given.size() ? given[i] : '\0';
        difference |= static_cast<unsigned char>(g) ^ static_cast<unsigned char>(expected[i]);
    }
    return difference == 0 && !expected.empty();
}

std::string_view TargetPath(std::string_view target) { return target.substr(0, target.find('?')); }

std::optional<std::string> QueryValue(std::string_view target, std::string_view name) {
    const std::size_t question = target.find('?');
    if (question == std::string_view::npos) return std::nullopt;
    std::string_view query = target.substr(question + 1);
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        const std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos && pair.substr(0, equals) == name) {
            return std::string(pair.substr(equals + 1));
        }
        if (amp == std::string_view::npos) break;
        query.remove_prefix(amp + 1);
    }
    return std::nullopt;
}

std::optional<std::string> CookieValue(std::string_view cookieHeader, std::string_view name) {
    while (!cookieHeader.empty()) {
        const std::size_t semicolon = cookieHeader.find(';');
        const std::string_view pair = Trim(cookieHeader.substr(0, semicolon));
        const std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos && Trim(pair.substr(0, equals)) == name) {
            return std::string(Trim(pair.substr(equals + 1)));
        }
        if (semicolon == std::string_view::npos) break;
        cookieHeader.remove_prefix(semicolon + 1);
    }
    return std::nullopt;
}

bool OriginMatchesHost(std::string_view origin, std::string_view host) {
    if (host.empty()) return false;
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (origin.size() > scheme.size() &&
            SameTextIgnoringCase(origin.substr(0, scheme.size()), scheme)) {
            return SameTextIgnoringCase(origin.substr(scheme.size()), host);
        }
    }
    return false;
}

std::string_view HostName(std::string_view host) {
    if (!host.empty() && host.front() == '[') {
        const std::size_t close = host.find(']');
        return close == std::string_view::npos ? host : host.substr(1, close - 1);
    }
    const std::size_t colon = host.find(':');
    if (colon != std::string_view::npos && host.find(':', colon + 1) != std::string_view::npos) {
        return host;  // a bare IPv6 address, no port
    }
    return host.substr(0, colon);
}

}  // namespace r512::http
