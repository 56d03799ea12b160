#include "http/WebRemote.h"

#include <boost/asio/ip/tcp.hpp>
#include <charconv>
#include <fstream>
#include <sstream>

#include "http/HttpAccess.h"

namespace r512::http {

namespace asio = boost::asio;

std::optional<ListenAddress> ParseListenAddress(std::string_view text) {
    ListenAddress address;
    std::string_view port = text;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find("]:");
        if (close == std::string_view::npos) return std::nullopt;
        address.host = std::string(text.substr(1, close - 1));
        port = text.substr(close + 2);
    } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        address.host = std::string(text.substr(0, colon));
        port = text.substr(colon + 1);
        if (address.host.find(':') != std::string::npos) return std::nullopt;  // IPv6 needs [ ]
    }
    if (address.host.empty()) address.host = "127.0.0.1";
    unsigned value = 0;
    const auto [end, problem] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || problem != std::errc() || end != port.data() + port.size() || value > 65535)
        return std::nullopt;
    address.port = static_cast<unsigned short>(value);
    return address;
}

std::unique_ptr<HttpServer> StartWebRemote(asio::io_context& io, const WebRemoteOptions& options,
                                           JsonClientFactory attach, Admission admission,
                                           std::string& url, std::string& error) {
    const auto listen = ParseListenAddress(options.listen);
    if (!listen) {
        error = "--http wants HOST:PORT (such as 127.0.0.1:8080), not '" + options.listen + "'";
        return nullptr;
    }
    AccessSettings access;
    switch (TokenRuleFor(listen->host, !options.tokenFile.empty())) {
        case TokenRule::Missing:
            error = "--http on " + listen->host +
                    " serves other machines: give it a token with --http-token-file FILE";
            return nullptr;
        case TokenRule::Required: {
            std::ifstream file(options.tokenFile);
            std::stringstream text;
            text << file.rdbuf();
            if (!file) {
                error = "cannot read the token file " + options.tokenFile;
                return nullptr;
            }
            access.token = TokenFromFileText(text.str());
            if (access.token.empty()) {
                error = "the token file " + options.tokenFile +
                        " holds no token (one line of letters, digits and -._~, at most 256)";
                return nullptr;
            }
            access.tokenRequired = true;
            break;
        }
        case TokenRule::NotNeeded:
            break;
    }
    boost::system::error_code code;
    asio::ip::tcp::resolver resolver(io);
    const auto found = resolver.resolve(listen->host == "localhost" ? "127.0.0.1" : listen->host,
                                        std::to_string(listen->port),
                                        asio::ip::resolver_base::numeric_service, code);
    if (code || found.empty()) {
        error = "--http: no address '" + listen->host + "'" + (code ? ": " + code.message() : "");
        return nullptr;
    }
    const asio::ip::tcp::endpoint endpoint = found.begin()->endpoint();
    auto server = std::make_unique<HttpServer>(io, std::move(access), std::move(attach),
                                               HttpLimits{}, std::move(admission));
    if (!server->Listen(endpoint, error)) return nullptr;
    const auto bound = server->LocalEndpoint();
    const std::string host = bound.address().is_v6() ? "[" + bound.address().to_string() + "]"
                                                     : bound.address().to_string();
    url = "http://" + host + ":" + std::to_string(bound.port()) + "/";
    return server;
}

}  // namespace r512::http
