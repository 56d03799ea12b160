#include "http/WebSocketSession.h"

#include <boost/asio/post.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/websocket/rfc6455.hpp>

namespace r512::http {

namespace beast = boost::beast;
namespace websocket = boost::beast::websocket;

WebSocketSession::WebSocketSession(beast::tcp_stream stream, ConnectionSlot slot,
                                   std::shared_ptr<ServerState> state, const HttpLimits& limits,
                                   JsonClientFactory attach)
    : socket_(std::move(stream)),
      slot_(std::move(slot)),
      live_(std::move(state), this),
      rate_(limits.messagesPerSecond, limits.messageBurst),
      attach_(std::move(attach)) {
    socket_.read_message_max(limits.maxMessageBytes);
    socket_.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
    socket_.set_option(websocket::stream_base::decorator(
        [](websocket::response_type& response) { response.set("Server", "r512d"); }));
    beast::error_code error;
    const auto remote = beast::get_lowest_layer(socket_).socket().remote_endpoint(error);
    if (!error) peer_ = remote.address().to_string() + ":" + std::to_string(remote.port());
}

WebSocketSession::~WebSocketSession() { client_.reset(); }

void WebSocketSession::Accept(Request request) {
    beast::get_lowest_layer(socket_).expires_never();
    socket_.async_accept(request, [self = shared_from_this()](beast::error_code error) {
        if (error || self->closed_) return;
        self->client_ = self->attach_(*self, self->peer_);
        self->Read();
    });
}

void WebSocketSession::Read() {
    socket_.async_read(buffer_, [self = shared_from_this()](beast::error_code error, std::size_t) {
        self->OnRead(error);
    });
}

void WebSocketSession::OnRead(beast::error_code error) {
    if (error || closed_) {
        Close();
        return;
    }
    std::string message = beast::buffers_to_string(buffer_.data());
    buffer_.consume(buffer_.size());
    if (!socket_.got_text()) {
        SendMessage(R"({"reply":"error","reason":"messages are JSON text","error":"bad-request"})");
    } else if (!rate_.Take(MessageRate::Clock::now())) {
        SendMessage(
            R"({"reply":"error","reason":"too many requests; slow down","error":"too-fast"})");
    } else if (client_) {
        client_->Receive(message);
    }
    if (!closed_) Read();
}

void WebSocketSession::SendMessage(std::string message) {
    if (closed_) return;
    if (queue_.size() >= kMaxQueuedMessages) {
        Close();
        return;
    }
    queue_.push_back(std::move(message));
    if (!writing_) Write();
}

void WebSocketSession::Write() {
    writing_ = true;
    socket_.text(true);
    socket_.async_write(boost::asio::buffer(queue_.front()),
                        [self = shared_from_this()](beast::error_code error, std::size_t) {
                            self->writing_ = false;
                            if (error || self->closed_) {
                                self->Close();
                                return;
                            }
                            self->queue_.pop_front();
                            if (!self->queue_.empty()) self->Write();
                        });
}

void WebSocketSession::CloseConnection() {
    boost::asio::post(socket_.get_executor(), [self = shared_from_this()] { self->Close(); });
}

void WebSocketSession::Close() {
    if (closed_) return;
    closed_ = true;
    client_.reset();  // detached: the JSON service sends nothing more here
    // The queue stays as it is: a write in flight still reads its front message.
    beast::error_code ignored;
    beast::get_lowest_layer(socket_).socket().shutdown(boost::asio::ip::tcp::socket::shutdown_both,
                                                       ignored);
    beast::get_lowest_layer(socket_).close();
}

}  // namespace r512::http
