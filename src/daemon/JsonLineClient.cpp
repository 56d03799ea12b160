#include "daemon/JsonLineClient.h"

namespace r512::daemon {

JsonLineClient::JsonLineClient(boost::asio::ip::tcp::socket socket, std::string tag,
                               std::size_t queueLimit, JsonService& service)
    : TcpClient(std::move(socket), tag, queueLimit), session_(service.Attach(*this, tag)) {}

void JsonLineClient::OnBytes(const std::uint8_t* bytes, std::size_t count) {
    partial_.append(reinterpret_cast<const char*>(bytes), count);
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = partial_.find('\n', start);
        if (end == std::string::npos) break;
        // Keep the session alive through its own handling (it may close this client).
        std::shared_ptr<JsonSession> session = session_;
        if (!session) return;
        session->Receive(std::string_view(partial_).substr(start, end - start));
        if (Closed()) return;
        start = end + 1;
    }
    partial_.erase(0, start);
    if (partial_.size() > kMaxLine) Disconnect("sent a line of more than 64 KiB: disconnected");
}

void JsonLineClient::OnClosed() {
    if (session_) session_->Detach();
    session_.reset();
}

void JsonLineClient::Send(std::string line) {
    line += '\n';
    Write(std::move(line));
}

}  // namespace r512::daemon
