#include "serial/SocketPortName.h"

#include <cctype>

namespace r512 {

namespace {
constexpr std::string_view kScheme = "socket://";
}  // namespace

bool IsSocketPortName(std::string_view portName) {
    if (portName.size() < kScheme.size()) return false;
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(portName[i])) != kScheme[i]) return false;
    }
    return true;
}

bool ParseSocketPortName(std::string_view portName, SocketAddress& address) {
    if (!IsSocketPortName(portName)) return false;
    std::string_view rest = portName.substr(kScheme.size());
    // A bridge's address may be followed by a slash or options in some tools; ours takes none.
    std::string_view host;
    std::string_view port;
    if (!rest.empty() && rest.front() == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos || close + 1 >= rest.size() || rest[close + 1] != ':')
            return false;
        host = rest.substr(1, close - 1);
        port = rest.substr(close + 2);
    } else {
        const std::size_t colon = rest.rfind(':');
        if (colon == std::string_view::npos) return false;
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
        if (host.find(':') != std::string_view::npos) return false;  // IPv6 needs brackets
    }
    if (host.empty() || port.empty() || port.size() > 5) return false;
    unsigned long number = 0;
    for (char c : port) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        number = number * 10 + static_cast<unsigned long>(c - '0');
    }
    if (number < 1 || number > 65535) return false;
    address.host = std::string(host);
    address.port = std::to_string(number);
    return true;
}

}  // namespace r512
