#pragma once

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/websocket/stream.hpp>
#include <deque>
#include <memory>
#include <string>

#include "http/HttpRouter.h"
#include "http/HttpServer.h"
#include "http/JsonClient.h"
#include "http/MessageRate.h"
#include "http/ServerState.h"

namespace r512::http {

// One WebSocket client of the web remote: each text message goes to its JSON client, each
// message of the JSON service goes out as one text message. Messages beyond the rate limit are
// answered with the "too-fast" error and dropped; a client that does not read its messages is
// disconnected rather than let the queue grow.
class WebSocketSession : public std::enable_shared_from_this<WebSocketSession>,
                         public JsonMessageSink,
                         public Connection {
public:
    WebSocketSession(boost::beast::tcp_stream stream, ConnectionSlot slot,
                     std::shared_ptr<ServerState> state, const HttpLimits& limits,
                     JsonClientFactory attach);
    ~WebSocketSession() override;

    // Completes the handshake of `request` (already checked by the router) and starts reading.
    void Accept(Request request);

    void SendMessage(std::string message) override;
    // The JSON service ends the connection: after the call that asked for it has returned.
    void CloseConnection() override;
    // Detaches the client and closes the socket.
    void Close() override;

private:
    void Read();
    void OnRead(boost::beast::error_code error);
    void Write();

    static constexpr std::size_t kMaxQueuedMessages = 512;

    boost::beast::websocket::stream<boost::beast::tcp_stream> socket_;
    ConnectionSlot slot_;
    LiveEntry live_;
    boost::beast::flat_buffer buffer_;
    MessageRate rate_;
    JsonClientFactory attach_;
    std::unique_ptr<JsonClient> client_;
    std::deque<std::string> queue_;
    bool writing_ = false;
    bool closed_ = false;
    std::string peer_;
};

}  // namespace r512::http
