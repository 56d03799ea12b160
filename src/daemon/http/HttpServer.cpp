#include "http/HttpServer.h"

#include "http/HttpSession.h"
#include "http/ServerState.h"

namespace r512::http {

namespace asio = boost::asio;
using asio::ip::tcp;

HttpServer::HttpServer(asio::io_context& io, AccessSettings access, JsonClientFactory attach,
                       HttpLimits limits)
    : HttpServer(io, std::move(access), std::move(attach), limits, Admission{}) {}

HttpServer::HttpServer(asio::io_context& io, AccessSettings access, JsonClientFactory attach,
                       HttpLimits limits, Admission admission)
    : io_(io),
      acceptor_(io),
      router_(std::make_shared<HttpRouter>(std::move(access))),
      attach_(std::move(attach)),
      limits_(limits),
      state_(std::make_shared<ServerState>()) {
    state_->admission = std::move(admission);
}

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
    if (state_->stopped) return;
    state_->stopped = true;
    const std::set<Connection*> live = state_->live;  // closing may end entries
    for (Connection* connection : live) {
        if (state_->live.count(connection) != 0) connection->Close();
    }
    state_->admission = {};
}

void HttpServer::Accept() {
    acceptor_.async_accept([this](boost::system::error_code error, tcp::socket socket) {
        if (error == asio::error::operation_aborted || !acceptor_.is_open()) return;
        if (!error) {
            boost::system::error_code peerError;
            const tcp::endpoint peer = socket.remote_endpoint(peerError);
            const bool admitted = !peerError && state_->open < limits_.maxConnections &&
                                  (!state_->admission.admit || state_->admission.admit(peer));
            if (!admitted) {
                boost::system::error_code ignored;
                socket.close(ignored);  // not allowed, or full: the client may try again later
            } else {
                std::make_shared<HttpSession>(std::move(socket), ConnectionSlot(state_), state_,
                                              router_, limits_, attach_)
                    ->Start();
            }
        }
        Accept();
    });
}

}  // namespace r512::http
