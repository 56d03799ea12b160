#include "http/HttpAccess.h"

#include <gtest/gtest.h>

#include <chrono>

#include "http/MessageRate.h"

namespace r512::http {
namespace {

// The token rule of a listen address: every address but the machine's own demands a token,
// decided from the text alone (nothing here is ever listened on or connected to).
TEST(HttpAccessTest, ListenAddressDecidesWhetherTokenIsNeeded) {
    struct Case {
        const char* address;
        bool tokenFile;
        TokenRule rule;
    } cases[] = {
        {"127.0.0.1", false, TokenRule::NotNeeded},
        {"127.8.9.10", false, TokenRule::NotNeeded},
        {"::1", false, TokenRule::NotNeeded},
        {"[::1]", false, TokenRule::NotNeeded},
        {"::ffff:127.0.0.1", false, TokenRule::NotNeeded},
        {"localhost", false, TokenRule::NotNeeded},
        {"LocalHost", false, TokenRule::NotNeeded},
        {"0.0.0.0", false, TokenRule::Missing},
        {"::", false, TokenRule::Missing},
        {"192.168.1.20", false, TokenRule::Missing},
        {"10.0.0.1", false, TokenRule::Missing},
        {"::ffff:192.168.1.2", false, TokenRule::Missing},
        {"fe80::1", false, TokenRule::Missing},
        {"128.0.0.1", false, TokenRule::Missing},
        {"myhost.lan", false, TokenRule::Missing},
        {"", false, TokenRule::Missing},
        {"192.168.1.20", true, TokenRule::Required},
        {"127.0.0.1", true, TokenRule::Required},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TokenRuleFor(c.address, c.tokenFile), c.rule) << c.address;
    }
}

TEST(HttpAccessTest, TokenFileTextGivesUsableTokensOnly) {
    struct Case {
        const char* text;
        const char* token;
    } cases[] = {
        {"s3cret-Token_1.~\n", "s3cret-Token_1.~"},
        {"  abc  \r\nsecond line", "abc"},
        {"", ""},
        {"\n\n", ""},
        {"has space", ""},
        {"semi;colon", ""},
        {"quote\"", ""},
        {"a=b", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TokenFromFileText(c.text), c.token) << c.text;
    }
    EXPECT_EQ(TokenFromFileText(std::string(257, 'a')), "");
    EXPECT_EQ(TokenFromFileText(std::string(256, 'a')), std::string(256, 'a'));
}

TEST(HttpAccessTest, SameTokenOnlyForEqualNonEmptyTexts) {
    EXPECT_TRUE(SameToken("abc", "abc"));
    EXPECT_FALSE(SameToken("abd", "abc"));
    EXPECT_FALSE(SameToken("ab", "abc"));
    EXPECT_FALSE(SameToken("abcd", "abc"));
    EXPECT_FALSE(SameToken("", "abc"));
    EXPECT_FALSE(SameToken("", ""));
}

TEST(HttpAccessTest, QueryAndCookieValues) {
    EXPECT_EQ(QueryValue("/?token=abc", "token"), "abc");
    EXPECT_EQ(QueryValue("/ws?x=1&token=t2&y", "token"), "t2");
    EXPECT_EQ(QueryValue("/ws?tokens=1", "token"), std::nullopt);
    EXPECT_EQ(QueryValue("/ws", "token"), std::nullopt);
    EXPECT_EQ(TargetPath("/remote.js?v=2"), "/remote.js");
    EXPECT_EQ(CookieValue("a=1; r512_token=xyz; b=2", "r512_token"), "xyz");
    EXPECT_EQ(CookieValue("r512_token=xyz", "r512_token"), "xyz");
    EXPECT_EQ(CookieValue("xr512_token=xyz", "r512_token"), std::nullopt);
    EXPECT_EQ(CookieValue("", "r512_token"), std::nullopt);
}

TEST(HttpAccessTest, OriginMustBeTheServedHost) {
    struct Case {
        const char* origin;
        const char* host;
        bool allowed;
    } cases[] = {
        {"http://127.0.0.1:8080", "127.0.0.1:8080", true},
        {"HTTP://LOCALHOST:8080", "localhost:8080", true},
        {"https://r512.lan", "r512.lan", true},
        {"http://127.0.0.1:8081", "127.0.0.1:8080", false},
        {"http://evil.example", "127.0.0.1:8080", false},
        {"http://127.0.0.1:8080.evil.example", "127.0.0.1:8080", false},
        {"null", "127.0.0.1:8080", false},
        {"", "127.0.0.1:8080", false},
        {"http://", "", false},
        {"file://127.0.0.1:8080", "127.0.0.1:8080", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OriginMatchesHost(c.origin, c.host), c.allowed) << c.origin << " " << c.host;
    }
}

TEST(HttpAccessTest, HostNameWithoutPort) {
    EXPECT_EQ(HostName("127.0.0.1:8080"), "127.0.0.1");
    EXPECT_EQ(HostName("localhost"), "localhost");
    EXPECT_EQ(HostName("[::1]:8080"), "::1");
    EXPECT_EQ(HostName("::1"), "::1");
}

TEST(MessageRateTest, BurstThenSteadyRate) {
    using namespace std::chrono_literals;
    MessageRate rate(10, 3);
    const auto t0 = MessageRate::Clock::time_point{} + 1h;
    EXPECT_TRUE(rate.Take(t0));
    EXPECT_TRUE(rate.Take(t0));
    EXPECT_TRUE(rate.Take(t0));
    EXPECT_FALSE(rate.Take(t0));  // the burst is spent
    EXPECT_FALSE(rate.Take(t0 + 50ms));
    EXPECT_TRUE(rate.Take(t0 + 100ms));  // one message per 100 ms comes back
    EXPECT_FALSE(rate.Take(t0 + 150ms));
    // A long pause refills the bucket to the burst, not beyond.
    int passed = 0;
    for (int i = 0; i < 10; ++i) passed += rate.Take(t0 + 60s) ? 1 : 0;
    EXPECT_EQ(passed, 3);
}

}  // namespace
}  // namespace r512::http
