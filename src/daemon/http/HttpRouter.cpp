#include "http/HttpRouter.h"

#include <boost/beast/version.hpp>
#include <boost/beast/websocket/rfc6455.hpp>

#include "http/HttpAccess.h"
#include "http/WebAssets.h"

namespace r512::http {

namespace bhttp = boost::beast::http;

namespace {

constexpr const char* kContentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
    "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

Response Answer(const Request& request, bhttp::status status, std::string_view contentType,
                std::string body) {
    Response response{status, request.version()};
    response.set(bhttp::field::server, "r512d");
    response.set(bhttp::field::content_type, contentType);
    response.set("Content-Security-Policy", kContentSecurityPolicy);
    response.set("X-Content-Type-Options", "nosniff");
    response.set("X-Frame-Options", "DENY");
    response.set("Referrer-Policy", "no-referrer");
    response.set(bhttp::field::cache_control, "no-cache");
    response.keep_alive(request.keep_alive());
    response.body() = std::move(body);
    response.prepare_payload();
    if (request.method() == bhttp::verb::head) response.body().clear();
    return response;
}

Response Refusal(const Request& request, bhttp::status status, std::string text) {
    Response response = Answer(request, status, "text/plain; charset=utf-8", text + "\n");
    response.set(bhttp::field::cache_control, "no-store");
    response.keep_alive(false);
    return response;
}

}  // namespace

HttpRouter::HttpRouter(AccessSettings settings)
    : settings_(std::move(settings)), failedTokens_(0.2, 10) {}

HttpRouter::Access HttpRouter::CheckToken(const Request& request,
                                          std::chrono::steady_clock::time_point now) {
    if (!settings_.tokenRequired) return Access::Granted;
    if (const auto given = QueryValue(request.target(), "token")) {
        if (SameToken(*given, settings_.token)) return Access::GrantedByQuery;
        return failedTokens_.Take(now) ? Access::Refused : Access::TooManyFailures;
    }
    const auto cookie = request.find(bhttp::field::cookie);
    if (cookie != request.end()) {
        const auto given = CookieValue(cookie->value(), kTokenCookie);
        if (given && SameToken(*given, settings_.token)) return Access::Granted;
    }
    return Access::Refused;
}

RouteDecision HttpRouter::Route(const Request& request, std::chrono::steady_clock::time_point now) {
    RouteDecision decision;
    if (request.method() != bhttp::verb::get && request.method() != bhttp::verb::head) {
        decision.response =
            Refusal(request, bhttp::status::method_not_allowed, "Only GET and HEAD are served.");
        decision.response.set(bhttp::field::allow, "GET, HEAD");
        return decision;
    }
    const std::string_view host = request[bhttp::field::host];
    // Without a token only the machine itself may ask, under its own name: a page of another
    // site whose name was pointed at this machine must not reach the device.
    if (host.empty() || (!settings_.tokenRequired && !IsLoopbackAddress(HostName(host)))) {
        decision.response =
            Refusal(request, bhttp::status::forbidden, "This host name is not served.");
        return decision;
    }
    const Access access = CheckToken(request, now);
    if (access == Access::TooManyFailures) {
        decision.response = Refusal(request, bhttp::status::too_many_requests,
                                    "Too many wrong tokens; wait a minute.");
        return decision;
    }
    if (access == Access::Refused) {
        decision.response = Refusal(request, bhttp::status::unauthorized,
                                    "This R512 remote needs its token: open the address "
                                    "given with ?token= once.");
        return decision;
    }
    const std::string_view path = TargetPath(request.target());
    if (path == "/ws") {
        if (!boost::beast::websocket::is_upgrade(request)) {
            decision.response =
                Refusal(request, bhttp::status::upgrade_required, "/ws is the remote's WebSocket.");
        } else if (!OriginMatchesHost(request[bhttp::field::origin], host)) {
            decision.response = Refusal(request, bhttp::status::forbidden,
                                        "The WebSocket serves this server's own page only.");
        } else {
            decision.upgrade = true;
        }
        return decision;
    }
    if (access == Access::GrantedByQuery) {
        // The token becomes a cookie the page's scripts cannot read, kept for a year (a phone's
        // home-screen link then opens without it), and leaves the address bar.
        decision.response = Answer(request, bhttp::status::see_other, "text/plain", "");
        decision.response.set(bhttp::field::location, std::string(path));
        decision.response.set(bhttp::field::set_cookie,
                              std::string(kTokenCookie) + "=" + settings_.token +
                                  "; HttpOnly; SameSite=Strict; Path=/; Max-Age=31536000");
        decision.response.set(bhttp::field::cache_control, "no-store");
        return decision;
    }
    const WebAsset* asset = FindWebAsset(path == "/index.html" ? "/" : path);
    if (asset == nullptr) {
        decision.response = Refusal(request, bhttp::status::not_found, "Not found.");
        decision.response.keep_alive(request.keep_alive());
        return decision;
    }
    if (request[bhttp::field::if_none_match] == asset->etag) {
        decision.response = Answer(request, bhttp::status::not_modified, asset->contentType, "");
        decision.response.set(bhttp::field::etag, asset->etag);
        decision.response.content_length(boost::none);
        return decision;
    }
    decision.response =
        Answer(request, bhttp::status::ok, asset->contentType, std::string(asset->body));
    decision.response.set(bhttp::field::etag, asset->etag);
    if (request.method() == bhttp::verb::head) decision.response.content_length(asset->body.size());
    return decision;
}

}  // namespace r512::http
