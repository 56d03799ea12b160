#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <memory>
#include <string>

#include "http/HttpRouter.h"
#include "http/JsonClient.h"
#include "http/ServerState.h"

namespace r512::http {

// Limits of the web server: what one client may ask of it.
struct HttpLimits {
    int maxConnections = 32;             // HTTP and WebSocket connections together
    std::size_t maxHeaderBytes = 8192;   // a request's header; requests have no body
    std::size_t maxMessageBytes = 4096;  // one WebSocket message
    double messagesPerSecond = 25;       // WebSocket messages of one client, over time
    double messageBurst = 50;            // ... and in a burst
    double requestsPerSecond = 20;       // HTTP requests on one connection
};

// r512d's web server: serves the web remote's page and its WebSocket at /ws on one io_context
// (the daemon's, single-threaded: every handler runs on the daemon's thread, as the JSON service
// expects). Each WebSocket client is attached to the JSON service through `attach`.
class HttpServer {
public:
    // `admission` (optional) is asked for every connection besides the limit of `limits`.
    HttpServer(boost::asio::io_context& io, AccessSettings access, JsonClientFactory attach,
               HttpLimits limits = {});
    HttpServer(boost::asio::io_context& io, AccessSettings access, JsonClientFactory attach,
               HttpLimits limits, Admission admission);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on `endpoint`; false with a message for a person when that fails.
    bool Listen(const boost::asio::ip::tcp::endpoint& endpoint, std::string& error);

    // Where it listens (the port chosen when 0 was asked).
    boost::asio::ip::tcp::endpoint LocalEndpoint() const;

    // Stops accepting and closes every connection (each WebSocket client detached from the JSON
    // service now); asks the admission nothing more after that.
    void Stop();

private:
    void Accept();

    boost::asio::io_context& io_;
    boost::asio::ip::tcp::acceptor acceptor_;
    std::shared_ptr<HttpRouter> router_;
    JsonClientFactory attach_;
    HttpLimits limits_;
    std::shared_ptr<ServerState> state_;
};

}  // namespace r512::http
