#include "http/HttpRouter.h"

#include <gtest/gtest.h>

#include <boost/beast/http/field.hpp>
#include <set>

#include "http/WebAssets.h"

namespace r512::http {
namespace {

namespace bhttp = boost::beast::http;
using Clock = std::chrono::steady_clock;

struct RequestSpec {
    const char* target;
    const char* host = "127.0.0.1:8080";
    const char* cookie = nullptr;
    const char* origin = nullptr;
    bool upgrade = false;
    bhttp::verb method = bhttp::verb::get;
};

Request Make(const RequestSpec& spec) {
    Request request{spec.method, spec.target, 11};
    if (*spec.host) request.set(bhttp::field::host, spec.host);
    if (spec.cookie) request.set(bhttp::field::cookie, spec.cookie);
    if (spec.origin) request.set(bhttp::field::origin, spec.origin);
    if (spec.upgrade) {
        request.set(bhttp::field::connection, "Upgrade");
        request.set(bhttp::field::upgrade, "websocket");
        request.set(bhttp::field::sec_websocket_key, "dGhlIHNhbXBsZSBub25jZQ==");
        request.set(bhttp::field::sec_websocket_version, "13");
    }
    return request;
}

AccessSettings WithToken() { return {true, "tok-123"}; }

struct Expect {
    const char* what;
    AccessSettings access;
    RequestSpec request;
    unsigned status;  // 0: the WebSocket is allowed
};

TEST(HttpRouterTest, TokenHostAndOriginDecideEveryRequest) {
    const Expect cases[] = {
        {"loopback page, no token needed", {}, {"/"}, 200},
        {"page under localhost", {}, {"/", "localhost:8080"}, 200},
        {"other host name without token", {}, {"/", "evil.example:8080"}, 403},
        {"no Host header", {}, {"/", ""}, 403},
        {"token file: no token", WithToken(), {"/"}, 401},
        {"token file: no token for the font", WithToken(), {"/font.bmp"}, 401},
        {"token file: wrong token", WithToken(), {"/?token=nope"}, 401},
        {"token file: wrong cookie", WithToken(), {"/", "127.0.0.1:8080", "r512_token=x"}, 401},
        {"token file: right cookie",
         WithToken(),
         {"/", "127.0.0.1:8080", "r512_token=tok-123"},
         200},
        {"token: any host name", WithToken(), {"/", "r512.lan:8080", "r512_token=tok-123"}, 200},
        {"token in the query becomes a cookie", WithToken(), {"/?token=tok-123"}, 303},
        {"unknown path", {}, {"/etc/passwd"}, 404},
        {"path climbing up", {}, {"/../resources/font.bmp"}, 404},
        {"POST refused",
         {},
         {"/", "127.0.0.1:8080", nullptr, nullptr, false, bhttp::verb::post},
         405},
        {"WebSocket from the page",
         {},
         {"/ws", "127.0.0.1:8080", nullptr, "http://127.0.0.1:8080", true},
         0},
        {"WebSocket, wrong Origin",
         {},
         {"/ws", "127.0.0.1:8080", nullptr, "http://evil.example", true},
         403},
        {"WebSocket, no Origin", {}, {"/ws", "127.0.0.1:8080", nullptr, nullptr, true}, 403},
        {"WebSocket, other port",
         {},
         {"/ws", "127.0.0.1:8080", nullptr, "http://127.0.0.1:9", true},
         403},
        {"/ws without upgrade", {}, {"/ws"}, 426},
        {"WebSocket, token file, no token",
         WithToken(),
         {"/ws", "127.0.0.1:8080", nullptr, "http://127.0.0.1:8080", true},
         401},
        {"WebSocket, token cookie",
         WithToken(),
         {"/ws", "127.0.0.1:8080", "r512_token=tok-123", "http://127.0.0.1:8080", true},
         0},
        {"WebSocket, token query",
         WithToken(),
         {"/ws?token=tok-123", "127.0.0.1:8080", nullptr, "http://127.0.0.1:8080", true},
         0},
        {"WebSocket, token but wrong Origin",
         WithToken(),
         {"/ws?token=tok-123", "127.0.0.1:8080", nullptr, "http://evil.example", true},
         403},
    };
    for (const Expect& c : cases) {
        HttpRouter router(c.access);
        const RouteDecision decision = router.Route(Make(c.request), Clock::now());
        if (c.status == 0) {
            EXPECT_TRUE(decision.upgrade) << c.what;
        } else {
            EXPECT_FALSE(decision.upgrade) << c.what;
            EXPECT_EQ(decision.response.result_int(), c.status) << c.what;
        }
        if (c.status >= 400) {
            EXPECT_EQ(decision.response.body().find("<html"), std::string::npos) << c.what;
        }
    }
}

TEST(HttpRouterTest, QueryTokenSetsHttpOnlyCookieAndLeavesTheAddress) {
    HttpRouter router(WithToken());
    const RouteDecision decision = router.Route(Make({"/?token=tok-123"}), Clock::now());
    ASSERT_EQ(decision.response.result_int(), 303u);
    EXPECT_EQ(decision.response[bhttp::field::location], "/");
    const std::string cookie(decision.response[bhttp::field::set_cookie]);
    EXPECT_EQ(cookie.rfind("r512_token=tok-123;", 0), 0u) << cookie;
    EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
    EXPECT_NE(cookie.find("Max-Age="), std::string::npos) << "kept beyond the session";
}

TEST(HttpRouterTest, WrongTokensAreLimited) {
    HttpRouter router(WithToken());
    const auto now = Clock::now();
    int refused = 0;
    int limited = 0;
    for (int i = 0; i < 30; ++i) {
        const unsigned status = router.Route(Make({"/?token=guess"}), now).response.result_int();
        refused += status == 401;
        limited += status == 429;
    }
    EXPECT_EQ(refused, 10);
    EXPECT_EQ(limited, 20);
    // The right token still works for the owner with the cookie.
    EXPECT_EQ(router.Route(Make({"/", "127.0.0.1:8080", "r512_token=tok-123"}), now)
                  .response.result_int(),
              200u);
}

TEST(HttpRouterTest, FilesHaveTypesETagsAndTheStrictPolicy) {
    struct File {
        const char* path;
        const char* type;
    } files[] = {
        {"/", "text/html; charset=utf-8"},
        {"/index.html", "text/html; charset=utf-8"},
        {"/remote.css", "text/css; charset=utf-8"},
        {"/remote.js", "text/javascript; charset=utf-8"},
        {"/font.bmp", "image/bmp"},
    };
    HttpRouter router({});
    for (const File& f : files) {
        const RouteDecision decision = router.Route(Make({f.path}), Clock::now());
        ASSERT_EQ(decision.response.result_int(), 200u) << f.path;
        EXPECT_EQ(decision.response[bhttp::field::content_type], f.type);
        const std::string csp(decision.response["Content-Security-Policy"]);
        EXPECT_NE(csp.find("default-src 'none'"), std::string::npos);
        EXPECT_NE(csp.find("script-src 'self'"), std::string::npos);
        EXPECT_EQ(csp.find("unsafe-inline"), std::string::npos);
        EXPECT_EQ(decision.response["X-Content-Type-Options"], "nosniff");
        const std::string etag(decision.response[bhttp::field::etag]);
        ASSERT_GT(etag.size(), 2u);
        RequestSpec again{f.path};
        Request cached = Make(again);
        cached.set(bhttp::field::if_none_match, etag);
        const RouteDecision revalidated = router.Route(cached, Clock::now());
        EXPECT_EQ(revalidated.response.result_int(), 304u) << f.path;
        EXPECT_TRUE(revalidated.response.body().empty());
    }
}

TEST(HttpRouterTest, PageFilesAreSmallAndEachHasItsOwnETag) {
    std::size_t total = 0;
    std::set<std::string_view> etags;
    for (const WebAsset& asset : WebAssets()) {
        total += asset.body.size();
        etags.insert(asset.etag);
        EXPECT_FALSE(asset.body.empty()) << asset.path;
    }
    EXPECT_LE(total, 100u * 1024u);
    EXPECT_EQ(etags.size(), WebAssets().size());
    // The page loads its script and style from files, never inline (the policy forbids it).
    const WebAsset* page = FindWebAsset("/");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->body.find("<script>"), std::string::npos);
    EXPECT_EQ(page->body.find("style="), std::string::npos);
    EXPECT_NE(page->body.find("src=\"remote.js\""), std::string::npos);
}

}  // namespace
}  // namespace r512::http
