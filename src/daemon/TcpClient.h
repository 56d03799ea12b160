#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <boost/asio/ip/tcp.hpp>

namespace r512::daemon {

// One TCP client of the daemon: reads what it sends and writes what it is sent, through an
// output queue with a bound. A client whose queue outgrows the bound (it doesn't read) is
// disconnected at once; the others never wait for it. All on the event loop's thread.
class TcpClient : public std::enable_shared_from_this<TcpClient> {
public:
    using ClosedHandler = std::function<void(TcpClient&)>;

    TcpClient(boost::asio::ip::tcp::socket socket, std::string tag, std::size_t queueLimit);
    virtual ~TcpClient() = default;
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    // Begins reading; `closed` runs once when the client has gone, for whatever reason.
    void Start(ClosedHandler closed);
    // Queues bytes for the client; past the bound the client is disconnected.
    void Write(std::string bytes);
    // Disconnects, logging why (empty: the client left by itself or the daemon ends, quietly).
    void Disconnect(const std::string& why);

    const std::string& Tag() const { return tag_; }
    bool Closed() const { return closed_; }
    std::size_t Queued() const { return queued_; }

protected:
    virtual void OnBytes(const std::uint8_t* bytes, std::size_t count) = 0;
    virtual void OnClosed() {}

private:
    void ReadMore();
    void WriteMore();

    boost::asio::ip::tcp::socket socket_;
    std::string tag_;
    std::size_t queueLimit_;
    ClosedHandler closedHandler_;
    std::deque<std::string> queue_;
    std::vector<std::string> writing_;
    std::size_t queued_ = 0;
    bool closed_ = false;
    std::array<std::uint8_t, 4096> input_{};
};

}  // namespace r512::daemon
