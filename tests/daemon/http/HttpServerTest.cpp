#include "http/HttpServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <boost/asio/connect.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <boost/beast/websocket/stream.hpp>
#include <thread>

namespace r512::http {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace bhttp = boost::beast::http;
namespace websocket = boost::beast::websocket;
using asio::ip::tcp;

// A JSON client that answers each message with {"echo":<message>} and counts how many clients
// are attached: enough to see what passes the WebSocket and when a client is detached.
struct EchoService {
    std::atomic<int> attached{0};
    std::atomic<int> received{0};

    JsonClientFactory Factory() {
        return [this](JsonMessageSink& sink, const std::string&) -> std::unique_ptr<JsonClient> {
            struct Echo : JsonClient {
                Echo(EchoService& s, JsonMessageSink& k) : service(s), sink(k) {
                    ++service.attached;
                }
                ~Echo() override { --service.attached; }
                void Receive(std::string_view message) override {
                    ++service.received;
                    sink.SendMessage("{\"echo\":" + std::string(message) + "}");
                }
                EchoService& service;
                JsonMessageSink& sink;
            };
            return std::make_unique<Echo>(*this, sink);
        };
    }
};

// The server on the loopback address, its io_context on a thread of its own.
class ServerFixture : public ::testing::Test {
protected:
    void Start(AccessSettings access, HttpLimits limits = {}, Admission admission = {}) {
        server_ = std::make_unique<HttpServer>(io_, std::move(access), echo_.Factory(), limits,
                                               std::move(admission));
        std::string error;
        ASSERT_TRUE(server_->Listen({asio::ip::make_address("127.0.0.1"), 0}, error)) << error;
        port_ = server_->LocalEndpoint().port();
        thread_ = std::thread([this] { io_.run(); });
    }

    void TearDown() override {
        io_.stop();
        if (thread_.joinable()) thread_.join();
    }

    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

    bhttp::response<bhttp::string_body> Get(const std::string& target,
                                            const std::string& cookie = "") {
        asio::io_context client;
        beast::tcp_stream stream(client);
        beast::error_code refused;
        stream.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port_), refused);
        if (refused) return bhttp::response<bhttp::string_body>(bhttp::status::unknown, 11);
        bhttp::request<bhttp::empty_body> request{bhttp::verb::get, target, 11};
        request.set(bhttp::field::host, Host());
        if (!cookie.empty()) request.set(bhttp::field::cookie, cookie);
        beast::error_code error;
        bhttp::write(stream, request, error);
        beast::flat_buffer buffer;
        bhttp::response<bhttp::string_body> response;
        if (!error) bhttp::read(stream, buffer, response, error);
        if (error) response.result(0);  // no answer
        return response;
    }

    // Opens the WebSocket with `origin`; the handshake's error, if any.
    beast::error_code OpenSocket(websocket::stream<beast::tcp_stream>& socket,
                                 const std::string& origin, const std::string& target = "/ws") {
        beast::get_lowest_layer(socket).connect(
            tcp::endpoint(asio::ip::make_address("127.0.0.1"), port_));
        socket.set_option(websocket::stream_base::decorator(
            [origin](websocket::request_type& r) { r.set(bhttp::field::origin, origin); }));
        beast::error_code error;
        socket.handshake(Host(), target, error);
        return error;
    }

    static std::string ReadText(websocket::stream<beast::tcp_stream>& socket) {
        beast::flat_buffer buffer;
        socket.read(buffer);
        return beast::buffers_to_string(buffer.data());
    }

    template <class Condition>
    static bool WaitFor(Condition condition) {
        for (int i = 0; i < 200 && !condition(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return condition();
    }

    EchoService echo_;  // outlives the io_context, whose sessions hold its clients
    asio::io_context io_;
    std::unique_ptr<HttpServer> server_;
    std::thread thread_;
    unsigned short port_ = 0;
};

TEST_F(ServerFixture, ServesThePageAndCarriesJsonOverTheWebSocket) {
    Start({});
    const auto page = Get("/");
    EXPECT_EQ(page.result_int(), 200u);
    EXPECT_NE(page.body().find("remote.js"), std::string::npos);
    EXPECT_EQ(Get("/nothing").result_int(), 404u);

    asio::io_context client;
    websocket::stream<beast::tcp_stream> socket(client);
    ASSERT_FALSE(OpenSocket(socket, "http://" + Host()));
    socket.write(asio::buffer(std::string(R"({"cmd":"status"})")));
    EXPECT_EQ(ReadText(socket), R"({"echo":{"cmd":"status"}})");
    EXPECT_EQ(echo_.attached, 1);
    socket.close(websocket::close_code::normal);
    EXPECT_TRUE(WaitFor([&] { return echo_.attached == 0; })) << "closing detaches the client";
}

TEST_F(ServerFixture, ForeignOriginGetsNoWebSocket) {
    Start({});
    asio::io_context client;
    websocket::stream<beast::tcp_stream> socket(client);
    EXPECT_TRUE(OpenSocket(socket, "http://evil.example"));
    EXPECT_EQ(echo_.attached, 0);
}

TEST_F(ServerFixture, TokenFileDemandsTheTokenForPageAndSocket) {
    Start({true, "tok-123"});
    EXPECT_EQ(Get("/").result_int(), 401u);
    EXPECT_EQ(Get("/remote.js").result_int(), 401u);
    const auto redirect = Get("/?token=tok-123");
    EXPECT_EQ(redirect.result_int(), 303u);
    EXPECT_EQ(Get("/", "r512_token=tok-123").result_int(), 200u);
    {
        asio::io_context client;
        websocket::stream<beast::tcp_stream> socket(client);
        EXPECT_TRUE(OpenSocket(socket, "http://" + Host()));
    }
    asio::io_context client;
    websocket::stream<beast::tcp_stream> socket(client);
    ASSERT_FALSE(OpenSocket(socket, "http://" + Host(), "/ws?token=tok-123"));
    EXPECT_EQ(echo_.received, 0);
}

TEST_F(ServerFixture, FloodIsAnsweredTooFastAndOversizedMessageEndsTheSocket) {
    HttpLimits limits;
    limits.messagesPerSecond = 1;
    limits.messageBurst = 5;
    limits.maxMessageBytes = 256;
    Start({}, limits);
    asio::io_context client;
    websocket::stream<beast::tcp_stream> socket(client);
    ASSERT_FALSE(OpenSocket(socket, "http://" + Host()));
    int echoed = 0;
    int tooFast = 0;
    for (int i = 0; i < 20; ++i) {
        socket.write(asio::buffer(std::string(R"({"cmd":"key","key":"volume-up"})")));
        const std::string reply = ReadText(socket);
        echoed += reply.find("echo") != std::string::npos;
        tooFast += reply.find("\"too-fast\"") != std::string::npos;
    }
    EXPECT_LE(echoed, 6);
    EXPECT_EQ(echoed + tooFast, 20);
    socket.write(asio::buffer(std::string(1000, 'x')));
    beast::flat_buffer buffer;
    beast::error_code error;
    socket.read(buffer, error);
    EXPECT_TRUE(error) << "a message beyond the size limit closes the socket";
    EXPECT_TRUE(WaitFor([&] { return echo_.attached == 0; }));
}

TEST_F(ServerFixture, ConnectionsBeyondTheLimitAreRefused) {
    HttpLimits limits;
    limits.maxConnections = 2;
    Start({}, limits);
    asio::io_context client;
    websocket::stream<beast::tcp_stream> a(client), b(client);
    ASSERT_FALSE(OpenSocket(a, "http://" + Host()));
    ASSERT_FALSE(OpenSocket(b, "http://" + Host()));
    websocket::stream<beast::tcp_stream> c(client);
    EXPECT_TRUE(OpenSocket(c, "http://" + Host()));
    a.close(websocket::close_code::normal);
    EXPECT_TRUE(WaitFor([&] { return echo_.attached == 1; }));
    websocket::stream<beast::tcp_stream> d(client);
    EXPECT_FALSE(OpenSocket(d, "http://" + Host())) << "a freed place serves again";
}

// The program's admission (r512d's policy) decides each connection and gets its place back when
// the connection ends; Stop() ends every connection and detaches every client.
TEST_F(ServerFixture, AdmissionCountsConnectionsAndStopEndsThem) {
    std::atomic<int> admitted{0};
    std::atomic<bool> refuse{false};
    Admission admission;
    admission.admit = [&](const tcp::endpoint& peer) {
        if (refuse || !peer.address().is_loopback()) return false;
        ++admitted;
        return true;
    };
    admission.release = [&] { --admitted; };
    Start({}, {}, std::move(admission));
    asio::io_context client;
    websocket::stream<beast::tcp_stream> a(client), b(client);
    ASSERT_FALSE(OpenSocket(a, "http://" + Host()));
    ASSERT_FALSE(OpenSocket(b, "http://" + Host()));
    EXPECT_EQ(admitted, 2);
    refuse = true;
    websocket::stream<beast::tcp_stream> c(client);
    EXPECT_TRUE(OpenSocket(c, "http://" + Host()));
    EXPECT_TRUE(WaitFor([&] { return echo_.attached == 2; }));

    asio::post(io_, [this] { server_->Stop(); });
    EXPECT_TRUE(WaitFor([&] { return echo_.attached == 0; })) << "Stop detaches every client";
    beast::flat_buffer buffer;
    beast::error_code error;
    a.read(buffer, error);
    EXPECT_TRUE(error) << "Stop closes the WebSocket";
    EXPECT_EQ(Get("/").result_int(), 0u) << "nothing answers after Stop";
}

}  // namespace
}  // namespace r512::http
