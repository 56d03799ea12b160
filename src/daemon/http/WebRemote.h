#pragma once

#include <boost/asio/io_context.hpp>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "http/HttpServer.h"
#include "http/JsonClient.h"
#include "http/ServerState.h"

namespace r512::http {

// A listen address as `--http HOST:PORT` gives it: "127.0.0.1:8080", "[::1]:8080",
// "localhost:0", or ":8080" / "8080" for the loopback address.
struct ListenAddress {
    std::string host;
    unsigned short port = 0;
};
std::optional<ListenAddress> ParseListenAddress(std::string_view text);

// r512d's options for the web remote.
struct WebRemoteOptions {
    std::string listen;     // --http HOST:PORT
    std::string tokenFile;  // --http-token-file FILE, "" for none
};

// Starts the web remote as the options ask: the listen address, the token rule (no server on
// an address other than loopback without a token file), the token read from its file. On
// success the server listens and `url` is where to open it ("http://127.0.0.1:8080/"); else
// nullptr and `error` says why, for a person.
std::unique_ptr<HttpServer> StartWebRemote(boost::asio::io_context& io,
                                           const WebRemoteOptions& options,
                                           JsonClientFactory attach, Admission admission,
                                           std::string& url, std::string& error);

}  // namespace r512::http
