#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "serial/PortChannel.h"
#include "serial/SocketConnection.h"

namespace r512 {

// The port primitives over a raw TCP connection ("socket://HOST:PORT"), for a device behind a
// serial-to-Ethernet bridge. The link's queues, notices and time-outs stay exactly as on a
// serial port: the I/O thread does the transfers itself and applies the read and write
// time-outs as a serial driver would (a read completes when its bytes have arrived, after the
// interval time-out following a byte, or after its total time; a write when its bytes are out
// or after its total time). The line definition (speed, framing) has no meaning here and is
// ignored: the bridge sets its own serial line.
//
// Loss of the connection (closed by the other end, reset, failed) is handled as a hang-up of a
// serial port, a failure of the port: WaitForCompletion reports it once (the link closes and
// tells its owner), the socket is no longer watched, and ConnectionLost() turns true until the
// port is opened again. The I/O thread never spins on a lost connection.
class PortChannelSocket final : public PortChannel {
public:
    PortChannelSocket();
    ~PortChannelSocket() override;

    // How long Open waits, unless told otherwise, for the host name to be looked up and the
    // connection accepted, both together.
    static constexpr int kConnectTimeoutMs = 3000;

    OpenStatus Open(const char* portName, const char* lineDefinition,
                    const CommTimeouts& timeouts) override;
    void Close() override;
    bool IsOpen() const override;
    void SetOpenTimeLimit(std::chrono::milliseconds limit) override;
    void SetOpenCancelled(bool cancelled) override { openCancelled_.store(cancelled); }
    bool CreateEvents() override;
    void ReleaseEvents() override;
    void StartRead(IoRequest& request) override;
    void StartWrite(IoRequest& request) override;
    Completion WaitForCompletion() override;
    void RequestStop() override;
    bool PurgeReceive(std::uint64_t outstandingRead) override;

    // True from the moment the connection is found gone until the next Open. Any thread.
    bool ConnectionLost() const { return lost_.load(); }
    std::string OpenFailureCause() const override { return openFailure_; }

private:
    std::string openFailure_;  // why the last Open failed
    using Clock = std::chrono::steady_clock;

    struct Active {
        IoRequest* request = nullptr;
        std::uint32_t done = 0;  // bytes transferred so far
        Clock::time_point started;
        Clock::time_point lastByte;
        bool finished = false;
    };

    void AdoptStartedRequests(Clock::time_point now);
    void TransferRead(Clock::time_point now);
    void TransferWrite();
    void ApplyTimeouts(Clock::time_point now);
    Clock::time_point ReadDeadline() const;
    Clock::time_point WriteDeadline() const;
    int WaitTimeoutMs(Clock::time_point now) const;

    std::unique_ptr<SocketConnection> connection_;
    int openTimeLimitMs_ = kConnectTimeoutMs;
    std::atomic<bool> openCancelled_{false};
    bool eventsReady_ = false;
    CommTimeouts timeouts_{};

    // Handed over from the starting thread to the I/O thread.
    std::atomic<IoRequest*> startedRead_{nullptr};
    std::atomic<IoRequest*> startedWrite_{nullptr};
    std::atomic<std::uint64_t> abortRead_{0};  // the serial of the read to abort; 0: none
    std::atomic<bool> purgeRequested_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> lost_{false};

    // Owned by the I/O thread while it runs.
    Active read_;
    Active write_;
    bool lossReported_ = false;
};

}  // namespace r512
