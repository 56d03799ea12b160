#pragma once

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/parser.hpp>
#include <memory>
#include <optional>

#include "http/HttpRouter.h"
#include "http/HttpServer.h"
#include "http/MessageRate.h"
#include "http/ServerState.h"

namespace r512::http {

// One HTTP connection: reads requests (a header of bounded size, no body), lets the router
// answer them, and hands the connection to a WebSocketSession when the router allows /ws.
class HttpSession : public std::enable_shared_from_this<HttpSession>, public Connection {
public:
    HttpSession(boost::asio::ip::tcp::socket socket, ConnectionSlot slot,
                std::shared_ptr<ServerState> state, std::shared_ptr<HttpRouter> router,
                const HttpLimits& limits, JsonClientFactory attach);

    void Start() { Read(); }
    void Close() override;

private:
    void Read();
    void OnRead(boost::beast::error_code error);
    void OnWrite(bool keepAlive, boost::beast::error_code error);

    boost::beast::tcp_stream stream_;
    LiveEntry live_;
    std::optional<ConnectionSlot> slot_;
    std::shared_ptr<HttpRouter> router_;
    HttpLimits limits_;
    JsonClientFactory attach_;
    boost::beast::flat_buffer buffer_;
    std::optional<boost::beast::http::request_parser<boost::beast::http::empty_body>> parser_;
    std::optional<Response> response_;
    MessageRate rate_;
};

}  // namespace r512::http
