#include "http/HttpSession.h"

#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <chrono>

#include "http/WebSocketSession.h"

namespace r512::http {

namespace beast = boost::beast;
namespace bhttp = boost::beast::http;

namespace {
constexpr std::chrono::seconds kIdleTimeout{30};
}

HttpSession::HttpSession(boost::asio::ip::tcp::socket socket, ConnectionSlot slot,
                         std::shared_ptr<ServerState> state, std::shared_ptr<HttpRouter> router,
                         const HttpLimits& limits, JsonClientFactory attach)
    : stream_(std::move(socket)),
      live_(std::move(state), this),
      router_(std::move(router)),
      limits_(limits),
      attach_(std::move(attach)),
      buffer_(limits.maxHeaderBytes),
      rate_(limits.requestsPerSecond, limits.requestsPerSecond * 2) {
    slot_.emplace(std::move(slot));
}

void HttpSession::Read() {
    parser_.emplace();
    parser_->header_limit(static_cast<std::uint32_t>(limits_.maxHeaderBytes));
    parser_->body_limit(0);
    stream_.expires_after(kIdleTimeout);
    bhttp::async_read(
        stream_, buffer_, *parser_,
        [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnRead(error); });
}

void HttpSession::OnRead(beast::error_code error) {
    if (error) {
        Close();
        return;
    }
    Request request = parser_->release();
    RouteDecision decision;
    if (!rate_.Take(MessageRate::Clock::now())) {
        decision.response = Response{bhttp::status::too_many_requests, request.version()};
        decision.response.set(bhttp::field::content_type, "text/plain");
        decision.response.body() = "Too many requests.\n";
        decision.response.keep_alive(false);
        decision.response.prepare_payload();
    } else {
        decision = router_->Route(request, std::chrono::steady_clock::now());
    }
    if (decision.upgrade) {
        auto socket = std::make_shared<WebSocketSession>(std::move(stream_), std::move(*slot_),
                                                         live_.State(), limits_, attach_);
        slot_.reset();
        socket->Accept(std::move(request));
        return;
    }
    response_ = std::move(decision.response);
    const bool keepAlive = response_->keep_alive();
    bhttp::async_write(stream_, *response_,
                       [self = shared_from_this(), keepAlive](beast::error_code e, std::size_t) {
                           self->OnWrite(keepAlive, e);
                       });
}

void HttpSession::OnWrite(bool keepAlive, beast::error_code error) {
    response_.reset();
    if (error || !keepAlive) {
        Close();
        return;
    }
    Read();
}

void HttpSession::Close() {
    if (!stream_.socket().is_open()) return;  // handed over to the WebSocket, or closed
    beast::error_code ignored;
    stream_.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_send, ignored);
    stream_.close();
}

}  // namespace r512::http
