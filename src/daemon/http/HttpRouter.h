#pragma once

#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <chrono>
#include <string>

#include "http/MessageRate.h"

namespace r512::http {

using Request = boost::beast::http::request<boost::beast::http::empty_body>;
using Response = boost::beast::http::response<boost::beast::http::string_body>;

// What the server asks of every request.
struct AccessSettings {
    bool tokenRequired = false;
    std::string token;  // when required: the token of the token file
};

// The name of the cookie that carries the token after the first visit with ?token=.
inline constexpr const char* kTokenCookie = "r512_token";

// The answer to one request: a response to write, or the go-ahead to take the connection over
// as the WebSocket (the request was for /ws, from this server's own page, with the token).
struct RouteDecision {
    bool upgrade = false;
    Response response;
};

// Decides every HTTP request of the web remote: the token (from ?token= once, then from the
// cookie it sets), the Host and Origin checks, and the page's compiled-in files with their
// content types, ETags and the strict Content-Security-Policy. Knows nothing of sockets.
class HttpRouter {
public:
    explicit HttpRouter(AccessSettings settings);

    RouteDecision Route(const Request& request, std::chrono::steady_clock::time_point now);

private:
    enum class Access { Granted, GrantedByQuery, Refused, TooManyFailures };
    Access CheckToken(const Request& request, std::chrono::steady_clock::time_point now);

    AccessSettings settings_;
    MessageRate failedTokens_;  // wrong tokens, all clients together: no guessing at speed
};

}  // namespace r512::http
