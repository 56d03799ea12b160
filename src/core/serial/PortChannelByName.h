#pragma once

#include <memory>

#include "serial/PortChannel.h"

namespace r512 {

// The port channel that the link uses unless it is given one: it decides at each Open, by the
// port name, which channel serves the port until the next Open. "socket://HOST:PORT" is a raw
// TCP connection (PortChannelSocket); every other name is a serial port of the platform
// (PortChannelPosix or PortChannelWin32). Everything else is passed through unchanged.
class PortChannelByName final : public PortChannel {
public:
    PortChannelByName();

    OpenStatus Open(const char* portName, const char* lineDefinition,
                    const CommTimeouts& timeouts) override;
    void Close() override { active_->Close(); }
    std::string OpenFailureCause() const override { return active_->OpenFailureCause(); }
    bool IsOpen() const override { return active_->IsOpen(); }
    // Both channels hear these: which one an Open in progress uses is the opening thread's.
    void SetOpenTimeLimit(std::chrono::milliseconds limit) override {
        serial_->SetOpenTimeLimit(limit);
        socket_->SetOpenTimeLimit(limit);
    }
    void SetOpenCancelled(bool cancelled) override {
        serial_->SetOpenCancelled(cancelled);
        socket_->SetOpenCancelled(cancelled);
    }
    bool CreateEvents() override { return active_->CreateEvents(); }
    void ReleaseEvents() override { active_->ReleaseEvents(); }
    void StartRead(IoRequest& request) override { active_->StartRead(request); }
    void StartWrite(IoRequest& request) override { active_->StartWrite(request); }
    Completion WaitForCompletion() override { return active_->WaitForCompletion(); }
    void RequestStop() override { active_->RequestStop(); }
    bool PurgeReceive(std::uint64_t outstandingRead) override {
        return active_->PurgeReceive(outstandingRead);
    }

    // The channel serving the port now (the serial one before the first Open).
    PortChannel& Active() { return *active_; }

private:
    std::unique_ptr<PortChannel> serial_;
    std::unique_ptr<PortChannel> socket_;
    PortChannel* active_;
};

// The channel a link gets by default: a PortChannelByName.
std::unique_ptr<PortChannel> CreatePortChannel();

}  // namespace r512
