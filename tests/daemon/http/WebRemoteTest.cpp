#include "http/WebRemote.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace r512::http {
namespace {

TEST(WebRemoteTest, ListenAddresses) {
    struct Case {
        const char* text;
        bool valid;
        const char* host;
        unsigned short port;
    } cases[] = {
        {"127.0.0.1:8080", true, "127.0.0.1", 8080},
        {"[::1]:80", true, "::1", 80},
        {"localhost:0", true, "localhost", 0},
        {":8080", true, "127.0.0.1", 8080},
        {"8080", true, "127.0.0.1", 8080},
        {"0.0.0.0:65535", true, "0.0.0.0", 65535},
        {"127.0.0.1:65536", false, "", 0},
        {"127.0.0.1:", false, "", 0},
        {"127.0.0.1:80x", false, "", 0},
        {"::1:80", false, "", 0},
        {"[::1]80", false, "", 0},
        {"", false, "", 0},
    };
    for (const Case& c : cases) {
        const auto address = ParseListenAddress(c.text);
        ASSERT_EQ(address.has_value(), c.valid) << c.text;
        if (!c.valid) continue;
        EXPECT_EQ(address->host, c.host) << c.text;
        EXPECT_EQ(address->port, c.port) << c.text;
    }
}

// The refusals come before anything listens: a non-loopback address is refused here without
// any traffic, as are unusable token files.
TEST(WebRemoteTest, RefusesToStartWithoutAUsableToken) {
    const auto folder = std::filesystem::temp_directory_path() / "r512-web-remote-test";
    std::filesystem::create_directories(folder);
    const auto badToken = (folder / "bad").string();
    std::ofstream(badToken) << "two words\n";
    struct Case {
        WebRemoteOptions options;
        const char* says;
    } cases[] = {
        {{"0.0.0.0:8080", ""}, "--http-token-file"},
        {{"192.168.1.20:8080", ""}, "--http-token-file"},
        {{"[::]:8080", ""}, "--http-token-file"},
        {{"127.0.0.1:0", (folder / "absent").string()}, "cannot read"},
        {{"127.0.0.1:0", badToken}, "holds no token"},
        {{"nonsense", ""}, "HOST:PORT"},
    };
    boost::asio::io_context io;
    for (const Case& c : cases) {
        std::string url, error;
        auto server = StartWebRemote(io, c.options, {}, {}, url, error);
        EXPECT_EQ(server, nullptr) << c.options.listen;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
    std::filesystem::remove_all(folder);
}

TEST(WebRemoteTest, StartsOnLoopbackAndNamesItsAddress) {
    boost::asio::io_context io;
    std::string url, error;
    auto server = StartWebRemote(io, {"127.0.0.1:0", ""}, {}, {}, url, error);
    ASSERT_NE(server, nullptr) << error;
    EXPECT_EQ(url, "http://127.0.0.1:" + std::to_string(server->LocalEndpoint().port()) + "/");
}

}  // namespace
}  // namespace r512::http
