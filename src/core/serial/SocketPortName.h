#pragma once

#include <string>
#include <string_view>

namespace r512 {

// A port name of the form "socket://HOST:PORT" stands for a raw TCP connection instead of a
// serial device (the convention serial-to-Ethernet bridges and their users know). HOST is a name
// or an address; an IPv6 address is written in brackets ("socket://[::1]:4001").
struct SocketAddress {
    std::string host;
    std::string port;  // decimal, 1 to 65535
};

// Whether the name asks for a TCP connection (its scheme, in any letter case).
bool IsSocketPortName(std::string_view portName);

// Splits a socket port name; false for a name that is no socket name or lacks a host or a valid
// port number.
bool ParseSocketPortName(std::string_view portName, SocketAddress& address);

}  // namespace r512
