#include "daemon/Daemon.h"

#include <signal.h>

#include <iostream>

#include <boost/asio/post.hpp>

#include "daemon/JsonLineClient.h"
#include "daemon/RawClient.h"

namespace r512::daemon {

namespace {
std::string EndpointText(const boost::asio::ip::tcp::endpoint& endpoint) {
    const auto address = endpoint.address();
    return (address.is_v6() ? "[" + address.to_string() + "]" : address.to_string()) + ":" +
           std::to_string(endpoint.port());
}
}  // namespace

Daemon::Daemon(DaemonOptions options, DeviceHub::Port port)
    : options_(std::move(options)),
      hub_(io_, std::move(port), policy_, trace_),
      json_(hub_),
      signals_(io_) {}

Daemon::~Daemon() = default;

int Daemon::Run() {
    std::string error;
    if (!policy_.Configure(options_.policy, &error)) {
        std::cerr << "r512d: " << error << std::endl;
        return 2;
    }
    if (!options_.trace.empty() && !trace_.Open(options_.trace, &error)) {
        std::cerr << "r512d: --trace " << error << std::endl;
        return 2;
    }
    for (const std::string& where : options_.listen)
        if (!Listen(Kind::Raw, where)) return 1;
    for (const std::string& where : options_.json)
        if (!Listen(Kind::Json, where)) return 1;
    for (const std::string& where : options_.http)
        if (!StartHttp(where)) return 1;

    signals_.add(SIGTERM);
    signals_.add(SIGINT);
    signals_.add(SIGHUP);
    std::function<void(const boost::system::error_code&, int)> onSignal =
        [this, &onSignal](const boost::system::error_code& ec, int number) {
            if (ec) return;
            if (number == SIGHUP) {
                std::string why;
                if (!trace_.Reopen(&why)) std::cerr << "r512d: trace: " << why << std::endl;
                signals_.async_wait(onSignal);
                return;
            }
            std::cerr << "r512d: ending" << std::endl;
            Shutdown();
        };
    signals_.async_wait(onSignal);

    hub_.Start();
    io_.run();
    return 0;
}

bool Daemon::Listen(Kind kind, const std::string& where) {
    std::string host;
    unsigned short port = 0;
    SplitHostPort(where, host, port);
    boost::system::error_code ec;
    const auto address = boost::asio::ip::make_address(host, ec);
    if (ec) {
        std::cerr << "r512d: " << where << ": not an address to listen on" << std::endl;
        return false;
    }
    auto acceptor = std::make_unique<boost::asio::ip::tcp::acceptor>(io_);
    const boost::asio::ip::tcp::endpoint endpoint(address, port);
    acceptor->open(endpoint.protocol(), ec);
    if (!ec) acceptor->set_option(boost::asio::socket_base::reuse_address(true), ec);
    if (!ec) acceptor->bind(endpoint, ec);
    if (!ec) acceptor->listen(boost::asio::socket_base::max_listen_connections, ec);
    if (ec) {
        std::cerr << "r512d: can't listen on " << where << ": " << ec.message() << std::endl;
        return false;
    }
    std::cerr << "r512d: " << (kind == Kind::Raw ? "raw" : "json") << " clients on "
              << EndpointText(acceptor->local_endpoint()) << std::endl;
    Accept(*acceptor, kind);
    acceptors_.push_back(std::move(acceptor));
    return true;
}

void Daemon::Accept(boost::asio::ip::tcp::acceptor& acceptor, Kind kind) {
    acceptor.async_accept([this, &acceptor, kind](const boost::system::error_code& ec,
                                                  boost::asio::ip::tcp::socket socket) {
        if (ending_) return;
        if (!ec) {
            boost::system::error_code peerError;
            const auto peer = socket.remote_endpoint(peerError);
            const std::string peerText = peerError ? "?" : EndpointText(peer);
            if (peerError || !policy_.MayConnect(peer.address())) {
                std::cerr << "r512d: refused " << peerText << ": not an allowed address"
                          << std::endl;
                socket.close(peerError);
            } else if (!policy_.AdmitClient()) {
                std::cerr << "r512d: refused " << peerText << ": " << policy_.Settings().maxClients
                          << " clients already" << std::endl;
                socket.close(peerError);
            } else {
                const std::string tag = std::string(kind == Kind::Raw ? "raw#" : "json#") +
                                        std::to_string(nextClient_++) + " " + peerText;
                std::shared_ptr<TcpClient> client;
                const std::size_t limit = policy_.Settings().outputQueueBytes;
                if (kind == Kind::Raw) {
                    auto raw = std::make_shared<RawClient>(std::move(socket), tag, limit, hub_);
                    raw->Attach();
                    client = raw;
                } else {
                    client = std::make_shared<JsonLineClient>(std::move(socket), tag, limit, json_);
                }
                trace_.Line(tag, "connected");
                clients_[client.get()] = client;
                client->Start([this](TcpClient& gone) {
                    trace_.Line(gone.Tag(), "disconnected");
                    policy_.ReleaseClient();
                    // Released later: the client may be in the middle of its own call.
                    TcpClient* key = &gone;
                    boost::asio::post(io_, [this, key] { clients_.erase(key); });
                });
            }
        }
        Accept(acceptor, kind);
    });
}

// StartHttp: DaemonWebRemote.cpp.

void Daemon::Shutdown() {
    if (ending_) return;
    ending_ = true;
    boost::system::error_code ec;
    signals_.cancel(ec);
    for (auto& acceptor : acceptors_) acceptor->close(ec);
    for (auto& close : closers_) close();
    // Disconnect erases from the map later; take copies first.
    std::vector<std::shared_ptr<TcpClient>> clients;
    for (auto& [key, client] : clients_) clients.push_back(client);
    for (auto& client : clients) client->Disconnect("");
    hub_.Stop();
    io_.stop();
}

}  // namespace r512::daemon
