#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

#include "base/UniqueFdPosix.h"
#include "base/WakePipePosix.h"

#include "serial/PortChannel.h"

namespace r512 {

// The port primitives on POSIX systems. The I/O thread does the reading and writing itself:
// it waits with poll() on the port and on a wake-up pipe, and applies the read and write
// time-outs as a serial driver would (a read completes when its bytes have arrived, after the
// interval time-out following a byte, or after its total time; a write when its bytes are out
// or after its total time).
//
// Starting a request only hands it to the I/O thread through an atomic slot and wakes it, so
// no lock is shared between the user-interface thread and the I/O thread besides the queues'.
//
// A hang-up, an error on the port (EIO, ENXIO: the adapter pulled out, the node gone) or a
// failed transfer is a failure of the port: WaitForCompletion reports it (once) and the port is
// no longer watched, so the thread never spins on a line that reports itself ready for ever.
class PortChannelPosix final : public PortChannel {
public:
    PortChannelPosix();
    ~PortChannelPosix() override;

    OpenStatus Open(const char* portName, const char* lineDefinition,
                    const CommTimeouts& timeouts) override;
    void Close() override;
    bool IsOpen() const override;
    std::string OpenFailureCause() const override { return openFailure_; }
    bool CreateEvents() override;
    void ReleaseEvents() override;
    void StartRead(IoRequest& request) override;
    void StartWrite(IoRequest& request) override;
    Completion WaitForCompletion() override;
    void RequestStop() override;
    bool PurgeReceive(std::uint64_t outstandingRead) override;

    // The device path a port name stands for: "COMn" is /dev/ttyS(n-1), anything else is a path.
    static std::string DevicePath(const std::string& portName);

    // The descriptor of the open port, -1 when closed (for tests that read the line back).
    int NativeHandle() const { return fd_.Get(); }

private:
    std::string openFailure_;  // why the last Open failed
    using Clock = std::chrono::steady_clock;

    struct ActiveRead {
        IoRequest* request = nullptr;
        std::uint32_t received = 0;
        Clock::time_point started;
        Clock::time_point lastByte;
        bool done = false;
    };
    struct ActiveWrite {
        IoRequest* request = nullptr;
        std::uint32_t sent = 0;
        Clock::time_point started;
        bool done = false;
    };

    void AdoptStartedRequests(Clock::time_point now);
    void TransferRead(Clock::time_point now);
    void TransferWrite(Clock::time_point now);
    void ApplyTimeouts(Clock::time_point now);
    // When the outstanding read or write ends by its time-outs, if it can.
    std::optional<Clock::time_point> ReadDeadline() const;
    std::optional<Clock::time_point> WriteDeadline() const;
    int PollTimeoutMs(Clock::time_point now) const;
    bool ReadIsImmediate() const;

    UniqueFd fd_;
    WakePipe wake_;
    CommTimeouts timeouts_{};

    // Handed over from the starting thread to the I/O thread.
    std::atomic<IoRequest*> startedRead_{nullptr};
    std::atomic<IoRequest*> startedWrite_{nullptr};
    std::atomic<bool> stopRequested_{false};
    std::atomic<std::uint64_t> abortRead_{0};  // the serial of the read to abort; 0: none

    // Owned by the I/O thread while it runs.
    ActiveRead read_;
    ActiveWrite write_;
    bool portFailed_ = false;  // the port has failed: no longer watched
    bool failureReported_ = false;
};

}  // namespace r512
