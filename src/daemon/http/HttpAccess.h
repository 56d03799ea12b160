#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace r512::http {

// Who may use the web remote: the decisions, without any network, so that a rule about an
// address the tests may never reach is checked without traffic.

// Whether an address as given on the command line or in a Host header is the machine itself:
// 127.0.0.0/8, ::1, an IPv4-mapped 127.x address, or the name "localhost". Any other address or
// name (0.0.0.0 and :: included, which listen on every interface) is not.
bool IsLoopbackAddress(std::string_view address);

// How the token applies to a server listening on `listenAddress`.
enum class TokenRule {
    NotNeeded,  // loopback and no token file: the machine's own users only
    Required,   // a token file was given: every request shows the token
    Missing,    // another address and no token file: the server must not start
};
TokenRule TokenRuleFor(std::string_view listenAddress, bool tokenFileGiven);

// A token as a token file holds it: the first line without surrounding blanks. Empty when the
// text is no usable token (empty, longer than 256 characters, or with a character outside
// letters, digits and "-._~", which travel unchanged in a URL and a cookie).
std::string TokenFromFileText(std::string_view text);

// Equal texts, compared in a time that does not depend on where they differ.
bool SameToken(std::string_view given, std::string_view expected);

// The value of `name` in a request target's query ("/ws?token=abc" gives "abc" for "token").
std::optional<std::string> QueryValue(std::string_view target, std::string_view name);

// The path of a request target, without its query.
std::string_view TargetPath(std::string_view target);

// The value of cookie `name` in a Cookie header ("a=1; r512_token=abc").
std::optional<std::string> CookieValue(std::string_view cookieHeader, std::string_view name);

// Whether a WebSocket's Origin is the page that this server served at `host` (the Host header):
// "http://" or "https://" followed by exactly that host, letter case aside.
bool OriginMatchesHost(std::string_view origin, std::string_view host);

// The host part of a Host header: "127.0.0.1:8080" gives "127.0.0.1", "[::1]:80" gives "::1".
std::string_view HostName(std::string_view host);

}  // namespace r512::http
