#pragma once

#include <memory>
#include <string>

#include "daemon/JsonService.h"
#include "daemon/TcpClient.h"

namespace r512::daemon {

// A JSON client on TCP (--json): one object a line each way.
class JsonLineClient final : public TcpClient, private JsonSink {
public:
    // A line longer than this is no request: the client is disconnected.
    static constexpr std::size_t kMaxLine = 64 * 1024;

    JsonLineClient(boost::asio::ip::tcp::socket socket, std::string tag, std::size_t queueLimit,
                   JsonService& service);

private:
    void OnBytes(const std::uint8_t* bytes, std::size_t count) override;
    void OnClosed() override;
    void Send(std::string line) override;
    void Close() override { Disconnect("broke the protocol: disconnected"); }

    std::shared_ptr<JsonSession> session_;
    std::string partial_;
};

}  // namespace r512::daemon
