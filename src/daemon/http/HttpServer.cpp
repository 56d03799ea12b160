#include "http/HttpServer.h"

#include "http/ConnectionCount.h"
#include "http/HttpSession.h"

namespace r512::http {

namespace asio = boost::asio;
using asio::ip::tcp;

HttpServer::HttpServer(asio::io_context& io, AccessSettings access, JsonClientFactory attach,
                       HttpLimits limits)
    : io_(io),
      acceptor_(io),
      router_(std::make_shared<HttpRouter>(std::move(access))),
      attach_(std::move(attach)),
      limits_(limits),
      connections_(std::make_shared<ConnectionCount>()) {}

HttpServer::~HttpServer() { Stop(); }

bool HttpServer::Listen(const tcp::endpoint& endpoint, std::string& error) {
    boost::system::error_code code;
    acceptor_.open(endpoint.protocol(), code);
    if (!code) acceptor_.set_option(asio::socket_base::reuse_address(true), code);
    if (!code) acceptor_.bind(endpoint, code);
    if (!code) acceptor_.listen(asio::socket_base::max_listen_connections, code);
    if (code) {
        error = "cannot listen for HTTP on " + endpoint.address().to_string() + ":" +
                std::to_string(endpoint.port()) + ": " + code.message();
        boost::system::error_code ignored;
        acceptor_.close(ignored);
        return false;
    }
    Accept();
    return true;
}

tcp::endpoint HttpServer::LocalEndpoint() const {
    boost::system::error_code ignored;
    return acceptor_.local_endpoint(ignored);
}

void HttpServer::Stop() {
    boost::system::error_code ignored;
    acceptor_.close(ignored);
}

void HttpServer::Accept() {
    acceptor_.async_accept([this](boost::system::error_code error, tcp::socket socket) {
        if (error == asio::error::operation_aborted || !acceptor_.is_open()) return;
        if (!error) {
            if (connections_->open >= limits_.maxConnections) {
                boost::system::error_code ignored;
                socket.close(ignored);  // full: the client may try again later
            } else {
                std::make_shared<HttpSession>(std::move(socket), ConnectionSlot(connections_),
                                              router_, limits_, attach_)
                    ->Start();
            }
        }
        Accept();
    });
}

}  // namespace r512::http
