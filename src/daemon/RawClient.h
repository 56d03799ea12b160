#pragma once

#include <string>

#include "daemon/ClientRequestParser.h"
#include "daemon/DeviceHub.h"
#include "daemon/TcpClient.h"

namespace r512::daemon {

// A client that speaks the device's own protocol (the desktop programs and r512ctl through
// socket://): it is sent every frame the device sends, and its requests reach the device
// whole. Its refresh is answered from the mirror when that is current; its names download is
// served from the daemon's own checked download, to it alone; its upload goes to the device
// only once it has come whole.
class RawClient final : public TcpClient, private HubListener {
public:
    // A client that sends this many bytes in a row that are no request is disconnected.
    static constexpr int kInvalidLimit = 64;

    RawClient(boost::asio::ip::tcp::socket socket, std::string tag, std::size_t queueLimit,
              DeviceHub& hub);

    void Attach() { hub_.AddListener(this); }

private:
    void OnBytes(const std::uint8_t* bytes, std::size_t count) override;
    void OnClosed() override;
    void OnFrame(const RegisterFrame& frame) override;

    void RefreshAsked();
    void DownloadAsked();
    void Overrun();

    DeviceHub& hub_;
    ClientRequestParser parser_;
    // While the client waits for its names image, frames wait here: none may land inside it.
    bool holdFrames_ = false;
    std::string held_;
};

}  // namespace r512::daemon
