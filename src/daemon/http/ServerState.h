#pragma once

#include <functional>
#include <memory>
#include <set>

#include <boost/asio/ip/tcp.hpp>

namespace r512::http {

// A connection the server can end when it stops.
class Connection {
public:
    virtual ~Connection() = default;
    virtual void Close() = 0;
};

// Who may connect, asked of the program that runs the server (r512d's policy: its allow-list
// and its count of clients of every kind). `admit` counts a client when it says yes; `release`
// gives the place back when that connection ends.
struct Admission {
    std::function<bool(const boost::asio::ip::tcp::endpoint& peer)> admit;
    std::function<void()> release;
};

// What the server and its sessions share; the sessions may outlive the server until the
// io_context lets go of them, so it is held by shared pointer.
struct ServerState {
    Admission admission;  // cleared when the server stops: its owner may be gone after that
    int open = 0;
    std::set<Connection*> live;
    bool stopped = false;
};

// One connection's place, held for as long as the connection lives (moved from the HTTP
// session to the WebSocket session that takes its connection over).
class ConnectionSlot {
public:
    explicit ConnectionSlot(std::shared_ptr<ServerState> state) : state_(std::move(state)) {
        ++state_->open;
    }
    ~ConnectionSlot() {
        if (!state_) return;
        --state_->open;
        if (state_->admission.release) state_->admission.release();
    }
    ConnectionSlot(ConnectionSlot&& other) noexcept = default;  // the moved-from slot holds none
    ConnectionSlot& operator=(ConnectionSlot&&) = delete;
    ConnectionSlot(const ConnectionSlot&) = delete;
    ConnectionSlot& operator=(const ConnectionSlot&) = delete;

private:
    std::shared_ptr<ServerState> state_;
};

// A connection's entry in the server's list of live connections, for as long as it lives.
class LiveEntry {
public:
    LiveEntry(std::shared_ptr<ServerState> state, Connection* connection)
        : state_(std::move(state)), connection_(connection) {
        state_->live.insert(connection_);
    }
    ~LiveEntry() { state_->live.erase(connection_); }
    LiveEntry(const LiveEntry&) = delete;
    LiveEntry& operator=(const LiveEntry&) = delete;

    const std::shared_ptr<ServerState>& State() const { return state_; }

private:
    std::shared_ptr<ServerState> state_;
    Connection* connection_;
};

}  // namespace r512::http
