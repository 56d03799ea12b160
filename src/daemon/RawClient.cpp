#include "daemon/RawClient.h"

namespace r512::daemon {

RawClient::RawClient(boost::asio::ip::tcp::socket socket, std::string tag, std::size_t queueLimit,
                     DeviceHub& hub)
    : TcpClient(std::move(socket), std::move(tag), queueLimit),
      hub_(hub),
      parser_({[this](std::uint8_t code) {
                   if (code == cmd::kRefresh) {
                       RefreshAsked();
                   } else if (code == cmd::kNamesTransferDone) {
                       // The daemon closes every transfer it makes itself.
                   } else if (!hub_.Command(Tag(), code)) {
                       Overrun();
                   }
               },
               [this] { DownloadAsked(); },
               [this](const NamesUpload& upload) {
                   if (!hub_.Upload(Tag(), upload, nullptr)) Overrun();
               }}) {}

void RawClient::Overrun() {
    Disconnect("sends requests faster than the device takes them: disconnected");
}

void RawClient::OnBytes(const std::uint8_t* bytes, std::size_t count) {
    parser_.Feed(bytes, count);
    if (parser_.InvalidSinceValid() > kInvalidLimit) {
        Disconnect("sent " + std::to_string(parser_.InvalidSinceValid()) +
                   " bytes in a row that are no command: disconnected");
    }
}

void RawClient::OnClosed() { hub_.RemoveListener(this); }

void RawClient::OnFrame(const RegisterFrame& frame) {
    const char bytes[3] = {static_cast<char>(frame.code), static_cast<char>(frame.value),
                           static_cast<char>(frame.end)};
    if (holdFrames_) {
        held_.append(bytes, 3);
        if (held_.size() + Queued() > hub_.Rules().Settings().outputQueueBytes)
            Disconnect("does not take its names image: disconnected");
        return;
    }
    Write(std::string(bytes, 3));
}

void RawClient::RefreshAsked() {
    if (!hub_.MirrorCurrent()) {
        if (!hub_.Refresh(Tag())) Overrun();
        return;
    }
    // The mirror is current: the report the device would send, to this client alone.
    std::string report;
    report.reserve(3 * kRegisterCount);
    for (int i = 0; i < kRegisterCount; ++i) {
        const auto code = static_cast<std::uint8_t>(kFirstRegister + i);
        report.push_back(static_cast<char>(code));
        report.push_back(static_cast<char>(hub_.Mirror().Value(code)));
        report.push_back(static_cast<char>(kFrameEnd));
    }
    if (holdFrames_)
        held_ += report;
    else
        Write(std::move(report));
}

void RawClient::DownloadAsked() {
    holdFrames_ = true;
    std::weak_ptr<TcpClient> weak = weak_from_this();
    const bool queued =
        hub_.Download(Tag(), [this, weak](const DeviceHub::Image* image, const std::string&) {
            auto self = weak.lock();
            if (!self || Closed()) return;
            // A failed download sends nothing: the client's own read times out and reports it,
            // as it would with a device that did not answer.
            if (image) Write(std::string(image->begin(), image->end()));
            holdFrames_ = false;
            Write(std::move(held_));
            held_.clear();
        });
    if (!queued) Overrun();
}

}  // namespace r512::daemon
