#pragma once

// r512d assembled: one io_context (single-threaded: every client, the device hub and the
// link's notices run on the thread that calls Run), the policy, the trace, the device hub and
// the listeners.
//
// For the web remote (HTTP and WebSocket at /ws): StartHttp below is where it plugs in. It is
// called once per --http HOST:PORT after the raw and JSON listeners are up. A WebSocket session
// is a JsonSink: it calls Json().Attach(sink, peer) when it opens, hands each text message to
// JsonSession::Receive and calls JsonSession::Detach when it closes, so it gets exactly the JSON
// clients' handling. Rules() decides who may connect (MayConnect, AdmitClient/ReleaseClient);
// Options().httpTokenFile names the token. Register the server's connections with
// TrackCloser so that SIGTERM closes them.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>

#include "daemon/ClientTrace.h"
#include "daemon/DaemonOptions.h"
#include "daemon/DeviceHub.h"
#include "daemon/JsonService.h"
#include "daemon/Policy.h"
#include "daemon/TcpClient.h"

namespace r512::daemon {

class Daemon {
public:
    // `port`/`speed`: the port to own (already resolved from the options or saved settings).
    Daemon(DaemonOptions options, DeviceHub::Port port);
    ~Daemon();

    // Opens the listeners and the port and serves until SIGTERM or SIGINT; the exit status.
    int Run();

    boost::asio::io_context& Io() { return io_; }
    DeviceHub& Hub() { return hub_; }
    JsonService& Json() { return json_; }
    Policy& Rules() { return policy_; }
    const DaemonOptions& Options() const { return options_; }
    // Something to close at the end (a server of the web remote, say).
    void TrackCloser(std::function<void()> close) { closers_.push_back(std::move(close)); }

private:
    enum class Kind { Raw, Json };
    bool Listen(Kind kind, const std::string& where);
    void Accept(boost::asio::ip::tcp::acceptor& acceptor, Kind kind);
    bool StartHttp(const std::string& where);
    void Shutdown();

    DaemonOptions options_;
    boost::asio::io_context io_;
    Policy policy_;
    ClientTrace trace_;
    DeviceHub hub_;
    JsonService json_;
    boost::asio::signal_set signals_;
    std::vector<std::unique_ptr<boost::asio::ip::tcp::acceptor>> acceptors_;
    std::map<TcpClient*, std::shared_ptr<TcpClient>> clients_;
    std::vector<std::function<void()>> closers_;
    int nextClient_ = 1;
    bool ending_ = false;
};

}  // namespace r512::daemon
