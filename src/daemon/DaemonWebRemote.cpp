// r512d's web remote: one HTTP server (the page and its WebSocket at /ws) per --http address,
// its WebSocket clients served by the JSON service, its connections admitted by the policy.
#include <iostream>

#include "daemon/Daemon.h"
#include "daemon/WebJsonClient.h"
#include "http/ServerState.h"
#include "http/WebRemote.h"

namespace r512::daemon {

bool Daemon::StartHttp(const std::string& where) {
    http::Admission admission;
    admission.admit = [this](const boost::asio::ip::tcp::endpoint& peer) {
        if (ending_ || !policy_.MayConnect(peer.address())) return false;
        return policy_.AdmitClient();
    };
    admission.release = [this] { policy_.ReleaseClient(); };
    auto attach = [this](http::JsonMessageSink& socket, const std::string& peer) {
        return std::make_unique<WebJsonClient>(json_, socket, peer);
    };
    std::string url, error;
    std::shared_ptr<http::HttpServer> server = http::StartWebRemote(
        io_, {where, options_.httpTokenFile}, attach, std::move(admission), url, error);
    if (!server) {
        std::cerr << "r512d: " << error << std::endl;
        return false;
    }
    std::cerr << "r512d: web remote at " << url << std::endl;
    // The server lives as long as the daemon's closers; SIGTERM closes its connections.
    TrackCloser([server] { server->Stop(); });
    return true;
}

}  // namespace r512::daemon
